// The module's user interface on Windows: message boxes, modal dialogs built from a Form as an
// in-memory dialog template, and the compiled-help viewer loaded when first asked for.
// clang-format off
#include <windows.h>
// clang-format on
#undef MessageBox  // the platform's own function, not the macro of the Windows headers

#include "platform/ui.h"

#include <cmath>
#include <string>
#include <vector>

#include "host/error.h"
#include "platform/windows/component/server.h"
#include "platform/windows/window_names.h"

namespace platform {

namespace {

constexpr WORD kFirstControlId = 100;
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kStaticClass = 0x0082;
// Layout in dialog units.
constexpr short kMargin = 7;
constexpr short kWidth = 220;
constexpr short kPictureSize = 21;
constexpr short kLabelHeight = 14;
constexpr short kButtonWidth = 50;
constexpr short kButtonHeight = 14;

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

// A dialog template as the words it is made of; items start on double-word boundaries.
class DialogTemplate {
 public:
  void Header(DWORD style, WORD items, short width, short height, const std::u16string& caption) {
    Long(style);
    Long(0);
    words_.push_back(items);
    Box(0, 0, width, height);
    words_.push_back(0);  // no menu
    words_.push_back(0);  // the standard dialog class
    Text(caption);
    words_.push_back(8);  // the point size of the dialog font
    Text(u"MS Shell Dlg");
  }
  void Item(DWORD style, short x, short y, short width, short height, WORD id, WORD window_class,
            const std::u16string& text) {
    if (words_.size() % 2 != 0) words_.push_back(0);
    Long(style | WS_CHILD | WS_VISIBLE);
    Long(0);
    Box(x, y, width, height);
    words_.push_back(id);
    words_.push_back(0xFFFF);
    words_.push_back(window_class);
    Text(text);
    words_.push_back(0);  // no creation data
  }
  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Long(DWORD value) {
    words_.push_back(LOWORD(value));
    words_.push_back(HIWORD(value));
  }
  void Box(short x, short y, short width, short height) {
    for (short v : {x, y, width, height}) words_.push_back(static_cast<WORD>(v));
  }
  void Text(const std::u16string& text) {
    words_.insert(words_.end(), text.begin(), text.end());
    words_.push_back(0);
  }
  std::vector<WORD> words_;  // WORD alignment is all that DLGTEMPLATE needs of its start
};

DialogTemplate TemplateOf(const Form& form) {
  int labels = 0;
  int buttons = 0;
  for (const auto& c : form.controls) (c.kind == "button" ? buttons : labels) += c.kind != "picture";
  const short buttons_top =
      static_cast<short>(kMargin + std::max(labels * kLabelHeight, int{kPictureSize}) + kMargin);
  DialogTemplate result;
  result.Header(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                static_cast<WORD>(form.controls.size()), kWidth, buttons_top + kButtonHeight + kMargin,
                form.caption);
  short label_top = kMargin;
  short button_left = static_cast<short>(kWidth - kMargin - buttons * (kButtonWidth + 4) + 4);
  for (std::size_t i = 0; i < form.controls.size(); ++i) {
    const Control& c = form.controls[i];
    const WORD id = static_cast<WORD>(kFirstControlId + i);
    if (c.kind == "picture") {
      result.Item(SS_ICON, kMargin, kMargin, kPictureSize, kPictureSize, id, kStaticClass, u"");
    } else if (c.kind == "button") {
      const DWORD style = (c.name == form.default_button() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP;
      result.Item(style, button_left, buttons_top, kButtonWidth, kButtonHeight, id, kButtonClass, c.text);
      button_left = static_cast<short>(button_left + kButtonWidth + 4);
    } else {
      const short left = kMargin + kPictureSize + kMargin;
      result.Item(SS_LEFT, left, label_top, kWidth - left - kMargin, kLabelHeight, id, kStaticClass, c.text);
      label_top = static_cast<short>(label_top + kLabelHeight);
    }
  }
  return result;
}

struct DialogState {
  Form& form;
  std::vector<HFONT> fonts;
};

HFONT FontOf(HWND dialog, const Font& font) {
  HDC screen = GetDC(dialog);
  const int height = -static_cast<int>(std::lround(font.points * GetDeviceCaps(screen, LOGPIXELSY) / 72.0));
  ReleaseDC(dialog, screen);
  const std::wstring face(font.name.begin(), font.name.end());
  return CreateFontW(height, 0, 0, 0, font.weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face.c_str());
}

void Prepare(HWND dialog, DialogState& state) {
  windows::SetWindowName(dialog, state.form.name());
  for (std::size_t i = 0; i < state.form.controls.size(); ++i) {
    const Control& c = state.form.controls[i];
    HWND control = GetDlgItem(dialog, static_cast<int>(kFirstControlId + i));
    windows::SetWindowName(control, c.name);
    if (c.kind == "picture") {
      SendMessageW(control, STM_SETICON,
                   reinterpret_cast<WPARAM>(LoadIconW(nullptr, MAKEINTRESOURCEW(32512))), 0);
    } else if (!c.font.name.empty()) {
      state.fonts.push_back(FontOf(dialog, c.font));
      SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(state.fonts.back()), FALSE);
    }
    if (c.name == state.form.default_button()) SendMessageW(dialog, DM_SETDEFID, kFirstControlId + i, 0);
  }
}

void Clean(HWND dialog, DialogState& state) {
  for (std::size_t i = 0; i < state.form.controls.size(); ++i) {
    windows::RemoveWindowName(GetDlgItem(dialog, static_cast<int>(kFirstControlId + i)));
  }
  windows::RemoveWindowName(dialog);
  for (HFONT font : state.fonts) DeleteObject(font);
  state.fonts.clear();
}

// A command clicks its button (Enter the default button); closing the window unloads the form.
void Command(HWND dialog, DialogState& state, WORD id) {
  Form& form = state.form;
  if (id == IDCANCEL) {
    form.Unload();
  } else if (id == IDOK) {
    form.Click(form.default_button());
  } else if (id >= kFirstControlId && id < kFirstControlId + form.controls.size()) {
    form.Click(form.controls[id - kFirstControlId].name);
  }
  if (!form.loaded()) EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM w, LPARAM l) {
  auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, l);
      Prepare(dialog, *reinterpret_cast<DialogState*>(l));
      return TRUE;
    case WM_COMMAND:
      if (state != nullptr && HIWORD(w) == BN_CLICKED) Command(dialog, *state, LOWORD(w));
      return TRUE;
    case WM_DESTROY:
      if (state != nullptr) Clean(dialog, *state);
      return TRUE;
    default:
      return FALSE;
  }
}

std::string LastErrorText() { return windows::SystemMessage(GetLastError()); }

}  // namespace

std::int32_t MessageBox(const std::u16string& text, const std::u16string& title, std::int32_t style) {
  return MessageBoxW(GetActiveWindow(), Wide(text), Wide(title), static_cast<UINT>(style));
}

void ShowModal(Form& form) {
  form.Load();
  const DialogTemplate dialog = TemplateOf(form);
  DialogState state{form, {}};
  const INT_PTR shown = DialogBoxIndirectParamW(windows::ThisModule(), dialog.get(), GetActiveWindow(),
                                                DialogProcedure, reinterpret_cast<LPARAM>(&state));
  if (shown == -1)
    throw host::Error(host::ErrorKind::kHost,
                      "cannot show the dialog " + form.name() + ": " + LastErrorText());
}

}  // namespace platform

// The compiled-help viewer's entry point, found in its library at the first call.
extern "C" std::intptr_t HtmlHelpA(std::intptr_t caller, const char* file, std::uint32_t command,
                                   std::uintptr_t data) {
  using HelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
  static HelpFunction help = nullptr;
  if (help == nullptr) {
    HMODULE viewer = LoadLibraryA("hhctrl.ocx");
    if (viewer != nullptr)
      help = reinterpret_cast<HelpFunction>(reinterpret_cast<void*>(GetProcAddress(viewer, "HtmlHelpA")));
    if (help == nullptr) {
      throw host::Error(host::ErrorKind::kHost,
                        "the help viewer hhctrl.ocx cannot be loaded: " + platform::LastErrorText());
    }
  }
  return reinterpret_cast<std::intptr_t>(help(reinterpret_cast<HWND>(caller), file, command, data));
}
