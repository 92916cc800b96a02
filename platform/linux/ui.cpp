// The Linux side of the user-interface services: message boxes and dialogs go straight to the
// calling thread's back end, and the module's help viewer entry point is exported from here.
#include "platform/ui.h"

namespace platform {

// The back end shows every window itself: there are no native windows to capture.
void detail::CaptureWindows(bool) {}

std::int32_t MessageBox(const std::u16string& text, const std::u16string& title, std::int32_t style) {
  return CurrentUserInterface().MessageBox(text, title, style);
}

void ShowModal(Form& form) { CurrentUserInterface().ShowModal(form); }

}  // namespace platform

extern "C" std::intptr_t HtmlHelpA(std::intptr_t caller, const char* file, std::uint32_t command,
                                   std::uintptr_t data) {
  return platform::CurrentUserInterface().HtmlHelp(caller, file ? file : "", command, data);
}
