// What every reader of input reports when the input cannot be used (the model, scenario,
// technology and BPMN readers alike): the file, the place in it (line and column in the text,
// or the path of the item read), and what is wrong. Also the one way to read a file whole.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

namespace kelvo {

// The text is "FILE:LINE:COLUMN: ITEM: MESSAGE", leaving out what is unknown. Lines and
// columns count from 1 (columns in characters); 0 means the fault has no place in the text.
class InputError : public std::runtime_error {
 public:
  struct Place {
    std::string file;
    int line = 0;
    int column = 0;
    std::string item;  // "elements[2].package", "top level"; empty when the place is a position
  };

  InputError(Place place, std::string message);
  // A fault of the file as a whole.
  static InputError InFile(std::string file, std::string message) {
    return {{std::move(file), 0, 0, {}}, std::move(message)};
  }
  // A fault in an item whose file the reader does not know; the caller names the file with In.
  static InputError AtItem(std::string item, std::string message) {
    return {{{}, 0, 0, std::move(item)}, std::move(message)};
  }

  const Place& place() const { return place_; }
  const std::string& file() const { return place_.file; }
  int line() const { return place_.line; }
  int column() const { return place_.column; }
  const std::string& message() const { return message_; }
  // The same fault in `file`, its item inside `outer` ("model: elements[3]") when given.
  InputError In(std::string file, const std::string& outer = {}) const;
  // The same fault, its item inside `outer` ("profile 'Core': stereotype 'Activity'").
  InputError Within(const std::string& outer) const;

 private:
  // This fault's place with its item inside `outer`.
  Place Inside(const std::string& outer) const;

  Place place_;
  std::string message_;
};

// Files read whole are refused beyond this size rather than exhausting memory.
inline constexpr std::size_t kMaxInputBytes = std::size_t{1} << 30;

// The bytes of a file; throws InputError naming it when it is a folder, missing, unreadable or
// larger than `limit`.
std::string ReadFile(const std::string& path, std::size_t limit = kMaxInputBytes);

}  // namespace kelvo
