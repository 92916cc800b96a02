// Where the help viewer stand-in (hhctrl.ocx next to the host) hands its requests: the host
// records them through the thread's user-interface back end. Compiled into the host program
// itself, which exports it, so that no module the host loads exports it too.
#include <cstdint>

#include "platform/ui.h"

extern "C" __declspec(dllexport) std::intptr_t
    KelvoHelpRequested(std::intptr_t caller, const char* file, std::uint32_t command, std::uintptr_t data) {
  return platform::CurrentUserInterface().HtmlHelp(caller, file != nullptr ? file : "", command, data);
}
