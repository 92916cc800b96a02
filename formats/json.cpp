#include "formats/json.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <type_traits>

#include "platform/text.h"

namespace formats {

std::string Dump(const Json& value, int indent) {
  return value.dump(indent, ' ', false, nlohmann::detail::error_handler_t::replace);
}

namespace {

// Line and column (in characters, counting the one at `offset`) of the byte at `offset`.
InputError::Place PlaceOf(std::string_view text, std::size_t offset, const std::string& file) {
  offset = std::min(offset, text.size());
  InputError::Place place{file, 1, 0, {}};
  for (std::size_t i = 0; i < offset; ++i) {
    if (text[i] == '\n') {
      ++place.line;
      place.column = 0;
    } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      ++place.column;
    }
  }
  if (offset < text.size()) ++place.column;
  return place;
}

// The offset of the bracket that opens a value nested deeper than kMaxJsonDepth.
std::size_t TooDeep(std::string_view text) {
  int depth = 0;
  bool in_string = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (in_string) {
      if (c == '\\')
        ++i;
      else if (c == '"')
        in_string = false;
    } else if (c == '"') {
      in_string = true;
    } else if (c == '{' || c == '[') {
      if (++depth > kMaxJsonDepth) return i;
    } else if (c == '}' || c == ']') {
      --depth;
    }
  }
  return text.size();
}

// Builds the value as the library does, but refuses nesting beyond kMaxJsonDepth before it is
// built (a deeper value would exhaust the stack when copied, printed or compared) and names the
// place of a number out of range, which the library reports without one.
class Builder : public nlohmann::detail::json_sax_dom_parser<Json> {
 public:
  Builder(Json& result, std::string_view text, const std::string& file)
      : json_sax_dom_parser(result), text_(text), file_(file) {}

  bool start_object(std::size_t size) { return Enter() && json_sax_dom_parser::start_object(size); }
  bool end_object() { return Leave() && json_sax_dom_parser::end_object(); }
  bool start_array(std::size_t size) { return Enter() && json_sax_dom_parser::start_array(size); }
  bool end_array() { return Leave() && json_sax_dom_parser::end_array(); }

  template <class Exception>
  bool parse_error(std::size_t offset, const std::string& token, const Exception& error) {
    if constexpr (std::is_same_v<Exception, nlohmann::json::out_of_range>) {
      throw InputError(PlaceOf(text_, offset - std::min(offset, token.size()), file_),
                       "the number " + token + " is out of range");
    }
    throw error;
  }

 private:
  bool Enter() {
    if (++depth_ <= kMaxJsonDepth) return true;
    throw InputError(PlaceOf(text_, TooDeep(text_), file_),
                     "values are nested deeper than " + std::to_string(kMaxJsonDepth) + " levels");
  }
  bool Leave() { return --depth_ >= 0; }

  std::string_view text_;
  const std::string& file_;
  int depth_ = 0;
};

}  // namespace

Json Parse(std::string_view text, const std::string& file) {
  try {
    Json result;
    Builder builder(result, text, file);
    Json::sax_parse(text.begin(), text.end(), &builder);
    return result;
  } catch (const nlohmann::json::parse_error& e) {
    // "[json.exception.parse_error.101] parse error at line 3, column 5: MESSAGE"
    const std::string_view what = e.what();
    const auto after = [&what](std::string_view mark, std::size_t from) {
      const auto at = what.find(mark, from);
      return at == std::string_view::npos ? what : what.substr(at + mark.size());
    };
    InputError::Place place{file, 0, 0, {}};
    std::string_view message = after("] ", 0);
    if (const auto at = what.find(" at line "); at != std::string_view::npos) {
      std::sscanf(e.what() + at, " at line %d, column %d", &place.line, &place.column);
      message = after(": ", at);
    }
    throw InputError(std::move(place), "not valid JSON: " + std::string(message));
  }
}

std::string Child(const std::string& path, std::string_view key) {
  return path.empty() ? std::string(key) : path + "." + std::string(key);
}

std::string Child(const std::string& path, std::size_t index) {
  return path + "[" + std::to_string(index) + "]";
}

void Fail(const std::string& path, const std::string& message) {
  throw InputError::AtItem(path.empty() ? std::string("top level") : path, message);
}

namespace {

std::string Found(const Json& value) {
  if (value.is_number_float()) return "a number with a fraction";
  if (value.is_number()) return "a number";
  const std::string type = value.type_name();
  if (type == "null") return "null";
  if (type == "object" || type == "array") return "an " + type;
  return "a " + type;
}

}  // namespace

void ExpectObject(const Json& value, const std::string& path) {
  if (!value.is_object()) Fail(path, "expected an object, found " + Found(value));
}

void ExpectArray(const Json& value, const std::string& path) {
  if (!value.is_array()) Fail(path, "expected an array, found " + Found(value));
}

void CheckKeys(const Json& object, const std::string& path, std::initializer_list<std::string_view> allowed) {
  for (const auto& item : object.items()) {
    if (std::find(allowed.begin(), allowed.end(), item.key()) == allowed.end()) {
      Fail(path, "unknown key \"" + item.key() + "\"");
    }
  }
}

std::int32_t Int32(const Json& value, const std::string& path) {
  if (value.is_number_unsigned()) {
    const auto v = value.get<std::uint64_t>();
    if (v > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
      Fail(path, std::to_string(v) + " is outside the 32-bit range");
    }
    return static_cast<std::int32_t>(v);
  }
  if (value.is_number_integer()) {
    const auto v = value.get<std::int64_t>();
    if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max()) {
      Fail(path, std::to_string(v) + " is outside the 32-bit range");
    }
    return static_cast<std::int32_t>(v);
  }
  if (value.is_number_float()) {
    // 1e10 and the like: say "range" when the number is whole but too large.
    // The range is checked first: converting a double beyond the target's range is undefined.
    const double v = value.get<double>();
    if (std::isfinite(v) && v == std::trunc(v) &&
        (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())) {
      Fail(path, Dump(value) + " is outside the 32-bit range");
    }
  }
  Fail(path, "expected an integer, found " + Found(value));
}

bool Bool(const Json& value, const std::string& path) {
  if (!value.is_boolean()) Fail(path, "expected true or false, found " + Found(value));
  return value.get<bool>();
}

std::u16string String(const Json& value, const std::string& path) {
  if (!value.is_string()) Fail(path, "expected a string, found " + Found(value));
  return platform::FromUtf8(value.get_ref<const std::string&>());
}

const Json* Member(const Json& object, std::string_view key) {
  const auto it = object.find(std::string(key));
  return it == object.end() ? nullptr : &*it;
}

}  // namespace formats
