// The add-in's shell: string-table texts, the message box titled with the product name, and
// the help-file path beside the component.
#include "addin/shell.h"

#include "platform/module_info.h"
#include "platform/resources.h"
#include "platform/text.h"
#include "resources/messages.h"

namespace addin {

std::u16string LoadText(std::int32_t id) { return platform::LoadStringResource(id); }

void ShowMessage(const std::u16string& text) {
  platform::MessageBox(text, LoadText(messages::kProductName),
                       platform::kMbOk | platform::kMbIconExclamation);
}

// Found once: the module does not move while it is loaded, and sessions on several threads may
// ask at the same time.
const std::u16string& HelpPath() {
  static const std::u16string kPath =
      platform::FromUtf8(platform::ThisModuleDirectory()) + u"\\\\Kelvo_BPMN.chm";
  return kPath;
}

}  // namespace addin
