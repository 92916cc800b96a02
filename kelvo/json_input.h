// Reading the project's JSON input files strictly: every value is checked for its JSON type,
// ids for the 32-bit range, and objects for unknown keys; a failure names the path of the value
// ("elements[2].package"). Shared by the model and scenario readers.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace kelvo {

// An input file that cannot be used: unreadable, not JSON, not of its format, or naming what
// does not exist. The message names the file and the item (and the line where it applies).
class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

using Json = nlohmann::ordered_json;

// Writes JSON as UTF-8 text; invalid UTF-8 in a string (from a lone surrogate) becomes U+FFFD.
std::string Dump(const Json& value, int indent = -1);

namespace json_input {

// The text of a file; throws InputError naming the file.
std::string ReadFile(const std::string& path);
// Parses JSON text, keeping object keys in written order; throws InputError with the line and
// column.
Json Parse(std::string_view text, const std::string& file);

std::string Child(const std::string& path, std::string_view key);
std::string Child(const std::string& path, std::size_t index);

[[noreturn]] void Fail(const std::string& path, const std::string& message);
void ExpectObject(const Json& value, const std::string& path);
void ExpectArray(const Json& value, const std::string& path);
// Rejects keys other than `allowed`.
void CheckKeys(const Json& object, const std::string& path, std::initializer_list<std::string_view> allowed);

std::int32_t Int32(const Json& value, const std::string& path);
bool Bool(const Json& value, const std::string& path);
std::u16string String(const Json& value, const std::string& path);  // UTF-8 in the file, UTF-16 here
// The member `key` of `object`, or nullptr when absent.
const Json* Member(const Json& object, std::string_view key);

}  // namespace json_input
}  // namespace kelvo
