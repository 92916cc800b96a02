// Names of windows kept as global atoms in a window property.
#include "platform/windows/window_names.h"

#include <cstdint>

#include "platform/text.h"

namespace platform::windows {

namespace {
ATOM NameAtom(HWND window) {
  return static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(GetPropW(window, kWindowNameProperty)));
}
}  // namespace

void SetWindowName(HWND window, std::string_view name) {
  RemoveWindowName(window);
  const std::u16string wide = FromUtf8(name);
  const ATOM atom = GlobalAddAtomW(reinterpret_cast<const wchar_t*>(wide.c_str()));
  if (atom != 0) SetPropW(window, kWindowNameProperty, reinterpret_cast<HANDLE>(std::uintptr_t{atom}));
}

void RemoveWindowName(HWND window) {
  const auto atom =
      static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(RemovePropW(window, kWindowNameProperty)));
  if (atom != 0) GlobalDeleteAtom(atom);
}

std::string WindowName(HWND window) {
  const ATOM atom = NameAtom(window);
  if (atom == 0) return {};
  wchar_t name[256];
  const UINT length = GlobalGetAtomNameW(atom, name, 256);
  return ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(name), length));
}

}  // namespace platform::windows
