// COrbelt: lifetime, the menu tree, the click dispatch and the forwarding of validation events.
#include "addin/COrbelt.h"

#include <vector>

#include "addin/HelperFuncs.h"
#include "addin/frmAbout.h"
#include "resources/messages.h"

using HelperFuncs::LoadText;
using HelperFuncs::ShowMessage;

namespace {

using messages::kMenuAbout;
using messages::kMenuHelp;
using messages::kMenuHideProfile;
using messages::kMenuLoad;
using messages::kMenuNewDiagram;
using messages::kMenuShowProfile;
using messages::kMenuTechnology;
using messages::kMenuUnload;

const std::u16string kSeparator = u"-";

// One row of the click dispatch: a string-table caption, or a fixed caption when the id is 0.
struct ClickRow {
  std::int32_t caption_id;
  const char16_t* fixed_caption;
  void (COrbelt::*command)(const COrbelt::RepositoryRef&);
};

std::u16string CaptionOf(const ClickRow& row) {
  return row.caption_id != 0 ? LoadText(row.caption_id) : std::u16string(row.fixed_caption);
}

}  // namespace

COrbelt::COrbelt() : Rules(std::make_unique<CBPMNRules>()) { HelperFuncs::SetHelpPath(); }

COrbelt::~COrbelt() { Rules.reset(); }

const platform::DispatchInterface<COrbelt>& COrbelt::Interface() {
  static const platform::DispatchInterface<COrbelt> interface {
    "_COrbelt", {
      platform::Lifecycle<COrbelt>("Class_Initialize"), platform::Lifecycle<COrbelt>("Class_Terminate"),
          platform::Op("Kelvo_GetMenuItems", &COrbelt::Kelvo_GetMenuItems),
          platform::Op("Kelvo_MenuClick", &COrbelt::Kelvo_MenuClick),
          platform::Op("ShowTechnology", &COrbelt::ShowTechnology),
          platform::Op("HideTechnology", &COrbelt::HideTechnology), platform::Op("DoLoad", &COrbelt::DoLoad),
          platform::Op("DoUnload", &COrbelt::DoUnload), platform::Op("DoNewDiagram", &COrbelt::DoNewDiagram),
          platform::Op("Kelvo_OnPostNewElement", &COrbelt::Kelvo_OnPostNewElement),
          platform::Op("Kelvo_OnInitializeUserRules", &COrbelt::Kelvo_OnInitializeUserRules),
          platform::Op("Kelvo_OnRunElementRule", &COrbelt::Kelvo_OnRunElementRule),
          platform::Op("Kelvo_OnRunConnectorRule", &COrbelt::Kelvo_OnRunConnectorRule),
    }
  };
  return interface;
}

host::Variant COrbelt::Kelvo_GetMenuItems(const RepositoryRef& Repository, std::u16string& /*MenuLocation*/,
                                          std::u16string& MenuName) {
  if (MenuName.empty()) return LoadText(kMenuTechnology);
  if (MenuName != LoadText(kMenuTechnology)) {
    ShowMessage(u"MenuName=" + MenuName);
    return {};
  }
  if (Repository->HostBuild() < HelperFuncs::kFirstSupportedBuild)
    return host::StringArray{LoadText(kMenuHelp), LoadText(kMenuAbout)};
  if (!Repository->HasTechnology(HelperFuncs::kTechnologyId)) {
    return host::StringArray{LoadText(kMenuLoad), kSeparator, LoadText(kMenuHelp), LoadText(kMenuAbout)};
  }
  return host::StringArray{LoadText(kMenuUnload),
                           kSeparator,
                           LoadText(kMenuShowProfile),
                           LoadText(kMenuHideProfile),
                           kSeparator,
                           LoadText(kMenuNewDiagram),
                           kSeparator,
                           LoadText(kMenuHelp),
                           LoadText(kMenuAbout)};
}

void COrbelt::Kelvo_MenuClick(const RepositoryRef& Repository, std::u16string& /*MenuLocation*/,
                              std::u16string& /*MenuName*/, std::u16string& ItemName) {
  static const ClickRow kClickOrder[] = {
      {kMenuLoad, nullptr, &COrbelt::DoLoad},
      {kMenuUnload, nullptr, &COrbelt::DoUnload},
      {kMenuShowProfile, nullptr, &COrbelt::ShowTechnology},
      {kMenuHideProfile, nullptr, &COrbelt::HideTechnology},
      {kMenuNewDiagram, nullptr, &COrbelt::DoNewDiagram},
      {kMenuHelp, nullptr, &COrbelt::OpenHelp},
      {0, u"E&xport to BPEL", &COrbelt::ExportToBPEL},
      {kMenuAbout, nullptr, &COrbelt::ShowAbout},
  };
  for (const auto& row : kClickOrder) {
    if (ItemName == CaptionOf(row)) {
      (this->*row.command)(Repository);
      return;
    }
  }
  ShowMessage(u"ItemName=" + ItemName);
}

void COrbelt::ExportToBPEL(const RepositoryRef& Repository) {
  std::vector<host::Variant> no_arguments;
  Repository->ValidationService()->InvokeByName(u"ExportDiagramToBPEL", no_arguments);
}

void COrbelt::ShowAbout(const RepositoryRef& /*Repository*/) {
  frmAbout dialog;
  platform::ShowModal(dialog);
}

void COrbelt::Kelvo_OnInitializeUserRules(const RepositoryRef& Repository) {
  Rules->ConfigureCategories(Repository);
  Rules->ConfigureRules(Repository);
}

void COrbelt::Kelvo_OnRunElementRule(const RepositoryRef& Repository, std::u16string& sRuleID,
                                     const host::Ref<host::Element>& Element) {
  Rules->RunElementRule(Repository, sRuleID, Element);
}

void COrbelt::Kelvo_OnRunConnectorRule(const RepositoryRef& Repository, std::u16string& sRuleID,
                                       std::int32_t& lConnectorID) {
  Rules->RunConnectorRule(Repository, sRuleID, lConnectorID);
}
