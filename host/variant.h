// Automation values passed between the host and the add-in: empty, Boolean, 16- and 32-bit
// integers, doubles, UTF-16 strings, string arrays and host objects, with the automation
// conversion to a 32-bit integer.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "host/error.h"

namespace host {

class Object;

using StringArray = std::vector<std::u16string>;
using Variant = std::variant<std::monostate, bool, std::int16_t, std::int32_t, double, std::u16string,
                             StringArray, std::shared_ptr<Object>>;

namespace detail {

inline std::int32_t CheckedLong(double value) {
  // Automation rounds half to even when narrowing a floating value to an integer.
  const double rounded = std::nearbyint(value);
  if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
        rounded <= std::numeric_limits<std::int32_t>::max())) {
    throw Error(ErrorKind::kOverflow, "value out of the 32-bit range");
  }
  return static_cast<std::int32_t>(rounded);
}

inline std::int32_t ParseLong(const std::u16string& text) {
  std::size_t i = 0;
  const auto skip_blanks = [&] {
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  };
  skip_blanks();
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  const std::size_t digits_start = i;
  double value = 0;
  while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') value = value * 10 + (text[i++] - u'0');
  const bool has_digits = i > digits_start;
  skip_blanks();
  if (!has_digits || i != text.size()) throw Error(ErrorKind::kTypeMismatch, "type mismatch: not a number");
  return CheckedLong(negative ? -value : value);
}

}  // namespace detail

// Converts a value to a 32-bit signed integer as the automation runtime does: integers and
// Booleans convert directly, doubles round, strings must hold a whole number; anything else is
// a type mismatch.
inline std::int32_t ToLong(const Variant& value) {
  struct Visitor {
    std::int32_t operator()(std::monostate) const { return 0; }
    std::int32_t operator()(bool b) const { return b ? -1 : 0; }
    std::int32_t operator()(std::int16_t v) const { return v; }
    std::int32_t operator()(std::int32_t v) const { return v; }
    std::int32_t operator()(double v) const { return detail::CheckedLong(v); }
    std::int32_t operator()(const std::u16string& s) const { return detail::ParseLong(s); }
    std::int32_t operator()(const StringArray&) const {
      throw Error(ErrorKind::kTypeMismatch, "type mismatch: an array is no number");
    }
    std::int32_t operator()(const std::shared_ptr<Object>&) const {
      throw Error(ErrorKind::kTypeMismatch, "type mismatch: an object is no number");
    }
  };
  return std::visit(Visitor{}, value);
}

}  // namespace host
