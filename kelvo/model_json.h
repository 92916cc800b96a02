// The model file format "kelvo-model/1": reading it into ModelData (strictly: unknown keys,
// wrong JSON types and ids outside the 32-bit range are errors naming the item) and writing
// ModelData back, so that a written model reads back to the same data.
#pragma once

#include <string>
#include <string_view>

#include "kelvo/json_input.h"
#include "kelvo/model_data.h"

namespace kelvo {

inline constexpr std::string_view kModelFormat = "kelvo-model/1";

// Converts a parsed model object. `path` prefixes item names in messages ("model" for a model
// inline in a scenario, "" for a file). Without `require_format` a missing "format" passes.
// Checks the JSON only; Model::Validate checks the references.
ModelData ModelFromJson(const Json& value, const std::string& path = "", bool require_format = true);

// Reads and checks a model text or file: the JSON, then the references. Throws InputError naming
// `file` and the item.
ModelData ParseModel(std::string_view text, const std::string& file);
ModelData LoadModelFile(const std::string& path);

// The model as a "kelvo-model/1" document (indented, UTF-8, ending in a newline).
Json ModelToJson(const ModelData& model);
std::string WriteModel(const ModelData& model);

}  // namespace kelvo
