// The scenario format "kelvo-scenario/1": a model (inline or by path), host settings and faults,
// and the steps of a host session, read strictly into the scenario that the player plays.
#pragma once

#include <string>
#include <string_view>

#include "kelvo/scenario.h"

namespace formats {

inline constexpr std::string_view kScenarioFormat = "kelvo-scenario/1";

// Reads a scenario and its model. Throws kelvo::InputError naming the file and the item.
kelvo::Scenario LoadScenarioFile(const std::string& path);
// `base_directory` resolves a model given by path.
kelvo::Scenario ParseScenario(std::string_view text, const std::string& file,
                              const std::string& base_directory);

}  // namespace formats
