// Rendering validation results: the "orbelt-report/1" JSON document and the plain-text report.
#pragma once

#include <cstdint>
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

// Seconds spent in each phase of one file's run (0 for a phase the file did not need).
struct PhaseTimes {
  double read = 0;        // reading the file's bytes
  double technology = 0;  // installing the add-in's technology (the first BPMN file only)
  double import = 0;      // reading the bytes into model data
  double validation = 0;  // the host session and its validation run
  double report = 0;      // rendering the file's part of the report
};

// What `orbelt validate --stats` reports of one file.
struct RunStats {
  std::int64_t host_calls = 0;
  PhaseTimes seconds;
  std::int64_t peak_memory_bytes = 0;  // the process's maximum resident set so far
};

// One model's entry of "models" and one model's block of the text report. Models render one by
// one, so that models validated in parallel also render in parallel and join in their order.
Json ModelJson(const ModelReport& report);
std::string ModelText(const ModelReport& report);

// The figures of --stats: the entry's "stats" object, and the lines that follow the model's
// block of the text report.
Json StatsJson(const RunStats& stats);
std::string StatsText(const RunStats& stats);

// The "orbelt-report/1" document of the model entries, in order.
void WriteReportJson(std::ostream& out, Json models);

// "error" for level 0, "warning" for level 1, "info" otherwise.
std::string_view Severity(std::int32_t level);

}  // namespace formats
