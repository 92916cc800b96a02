// The technology commands: load the embedded BPMN technology into the open model, unload it,
// and show or hide its toolbox profile. Whether the technology is loaded is the host's to know.
#include <string_view>

#include "addin/COrbelt.h"
#include "addin/shell.h"
#include "platform/resources.h"
#include "platform/text.h"
#include "resources/messages.h"

using addin::kFirstSupportedBuild;
using addin::kTechnologyId;
using addin::LoadText;
using addin::ShowMessage;

namespace {
constexpr std::int32_t kTechnologyResource = 101;
}  // namespace

void COrbelt::ShowTechnology(const RepositoryRef& repository) {
  repository->SetProfileVisible(kTechnologyId, u"", true);
}

void COrbelt::HideTechnology(const RepositoryRef& repository) {
  repository->SetProfileVisible(kTechnologyId, u"", false);
}

void COrbelt::DoLoad(const RepositoryRef& repository) {
  if (repository->ModelLocation().empty()) {
    ShowMessage(LoadText(messages::kNoModelOpen));
    return;
  }
  if (repository->HostBuild() < kFirstSupportedBuild) {
    ShowMessage(LoadText(messages::kHostTooOld));
    return;
  }
  const auto bytes = platform::LoadBinaryResource("TECHFILE", kTechnologyResource);
  const std::u16string document =
      platform::FromAnsi(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  if (repository->InstallTechnology(document)) {
    ShowTechnology(repository);
  } else {
    ShowMessage(LoadText(messages::kUnableToLoadTechnology));
  }
}

void COrbelt::DoUnload(const RepositoryRef& repository) {
  if (repository->ModelLocation().empty()) {
    ShowMessage(LoadText(messages::kNoModelOpen));
    return;
  }
  if (!repository->RemoveTechnology(kTechnologyId))
    ShowMessage(LoadText(messages::kUnableToUnloadTechnology));
}
