// The transcript format "kelvo-transcript/1": what each step of a played scenario did, as the
// golden transcripts under tests/data hold it.
#pragma once

#include <ostream>
#include <string_view>
#include <vector>

#include "formats/json.h"
#include "kelvo/scenario.h"

namespace formats {

inline constexpr std::string_view kTranscriptFormat = "kelvo-transcript/1";

Json TranscriptJson(const std::vector<kelvo::PlayedStep>& steps);
// The document indented, ending in a newline.
void WriteTranscript(std::ostream& out, const std::vector<kelvo::PlayedStep>& steps);

}  // namespace formats
