// The checks of well-formedness that the in-place tree parser leaves out, made in one pass over
// the raw text before it is parsed: references, attribute values and names, the one root
// element, the place of the XML declaration, and the DOCTYPE refusals. Errors the parser
// reports itself (mismatched tags, broken names) pass here unnoticed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace bpmn {

// Where the text is not well-formed, and why.
struct Flaw {
  std::size_t offset;
  std::string message;
};

// Throws a Flaw for the first fault found in `text`, whose markup starts at `start` (after a
// byte order mark).
void CheckWellFormed(std::string_view text, std::size_t start);

}  // namespace bpmn
