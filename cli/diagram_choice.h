// The diagram that `orbelt validate` opens for a model, chosen in one place with one precedence
// for model files and BPMN files alike.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "kelvo/model_data.h"

namespace orbelt::cli {

// Without a choice: the model's active diagram, else its first, else none. With one: the diagram
// whose key (the BPMN id of an imported diagram) equals it, else the one whose id written in
// decimal equals it, else the first whose name equals it. Throws kelvo::InputError naming `file`
// when none matches.
std::optional<std::int32_t> ChooseDiagram(const kelvo::ModelData& model,
                                          const std::optional<std::string>& choice, const std::string& file);

}  // namespace orbelt::cli
