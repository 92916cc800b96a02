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

// Writes the document indented, ending in a newline, one step at a time as each is played: the
// text is the same as that of the whole document written at once.
class TranscriptWriter {
 public:
  explicit TranscriptWriter(std::ostream& out);
  void Write(const kelvo::PlayedStep& step);
  void Finish();

 private:
  std::ostream& out_;
  std::size_t steps_ = 0;
};

}  // namespace formats
