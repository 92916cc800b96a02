#include "cli/diagram_choice.h"

#include <algorithm>
#include <charconv>

#include "kelvo/input.h"
#include "platform/text.h"

namespace orbelt::cli {

namespace {

std::optional<std::int32_t> Decimal(const std::string& text) {
  std::int32_t id = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return id;
}

template <class Matches>
std::optional<std::int32_t> FirstWhere(const std::vector<kelvo::DiagramData>& diagrams, Matches&& matches) {
  const auto found = std::find_if(diagrams.begin(), diagrams.end(), matches);
  return found == diagrams.end() ? std::nullopt : std::optional<std::int32_t>(found->id);
}

}  // namespace

std::optional<std::int32_t> ChooseDiagram(const kelvo::ModelData& model,
                                          const std::optional<std::string>& choice, const std::string& file) {
  const auto& diagrams = model.diagrams;
  if (!choice) {
    if (model.active_diagram || diagrams.empty()) return model.active_diagram;
    return diagrams.front().id;
  }
  const std::u16string wanted = platform::FromUtf8(*choice);
  const std::optional<std::int32_t> id = Decimal(*choice);
  if (auto found = FirstWhere(diagrams, [&](const auto& d) { return !d.key.empty() && d.key == wanted; }))
    return found;
  if (auto found = FirstWhere(diagrams, [&](const auto& d) { return id && d.id == *id; })) return found;
  if (auto found = FirstWhere(diagrams, [&](const auto& d) { return d.name == wanted; })) return found;
  throw kelvo::InputError::InFile(file, "no diagram has the id or name \"" + *choice + "\"");
}

}  // namespace orbelt::cli
