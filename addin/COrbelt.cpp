// COrbelt: lifetime, the menu tree, the click dispatch and the forwarding of validation events.
#include "addin/COrbelt.h"

#include <vector>

#include "addin/frmAbout.h"
#include "addin/shell.h"
#include "resources/messages.h"

using addin::LoadText;
using addin::ShowMessage;

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

COrbelt::COrbelt() : rules_(std::make_unique<CBPMNRules>()) {}

COrbelt::~COrbelt() { rules_.reset(); }

const platform::DispatchInterface<COrbelt>& COrbelt::Interface() {
  static const platform::DispatchInterface<COrbelt> kInterface{
      "_COrbelt",
      {
          platform::Lifecycle<COrbelt>("Class_Initialize"),
          platform::Lifecycle<COrbelt>("Class_Terminate"),
          platform::Op("Kelvo_GetMenuItems", &COrbelt::Kelvo_GetMenuItems),
          platform::Op("Kelvo_MenuClick", &COrbelt::Kelvo_MenuClick),
          platform::Op("ShowTechnology", &COrbelt::ShowTechnology),
          platform::Op("HideTechnology", &COrbelt::HideTechnology),
          platform::Op("DoLoad", &COrbelt::DoLoad),
          platform::Op("DoUnload", &COrbelt::DoUnload),
          platform::Op("DoNewDiagram", &COrbelt::DoNewDiagram),
          platform::Op("Kelvo_OnPostNewElement", &COrbelt::Kelvo_OnPostNewElement),
          platform::Op("Kelvo_OnInitializeUserRules", &COrbelt::Kelvo_OnInitializeUserRules),
          platform::Op("Kelvo_OnRunElementRule", &COrbelt::Kelvo_OnRunElementRule),
          platform::Op("Kelvo_OnRunConnectorRule", &COrbelt::Kelvo_OnRunConnectorRule),
          platform::Op("Kelvo_OnStartValidation", &COrbelt::Kelvo_OnStartValidation),
          platform::Op("Kelvo_OnEndValidation", &COrbelt::Kelvo_OnEndValidation),
      }};
  return kInterface;
}

host::Variant COrbelt::Kelvo_GetMenuItems(const RepositoryRef& repository, std::u16string& /*menu_location*/,
                                          std::u16string& menu_name) {
  if (menu_name.empty()) return LoadText(kMenuTechnology);
  if (menu_name != LoadText(kMenuTechnology)) {
    ShowMessage(u"MenuName=" + menu_name);
    return {};
  }
  if (repository->HostBuild() < addin::kFirstSupportedBuild)
    return host::StringArray{LoadText(kMenuHelp), LoadText(kMenuAbout)};
  if (!repository->HasTechnology(addin::kTechnologyId)) {
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

void COrbelt::Kelvo_MenuClick(const RepositoryRef& repository, std::u16string& /*menu_location*/,
                              std::u16string& /*menu_name*/, std::u16string& item_name) {
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
    if (item_name == CaptionOf(row)) {
      (this->*row.command)(repository);
      return;
    }
  }
  ShowMessage(u"ItemName=" + item_name);
}

void COrbelt::ExportToBPEL(const RepositoryRef& repository) {
  std::vector<host::Variant> no_arguments;
  repository->ValidationService()->InvokeByName(u"ExportDiagramToBPEL", no_arguments);
}

void COrbelt::ShowAbout(const RepositoryRef& /*repository*/) {
  frmAbout dialog;
  platform::ShowModal(dialog);
}

void COrbelt::Kelvo_OnInitializeUserRules(const RepositoryRef& repository) {
  rules_->ConfigureCategories(repository);
  rules_->ConfigureRules(repository);
}

void COrbelt::Kelvo_OnRunElementRule(const RepositoryRef& repository, std::u16string& rule_id,
                                     const host::Ref<host::Element>& element) {
  rules_->RunElementRule(repository, rule_id, element);
}

void COrbelt::Kelvo_OnRunConnectorRule(const RepositoryRef& repository, std::u16string& rule_id,
                                       std::int32_t& connector_id) {
  rules_->RunConnectorRule(repository, rule_id, connector_id);
}

void COrbelt::Kelvo_OnStartValidation(const RepositoryRef& repository) {
  rules_->BeginValidationRun(repository);
}

void COrbelt::Kelvo_OnEndValidation(const RepositoryRef& repository) { rules_->EndValidationRun(repository); }
