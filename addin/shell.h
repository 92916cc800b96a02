// The add-in's shell, shared by its commands: texts of the string table, the message box, the
// help-file path beside the component, and the host facts the technology commands depend on.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ui.h"

namespace addin {

// The id under which the host knows the BPMN technology.
inline const std::u16string kTechnologyId = u"BPMN";
// The first host build that the technology commands work with.
inline constexpr std::int32_t kFirstSupportedBuild = 795;

// Reads a text of the string table; nothing is cached.
std::u16string LoadText(std::int32_t id);
// Modal, OK only, exclamation icon, titled with kProductName; the answer is not used.
void ShowMessage(const std::u16string& text);
// The help file beside the component: its folder followed by "\\Kelvo_BPMN.chm".
const std::u16string& HelpPath();

}  // namespace addin
