// The JSON pieces that the validation report and the scenario transcript both write: the model
// object a result is about, a rule's name, a call's error, a failed rule run, a violation.
#pragma once

#include <optional>
#include <string>

#include "formats/json.h"
#include "kelvo/validation.h"
#include "platform/component.h"

namespace formats {

std::string Utf8(const std::u16string& text);

// An object is null for kind none; `with_type` adds the stereotype as "type".
Json ObjectJson(const kelvo::ObjectInfo& object, bool with_type);
// The rule's name, or null when the host never registered the id.
Json RuleJson(const std::optional<std::u16string>& rule);
Json ErrorJson(const platform::CallError& error);
Json FailureJson(const kelvo::RunFailure& failure);

}  // namespace formats
