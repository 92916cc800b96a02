// The new-diagram command and the new-element hook.
#include "addin/COrbelt.h"
#include "addin/shell.h"
#include "resources/messages.h"

using addin::LoadText;
using addin::ShowMessage;

namespace {
const std::u16string kDiagramType = u"BPMN::BPMN";
}  // namespace

void COrbelt::DoNewDiagram(const RepositoryRef& repository) {
  const auto package = repository->SelectedPackage();
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
  repository->ShowDiagram(diagram->Id());
}

// Looks the new element up and leaves it as it is.
bool COrbelt::Kelvo_OnPostNewElement(const RepositoryRef& repository, const host::Ref<host::InfoBag>& info) {
  const std::int32_t element_id = host::ToLong(info->Entry(0)->Value());
  repository->ElementById(element_id)->StereotypeName();
  return false;
}
