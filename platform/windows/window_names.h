// Names of windows, as UI test tools read them: a dialog carries the name of the form it shows and
// each control the name of its control, so that a host capturing the dialog can record it as the
// form and controls it stands for. A name is stored as a global atom in a window property.
#pragma once

// clang-format off
#include <windows.h>
// clang-format on

#include <string>
#include <string_view>

namespace platform::windows {

inline constexpr wchar_t kWindowNameProperty[] = L"Kelvo.Name";

// Sets the window's name; the atom is deleted when RemoveWindowName is called (on WM_DESTROY).
void SetWindowName(HWND window, std::string_view name);
void RemoveWindowName(HWND window);
// The window's name, or "" when it has none.
std::string WindowName(HWND window);

}  // namespace platform::windows
