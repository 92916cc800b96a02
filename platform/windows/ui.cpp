// Capturing the native windows that the thread shows, as UI test tools do: a computer-based
// training hook sees each dialog window as it is activated, reads it into the thread's back end
// and closes it the way a user would, so that a session records the module's message boxes and
// dialogs without anyone at the screen.
#include <windows.h>
// The platform's own MessageBox, not the system's macro.
#undef MessageBox

#include <algorithm>
#include <initializer_list>
#include <string>
#include <utility>

#include "platform/text.h"
#include "platform/ui.h"
#include "platform/windows/window_names.h"

namespace platform {

namespace {

// Marks a dialog as recorded: it can be activated again before it closes.
constexpr wchar_t kCapturedProperty[] = L"Kelvo.Captured";
// The message text of a message box.
constexpr int kMessageTextId = 0xFFFF;

std::u16string TextOf(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
  return {text.begin(), text.end()};
}

bool HasClass(HWND window, std::wstring_view name) {
  wchar_t class_name[64];
  const int length = GetClassNameW(window, class_name, 64);
  return std::wstring_view(class_name, static_cast<std::size_t>(length)) == name;
}

bool IsPicture(HWND control) {
  const auto type = GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK;
  return HasClass(control, L"Static") && (type == SS_ICON || type == SS_BITMAP);
}

// The icon part of a message box style: the standard icon its picture shows.
std::int32_t IconStyle(HWND box) {
  struct Icon {
    WORD id;
    std::int32_t style;
  };
  static const Icon kIcons[] = {{32513, MB_ICONHAND},
                                {32514, MB_ICONQUESTION},
                                {32515, MB_ICONEXCLAMATION},
                                {32516, MB_ICONASTERISK}};  // the standard icons' ids
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsPicture(child)) continue;
    const auto shown = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
    for (const auto& icon : kIcons) {
      if (shown != nullptr && shown == LoadIconW(nullptr, MAKEINTRESOURCEW(icon.id))) return icon.style;
    }
  }
  return 0;
}

// The button part of a message box style: the set of buttons it shows.
std::int32_t ButtonStyle(HWND box) {
  struct Buttons {
    std::initializer_list<int> ids;
    std::int32_t style;
  };
  static const Buttons kButtons[] = {{{IDYES, IDNO, IDCANCEL}, MB_YESNOCANCEL},
                                     {{IDABORT, IDRETRY, IDIGNORE}, MB_ABORTRETRYIGNORE},
                                     {{IDYES, IDNO}, MB_YESNO},
                                     {{IDRETRY, IDCANCEL}, MB_RETRYCANCEL},
                                     {{IDOK, IDCANCEL}, MB_OKCANCEL}};
  const auto shown = [box](int id) {
    HWND button = GetDlgItem(box, id);
    return button != nullptr && (GetWindowLongW(button, GWL_STYLE) & WS_VISIBLE) != 0;
  };
  for (const auto& buttons : kButtons) {
    if (std::all_of(buttons.ids.begin(), buttons.ids.end(), shown)) return buttons.style;
  }
  return MB_OK;
}

void CaptureMessageBox(HWND box, HWND text) {
  CurrentUserInterface().MessageBox(TextOf(text), TextOf(box), IconStyle(box) | ButtonStyle(box));
  PostMessageW(box, WM_COMMAND, IDOK, 0);
}

void CaptureDialog(HWND dialog, std::string name) {
  DialogRecord record{std::move(name), TextOf(dialog), {}};
  // Controls of a dialog come in creation order, which is their tab order.
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    std::string control = windows::WindowName(child);
    if (!control.empty() && !IsPicture(child))
      record.controls.emplace_back(std::move(control), TextOf(child));
  }
  CurrentUserInterface().RecordDialog(record);
  const auto default_id = SendMessageW(dialog, DM_GETDEFID, 0, 0);
  const int button = HIWORD(default_id) == DC_HASDEFID ? LOWORD(default_id) : IDOK;
  if (HWND control = GetDlgItem(dialog, button)) PostMessageW(control, BM_CLICK, 0, 0);
}

LRESULT CALLBACK WatchActivations(int code, WPARAM w_param, LPARAM l_param) {
  auto* window = reinterpret_cast<HWND>(w_param);
  if (code == HCBT_ACTIVATE && HasClass(window, L"#32770") &&
      GetPropW(window, kCapturedProperty) == nullptr) {
    SetPropW(window, kCapturedProperty, window);
    if (HWND text = GetDlgItem(window, kMessageTextId)) {
      CaptureMessageBox(window, text);
    } else if (std::string name = windows::WindowName(window); !name.empty()) {
      CaptureDialog(window, std::move(name));
    }
  }
  return CallNextHookEx(nullptr, code, w_param, l_param);
}

}  // namespace

void detail::CaptureWindows(bool on) {
  thread_local struct Hook {
    HHOOK handle = nullptr;
    ~Hook() {
      if (handle != nullptr) UnhookWindowsHookEx(handle);
    }
  } hook;
  if (on && hook.handle == nullptr) {
    hook.handle = SetWindowsHookExW(WH_CBT, WatchActivations, nullptr, GetCurrentThreadId());
  } else if (!on && hook.handle != nullptr) {
    UnhookWindowsHookEx(std::exchange(hook.handle, nullptr));
  }
}

}  // namespace platform
