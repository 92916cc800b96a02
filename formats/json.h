// Reading the project's JSON input files strictly: every value is checked for its JSON type,
// ids for the 32-bit range, and objects for unknown keys; a failure names the path of the value
// ("elements[2].package"). Shared by the model and scenario readers.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "kelvo/input.h"

namespace formats {

using kelvo::InputError;

using Json = nlohmann::ordered_json;

// Writes JSON as UTF-8 text; invalid UTF-8 in a string (from a lone surrogate) becomes U+FFFD.
std::string Dump(const Json& value, int indent = -1);

// JSON files larger than this are refused while they are read: the value built from them takes
// several times their size.
inline constexpr std::size_t kMaxJsonFileBytes = std::size_t{256} << 20;

// Values nested deeper than this are refused.
inline constexpr int kMaxJsonDepth = 512;

// Parses JSON text, keeping object keys in written order; throws InputError naming `file`, the
// line and the column, also for values nested deeper than kMaxJsonDepth and numbers beyond the
// range of a double.
Json Parse(std::string_view text, const std::string& file);

std::string Child(const std::string& path, std::string_view key);
std::string Child(const std::string& path, std::size_t index);

// Throws InputError naming the item at `path` (the file is named by the caller).
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

}  // namespace formats
