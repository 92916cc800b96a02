// Reading BPMN 2.0 XML files into host model data: every BPMN object becomes an element or
// connector of the installed technology's stereotype with all the tags that stereotype declares,
// nested and placed on diagrams as the file says. A file that cannot be read whole is refused
// with an error naming the file, line and column; nothing half-read is returned.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "kelvo/model_data.h"
#include "kelvo/technology.h"

namespace kelvo {

// A BPMN file refused: what went wrong and where the reader stopped. Line and column count
// from 1 (columns in characters); both are 0 when the fault has no place in the text.
class BpmnError : public std::runtime_error {
 public:
  BpmnError(std::string file, int line, int column, std::string message);
  const std::string& file() const { return file_; }
  int line() const { return line_; }
  int column() const { return column_; }
  const std::string& message() const { return message_; }

 private:
  std::string file_;
  int line_;
  int column_;
  std::string message_;
};

struct BpmnImport {
  ModelData model;
  // The BPMN id of each diagram of model.diagrams, in the same order.
  std::vector<std::u16string> diagram_keys;
  // What was read but left out (connectors whose ends name nothing read, duplicate ids).
  std::vector<std::string> warnings;
};

// Reads the BPMN 2.0 file at `path`, taking stereotypes, tags and defaults from `technology`.
BpmnImport ImportBpmnFile(const std::string& path, const Technology& technology);

// Reads BPMN 2.0 XML held in `bytes`; `file` names it in errors and warnings.
BpmnImport ImportBpmnText(std::string bytes, const std::string& file, const Technology& technology);

// True when the path's extension marks a BPMN file: .bpmn, .bpmn2 or .xml, in any letter case.
bool IsBpmnPath(std::string_view path);

// Makes the diagram that `choice` names the active one: its BPMN id, its name, or its host id
// written in decimal, tried in that order. False, leaving the model as it was, when none matches.
bool ChooseDiagram(BpmnImport& imported, std::string_view choice);

}  // namespace kelvo
