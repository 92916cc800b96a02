// The new-diagram command and the new-element hook.
#include "addin/COrbelt.h"
#include "addin/HelperFuncs.h"
#include "resources/messages.h"

using HelperFuncs::LoadText;
using HelperFuncs::ShowMessage;

namespace {
const std::u16string kDiagramType = u"BPMN::BPMN";
}  // namespace

void COrbelt::DoNewDiagram(const RepositoryRef& Repository) {
  const auto package = Repository->SelectedPackage();
  if (!package) {
    ShowMessage(LoadText(messages::kNoPackageSelected));
    return;
  }
  if (package->ParentId() == 0) {
    ShowMessage(LoadText(messages::kNoDiagramUnderRoot));
    return;
  }
  const std::u16string name = package->Name();
  const auto diagram = package->Diagrams()->CreateItem(name, kDiagramType);
  diagram->SetPresetProperty(0);
  diagram->Save();
  package->Diagrams()->Reload();
  Repository->ShowDiagram(diagram->Id());
}

// Looks the new element up and leaves it as it is.
bool COrbelt::Kelvo_OnPostNewElement(const RepositoryRef& Repository, const host::Ref<host::InfoBag>& Info) {
  const std::int32_t element_id = host::ToLong(Info->Entry(0)->Value());
  Repository->ElementById(element_id)->StereotypeName();
  return false;
}
