// The add-in's shell: string-table texts, the message box titled with the product name, and
// the help-file path beside the component.
#include "addin/shell.h"

#include "platform/module_info.h"
#include "platform/resources.h"
#include "platform/text.h"
#include "resources/messages.h"

namespace addin {

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

}  // namespace addin
