#include "kelvo/json_input.h"

#include <algorithm>
#include <fstream>
#include <limits>
#include <sstream>

#include "platform/text.h"

namespace kelvo {

std::string Dump(const Json& value, int indent) {
  return value.dump(indent, ' ', false, nlohmann::detail::error_handler_t::replace);
}

namespace json_input {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw InputError(path + ": cannot be read");
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw InputError(path + ": cannot be read");
  return text.str();
}

Json Parse(std::string_view text, const std::string& file) {
  try {
    return Json::parse(text.begin(), text.end());
  } catch (const nlohmann::json::parse_error& e) {
    // "[json.exception.parse_error.101] parse error at line 3, column 5: ..." -> "line 3, column 5: ..."
    std::string message = e.what();
    const auto at = message.find(" at line ");
    if (at != std::string::npos) {
      message = message.substr(at + 4);
    } else if (const auto bracket = message.find("] "); bracket != std::string::npos) {
      message = message.substr(bracket + 2);
    }
    throw InputError(file + ": not valid JSON: " + message);
  }
}

std::string Child(const std::string& path, std::string_view key) {
  return path.empty() ? std::string(key) : path + "." + std::string(key);
}

std::string Child(const std::string& path, std::size_t index) { return path + "[" + std::to_string(index) + "]"; }

void Fail(const std::string& path, const std::string& message) {
  throw InputError((path.empty() ? std::string("top level") : path) + ": " + message);
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
    const double v = value.get<double>();
    if (v == static_cast<double>(static_cast<std::int64_t>(v)) &&
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

}  // namespace json_input
}  // namespace kelvo
