// Reading BPMN 2.0 XML files into host model data: every BPMN object becomes an element or
// connector of the installed technology's stereotype with all the tags that stereotype declares,
// nested and placed on diagrams as the file says. A file that cannot be read whole is refused
// with a kelvo::InputError naming the file, line and column; nothing half-read is returned.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "kelvo/model_data.h"
#include "kelvo/technology.h"

namespace bpmn {

struct Import {
  kelvo::ModelData model;  // its diagrams keyed by their BPMN ids
  // What was read but left out or kept elsewhere than the file says (connectors and shapes that
  // name nothing read, duplicate ids, boundary events attached to no activity).
  std::vector<std::string> warnings;
};

// Reads the BPMN 2.0 file at `path`, taking stereotypes, tags and defaults from `technology`.
Import ImportFile(const std::string& path, const kelvo::Technology& technology);

// Reads BPMN 2.0 XML held in `bytes`; `file` names it in errors and warnings.
Import ImportText(std::string bytes, const std::string& file, const kelvo::Technology& technology);

// True when the path's extension marks a BPMN file: .bpmn, .bpmn2 or .xml, in any letter case.
bool IsBpmnPath(std::string_view path);

}  // namespace bpmn
