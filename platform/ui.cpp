// The user-interface back ends and the per-thread choice between them, the same on every platform.
#include "platform/ui.h"

#include <iostream>
#include <stdexcept>

#include "platform/text.h"

namespace platform {

Control& Form::control(const std::string& control_name) {
  for (auto& c : controls) {
    if (c.name == control_name) return c;
  }
  throw std::out_of_range("form " + name_ + " has no control " + control_name);
}

void Form::Load() {
  if (loaded_) return;
  loaded_ = true;
  OnLoad();
}

namespace {

DialogRecord Snapshot(const Form& form) {
  DialogRecord record{form.name(), form.caption, {}};
  for (const auto& c : form.controls) {
    if (c.kind != "picture") record.controls.emplace_back(c.name, c.text);
  }
  return record;
}

// Loads the form, lets `show` present it, then closes it by its default button as a user would.
template <class Show>
void RunModal(Form& form, Show&& show) {
  form.Load();
  show(form);
  if (form.loaded() && !form.default_button().empty()) form.Click(form.default_button());
  if (form.loaded()) throw std::logic_error("dialog " + form.name() + " did not close");
}

std::shared_ptr<UserInterface>& BackEnd() {
  thread_local std::shared_ptr<UserInterface> back_end = std::make_shared<TerminalUserInterface>();
  return back_end;
}

}  // namespace

std::int32_t RecordingUserInterface::MessageBox(const std::u16string& text, const std::u16string& title,
                                                std::int32_t style) {
  message_boxes.push_back({title, text, style});
  return kIdOk;
}

void RecordingUserInterface::ShowModal(Form& form) {
  RunModal(form, [this](const Form& f) { RecordDialog(Snapshot(f)); });
}

void RecordingUserInterface::RecordDialog(const DialogRecord& dialog) { dialogs.push_back(dialog); }

std::intptr_t RecordingUserInterface::HtmlHelp(std::intptr_t, const std::string& file, std::uint32_t command,
                                               std::uintptr_t data) {
  help.push_back({file, command, data});
  return 0;
}

void RecordingUserInterface::Clear() {
  message_boxes.clear();
  dialogs.clear();
  help.clear();
}

std::int32_t TerminalUserInterface::MessageBox(const std::u16string& text, const std::u16string& title,
                                               std::int32_t) {
  std::cerr << "[" << ToUtf8(title) << "] " << ToUtf8(text) << "\n";
  return kIdOk;
}

void TerminalUserInterface::ShowModal(Form& form) {
  RunModal(form, [](const Form& f) {
    std::cerr << "+-- " << ToUtf8(f.caption) << "\n";
    for (const auto& c : f.controls) {
      if (c.kind != "picture") std::cerr << "| " << ToUtf8(c.text) << "\n";
    }
    std::cerr << "+--\n";
  });
}

std::intptr_t TerminalUserInterface::HtmlHelp(std::intptr_t, const std::string& file, std::uint32_t command,
                                              std::uintptr_t data) {
  std::cerr << "help: " << file << " (command " << command << ", context " << data << ")\n";
  return 0;
}

UserInterface& CurrentUserInterface() { return *BackEnd(); }

void SetUserInterface(std::shared_ptr<UserInterface> back_end) {
  detail::CaptureWindows(back_end != nullptr);
  BackEnd() = back_end ? std::move(back_end) : std::make_shared<TerminalUserInterface>();
}

}  // namespace platform
