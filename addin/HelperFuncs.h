// Helpers shared by the add-in's commands: string-table captions, the shell's message box, and
// the component-wide help-file path with the help viewer entry point.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ui.h"

namespace HelperFuncs {

// The id under which the host knows the BPMN technology.
inline const std::u16string kTechnologyId = u"BPMN";
// The first host build that the technology commands work with.
inline constexpr std::int32_t kFirstSupportedBuild = 795;

// Reads a text of the string table; nothing is cached.
std::u16string LoadText(std::int32_t id);
// Modal, OK only, exclamation icon, titled with kProductName; the answer is not used.
void ShowMessage(const std::u16string& text);
// The help file beside the component: its folder followed by "\\Kelvo_BPMN.chm".
void SetHelpPath();
const std::u16string& HelpPath();

}  // namespace HelperFuncs
