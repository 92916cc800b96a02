// The model file format "kelvo-model/1": reading it into kelvo::ModelData (strictly: unknown keys,
// wrong JSON types and ids outside the 32-bit range are errors naming the item) and writing
// kelvo::ModelData back, so that a written model reads back to the same data.
#pragma once

#include <string>
#include <string_view>

#include "formats/json.h"
#include "kelvo/model_data.h"

namespace formats {

inline constexpr std::string_view kModelFormat = "kelvo-model/1";

// Converts a parsed model object. `path` prefixes item names in messages ("model" for a model
// inline in a scenario, "" for a file). Without `require_format` a missing "format" passes.
// Checks the JSON only; kelvo::Model::Validate checks the references.
kelvo::ModelData ModelFromJson(const Json& value, const std::string& path = "", bool require_format = true);

// Reads and checks a model text or file: the JSON, then the references. Throws InputError naming
// `file` and the item.
kelvo::ModelData ParseModel(std::string_view text, const std::string& file);
kelvo::ModelData LoadModelFile(const std::string& path);

// The model as a "kelvo-model/1" document (indented, UTF-8, ending in a newline).
Json ModelToJson(const kelvo::ModelData& model);
std::string WriteModel(const kelvo::ModelData& model);

}  // namespace formats
