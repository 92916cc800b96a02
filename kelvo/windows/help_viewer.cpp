// The help viewer that the host puts next to itself: a library with the viewer's entry points that
// shows nothing but hands each request to the host process, which records it like every other
// window the add-in opens. A process that does not take the requests gets none.
#include <windows.h>

#include <cstdint>
#include <string>

namespace {

// What the host exports to take help requests; the file is in the ANSI code page.
using HelpRequested = std::intptr_t (*)(std::intptr_t caller, const char* file, std::uint32_t command,
                                        std::uintptr_t data);

HWND Forward(HWND caller, const char* file, UINT command, DWORD_PTR data) {
  const auto taker = reinterpret_cast<HelpRequested>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(nullptr), "KelvoHelpRequested")));
  if (taker == nullptr) return nullptr;
  return reinterpret_cast<HWND>(
      taker(reinterpret_cast<std::intptr_t>(caller), file != nullptr ? file : "", command, data));
}

}  // namespace

extern "C" HWND WINAPI HtmlHelpA(HWND caller, LPCSTR file, UINT command, DWORD_PTR data) {
  return Forward(caller, file, command, data);
}

extern "C" HWND WINAPI HtmlHelpW(HWND caller, LPCWSTR file, UINT command, DWORD_PTR data) {
  if (file == nullptr) return Forward(caller, nullptr, command, data);
  const int size = WideCharToMultiByte(CP_ACP, 0, file, -1, nullptr, 0, "?", nullptr);
  std::string ansi(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, file, -1, ansi.data(), size, "?", nullptr);
  return Forward(caller, ansi.c_str(), command, data);
}
