// Small pieces shared by the rule engine's units: the local rule ids, the message levels, the
// 16-bit arithmetic of the counts that the add-in keeps, and the lookup of tag-requirement
// tables ("when tag X has value V, tag Y must be filled").
#pragma once

#include <cstdint>
#include <cstring>
#include <limits>
#include <span>
#include <string>
#include <string_view>

#include "host/error.h"

// The checks compare host strings with literals; as views their lengths are known when compiling.
using namespace std::string_view_literals;

namespace rules {

// Local rule ids, as the rule catalogue names them.
inline constexpr std::u16string_view kRule01 = u"Rule_01";
inline constexpr std::u16string_view kRule02 = u"Rule_02";
inline constexpr std::u16string_view kRule03 = u"Rule_03";
inline constexpr std::u16string_view kRule04 = u"Rule_04";
inline constexpr std::u16string_view kRule05 = u"Rule_05";
inline constexpr std::u16string_view kRule06 = u"Rule_06";
inline constexpr std::u16string_view kRule07 = u"Rule_07";
inline constexpr std::u16string_view kRule08 = u"Rule_08";
inline constexpr std::u16string_view kRule09 = u"Rule_09";

// Levels passed with a report, as their numbers.
enum class Level : std::int32_t { kError = 0, kWarning = 1 };

// Equal texts, compared as bytes: rule ids are compared on every rule run.
inline bool SameText(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0;
}

// Adds two 16-bit counts; a sum past the 16-bit range fails as the count would overflow.
inline std::int16_t AddCounts(std::int16_t a, std::int16_t b) {
  const int sum = int{a} + int{b};
  if (sum > std::numeric_limits<std::int16_t>::max() || sum < std::numeric_limits<std::int16_t>::min()) {
    throw host::Error(host::ErrorKind::kOverflow, "overflow: a count passed 32767");
  }
  return static_cast<std::int16_t>(sum);
}

// Narrows a size to a 16-bit count, failing when it does not fit.
inline std::int16_t ToCount(std::size_t size) {
  if (size > static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max())) {
    throw host::Error(host::ErrorKind::kOverflow, "overflow: a count passed 32767");
  }
  return static_cast<std::int16_t>(size);
}

// "When the selecting tag has `value`, the tag `required` must not be empty; else `message`."
struct RequiredTag {
  std::u16string_view value;
  std::u16string_view required;
  std::int32_t message;
};

// The row whose value equals `value` exactly, or nullptr.
inline const RequiredTag* FindRequiredTag(std::span<const RequiredTag> rows, const std::u16string& value) {
  for (const auto& row : rows) {
    if (value == row.value) return &row;
  }
  return nullptr;
}

}  // namespace rules
