// Rendering validation results: the "orbelt-report/1" JSON document and the plain-text report,
// and the JSON pieces that the scenario transcript shares with the report.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "kelvo/json_input.h"
#include "kelvo/validation.h"
#include "platform/component.h"

namespace kelvo {

inline constexpr std::string_view kReportFormat = "orbelt-report/1";

struct ModelReport {
  std::string file;  // as named on the command line ("" for the built-in sample)
  ValidationResult result;
};

void WriteReportJson(std::ostream& out, const std::vector<ModelReport>& reports);
void WriteReportText(std::ostream& out, const std::vector<ModelReport>& reports);

// "error" for level 0, "warning" for level 1, "info" otherwise.
std::string_view Severity(std::int32_t level);

// JSON pieces: an object is null for kind none; `with_type` adds the stereotype as "type".
Json ObjectJson(const ObjectInfo& object, bool with_type);
Json ErrorJson(const platform::CallError& error);
Json FailureJson(const RunFailure& failure);
std::string Utf8(const std::u16string& text);

}  // namespace kelvo
