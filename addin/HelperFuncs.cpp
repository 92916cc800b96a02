#include "addin/HelperFuncs.h"

#include "platform/module_info.h"
#include "platform/resources.h"
#include "platform/text.h"
#include "resources/messages.h"

namespace HelperFuncs {

namespace {
std::u16string help_path;
}  // namespace

std::u16string LoadText(std::int32_t id) { return platform::LoadStringResource(id); }

void ShowMessage(const std::u16string& text) {
  platform::MessageBox(text, LoadText(messages::kProductName),
                       platform::kMbOk | platform::kMbIconExclamation);
}

void SetHelpPath() {
  help_path = platform::FromUtf8(platform::ThisModuleDirectory()) + u"\\\\Kelvo_BPMN.chm";
}

const std::u16string& HelpPath() { return help_path; }

}  // namespace HelperFuncs
