// User-interface services of the platform: modal message boxes, modal dialog windows with
// labels, a picture and buttons, and the compiled-help viewer entry point. The services go to
// an interchangeable back end: a recording one for the scenario player and tests, a terminal
// one for interactive use.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// Message box styles and answers.
constexpr std::int32_t kMbOk = 0;
constexpr std::int32_t kMbIconExclamation = 48;
constexpr std::int32_t kIdOk = 1;

// HTML help commands.
constexpr std::uint32_t kHhHelpContext = 15;

struct Font {
  std::string name;
  int weight = 400;
  double points = 8.25;
};

struct Control {
  std::string name;
  std::string kind;  // "label", "picture", "button"
  std::u16string text;
  Font font;
};

// A dialog window. A form sets its texts when it loads and unloads itself to end a modal show.
class Form {
 public:
  explicit Form(std::string name) : name_(std::move(name)) {}
  virtual ~Form() = default;

  const std::string& name() const { return name_; }
  std::u16string caption;
  std::vector<Control> controls;
  Control& control(const std::string& name);
  const std::string& default_button() const { return default_button_; }
  bool loaded() const { return loaded_; }

  void Load();
  void Unload() { loaded_ = false; }
  void Click(const std::string& control_name) { OnClick(control_name); }

 protected:
  virtual void OnLoad() {}
  virtual void OnClick(const std::string& control_name) { (void)control_name; }
  std::string default_button_;

 private:
  std::string name_;
  bool loaded_ = false;
};

struct MessageBoxRecord {
  std::u16string title;
  std::u16string text;
  std::int32_t style;
};

struct DialogRecord {
  std::string form;
  std::u16string caption;
  std::vector<std::pair<std::string, std::u16string>> controls;  // controls that carry text, in form order
};

struct HelpRecord {
  std::string file;
  std::uint32_t command;
  std::uintptr_t data;
};

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  virtual std::int32_t MessageBox(const std::u16string& text, const std::u16string& title,
                                  std::int32_t style) = 0;
  // Returns when the form has unloaded.
  virtual void ShowModal(Form& form) = 0;
  virtual std::intptr_t HtmlHelp(std::intptr_t caller, const std::string& file, std::uint32_t command,
                                 std::uintptr_t data) = 0;
  // A native dialog that the platform captured (shown by another module) and closed.
  virtual void RecordDialog(const DialogRecord& /*dialog*/) {}
};

// Records everything shown; a modal dialog is loaded, recorded and closed by its default button.
class RecordingUserInterface : public UserInterface {
 public:
  std::int32_t MessageBox(const std::u16string& text, const std::u16string& title,
                          std::int32_t style) override;
  void ShowModal(Form& form) override;
  std::intptr_t HtmlHelp(std::intptr_t caller, const std::string& file, std::uint32_t command,
                         std::uintptr_t data) override;
  void RecordDialog(const DialogRecord& dialog) override;

  std::vector<MessageBoxRecord> message_boxes;
  std::vector<DialogRecord> dialogs;
  std::vector<HelpRecord> help;
  void Clear();
};

// Writes to the terminal's error stream; a dialog is drawn as text and closed by its default button.
class TerminalUserInterface : public UserInterface {
 public:
  std::int32_t MessageBox(const std::u16string& text, const std::u16string& title,
                          std::int32_t style) override;
  void ShowModal(Form& form) override;
  std::intptr_t HtmlHelp(std::intptr_t caller, const std::string& file, std::uint32_t command,
                         std::uintptr_t data) override;
};

// The back end in use on the calling thread; the terminal one until the host sets another there.
// Each thread has its own, so that sessions played on several threads record apart.
UserInterface& CurrentUserInterface();
// Setting a back end (not null) also makes the platform capture the native message boxes and
// dialogs shown on this thread into it, as UI test tools do; null restores the terminal one.
void SetUserInterface(std::shared_ptr<UserInterface> back_end);

namespace detail {
// The platform side of SetUserInterface: starts or stops capturing the thread's native windows.
void CaptureWindows(bool on);
}  // namespace detail

std::int32_t MessageBox(const std::u16string& text, const std::u16string& title, std::int32_t style);
void ShowModal(Form& form);

}  // namespace platform

// The compiled-help viewer entry point, as the help library exports it.
extern "C" std::intptr_t HtmlHelpA(std::intptr_t caller, const char* file, std::uint32_t command,
                                   std::uintptr_t data);
