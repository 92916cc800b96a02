// The host captures the message boxes that its thread shows: each is recorded with its text,
// title and style, read off the window, and closed as a user would, so that the call returns.
#include <windows.h>
#undef MessageBox

#include <gtest/gtest.h>

#include <memory>

#include "platform/ui.h"

namespace {

struct BoxCase {
  const wchar_t* text;
  const wchar_t* title;
  UINT style;
};

TEST(WindowCapture, RecordsAndClosesEachMessageBox) {
  const BoxCase kCases[] = {
      {L"No BPMN technology \u00e4 loaded.", L"Orbelt", MB_ICONEXCLAMATION},
      {L"Line one\nline two", L"", MB_OK},
      {L"Retry?", L"Kelvo", MB_OKCANCEL | MB_ICONQUESTION},
  };
  auto recording = std::make_shared<platform::RecordingUserInterface>();
  platform::SetUserInterface(recording);
  for (const auto& box : kCases) EXPECT_EQ(MessageBoxW(nullptr, box.text, box.title, box.style), IDOK);
  platform::SetUserInterface(nullptr);

  ASSERT_EQ(recording->message_boxes.size(), std::size(kCases));
  for (std::size_t i = 0; i < std::size(kCases); ++i) {
    const auto& record = recording->message_boxes[i];
    EXPECT_EQ(record.text, reinterpret_cast<const char16_t*>(kCases[i].text));
    EXPECT_EQ(record.title, reinterpret_cast<const char16_t*>(kCases[i].title));
    EXPECT_EQ(record.style, static_cast<std::int32_t>(kCases[i].style));
  }
}

}  // namespace
