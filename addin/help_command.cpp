// The help command: opens the help file beside the component at its fixed context.
#include "addin/COrbelt.h"
#include "addin/shell.h"
#include "platform/text.h"

namespace {
constexpr std::uintptr_t kHelpContext = 1000;
}

void COrbelt::OpenHelp(const RepositoryRef& /*repository*/) {
  HtmlHelpA(0, platform::ToAnsi(addin::HelpPath()).c_str(), platform::kHhHelpContext, kHelpContext);
}
