#include "kelvo/input.h"

#include <filesystem>
#include <fstream>

namespace kelvo {

namespace {

std::string Describe(const InputError::Place& place, const std::string& message) {
  std::string text;
  const auto part = [&text](const std::string& piece) {
    if (piece.empty()) return;
    text += piece;
    text += ": ";
  };
  std::string position = place.file;
  if (place.line > 0) position += ":" + std::to_string(place.line) + ":" + std::to_string(place.column);
  part(position);
  part(place.item);
  return text + message;
}

std::string Size(std::size_t bytes) {
  if (bytes >= (std::size_t{1} << 30) && bytes % (std::size_t{1} << 30) == 0)
    return std::to_string(bytes >> 30) + " GiB";
  return std::to_string(bytes >> 20) + " MiB";
}

}  // namespace

InputError::InputError(Place place, std::string message)
    : std::runtime_error(Describe(place, message)), place_(std::move(place)), message_(std::move(message)) {}

InputError::Place InputError::Inside(const std::string& outer) const {
  Place place = place_;
  if (!outer.empty()) place.item = place.item.empty() ? outer : outer + ": " + place.item;
  return place;
}

InputError InputError::In(std::string file, const std::string& outer) const {
  Place place = Inside(outer);
  place.file = std::move(file);
  return {std::move(place), message_};
}

InputError InputError::Within(const std::string& outer) const { return {Inside(outer), message_}; }

std::string ReadFile(const std::string& path, std::size_t limit) {
  const auto fail = [&path](const std::string& message) { return InputError::InFile(path, message); };
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) throw fail("a folder, not a file");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw fail(std::filesystem::exists(path, error) ? "cannot be read" : "no such file");
  std::string bytes;
  // A regular file is read into a buffer of its size; a pipe or device grows one as it goes.
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (!error) {
    if (size > limit) throw fail("the file is larger than " + Size(limit));
    bytes.reserve(static_cast<std::size_t>(size));
  }
  char block[1 << 16];
  while (in.read(block, sizeof block) || in.gcount() > 0) {
    const auto count = static_cast<std::size_t>(in.gcount());
    if (bytes.size() + count > limit) throw fail("the file is larger than " + Size(limit));
    bytes.append(block, count);
  }
  if (in.bad()) throw fail("cannot be read");
  return bytes;
}

}  // namespace kelvo
