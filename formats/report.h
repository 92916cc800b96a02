// Rendering validation results: the "orbelt-report/1" JSON document and the plain-text report.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "formats/json.h"
#include "kelvo/validation.h"

namespace formats {

inline constexpr std::string_view kReportFormat = "orbelt-report/1";

struct ModelReport {
  std::string file;  // as named on the command line ("" for the built-in sample)
  kelvo::ValidationResult result;
};

void WriteReportJson(std::ostream& out, const std::vector<ModelReport>& reports);
void WriteReportText(std::ostream& out, const std::vector<ModelReport>& reports);

// "error" for level 0, "warning" for level 1, "info" otherwise.
std::string_view Severity(std::int32_t level);

}  // namespace formats
