// A long host session for the soak: one add-in object playing cycles of mixed steps (menus,
// loading and unloading the technology, new diagrams, the About box, validation runs) on a
// generated model. Every step's answer, its transcript entry, must equal the answer of the first
// time the same step of the cycle was played.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "formats/transcript.h"
#include "kelvo/scenario.h"
#include "platform/loader.h"
#include "support/generated_model.h"

namespace soak {

class Session {
 public:
  Session(const platform::LoadedModule& module, std::size_t elements) {
    scenario_.model = test_support::GeneratedModel(elements).Build();
    const std::int32_t package = scenario_.model.packages.back().id;
    const std::int32_t diagram = scenario_.model.diagrams.front().id;
    scenario_.steps = {Menu(u""),
                       Menu(u"-&BPMN Technology"),
                       Click(u"&Load"),
                       Host(kSelect, package),
                       Click(u"&New Diagram"),
                       Host(kOpen, diagram),
                       Host(kValidate),
                       Click(u"&About"),
                       Click(u"&Unload"),
                       Menu(u"-&BPMN Technology"),
                       Host(kValidate)};
    player_ = std::make_unique<kelvo::ScenarioPlayer>(scenario_, module);
  }

  std::size_t played() const { return played_; }

  // Plays the next step of the cycle; what differs from its first answer, when anything does.
  std::optional<std::string> PlayNext() {
    const std::size_t at = played_++ % scenario_.steps.size();
    std::vector<kelvo::PlayedStep> step;
    step.push_back(player_->Play(scenario_.steps[at]));
    std::string answer = formats::TranscriptJson(step)["steps"][0].dump();
    if (first_answers_.size() <= at) {
      first_answers_.push_back(std::move(answer));
      return std::nullopt;
    }
    if (answer == first_answers_[at]) return std::nullopt;
    return "step " + std::to_string(played_) + " answered " + answer + ", first " + first_answers_[at];
  }

 private:
  using Kind = kelvo::ScenarioStep::Kind;
  static constexpr Kind kSelect = Kind::kSelect;
  static constexpr Kind kOpen = Kind::kOpen;
  static constexpr Kind kValidate = Kind::kValidate;

  static kelvo::ScenarioStep Call(std::string event, std::vector<std::u16string> args) {
    kelvo::ScenarioStep step;
    step.call = std::move(event);
    step.args = std::move(args);
    return step;
  }
  static kelvo::ScenarioStep Menu(const std::u16string& menu) {
    return Call("Kelvo_GetMenuItems", {u"MainMenu", menu});
  }
  static kelvo::ScenarioStep Click(const std::u16string& item) {
    return Call("Kelvo_MenuClick", {u"MainMenu", u"-&BPMN Technology", item});
  }
  static kelvo::ScenarioStep Host(Kind kind, std::optional<std::int32_t> target = std::nullopt) {
    kelvo::ScenarioStep step;
    step.kind = kind;
    step.target = target;
    return step;
  }

  kelvo::Scenario scenario_;
  std::unique_ptr<kelvo::ScenarioPlayer> player_;
  std::vector<std::string> first_answers_;
  std::size_t played_ = 0;
};

}  // namespace soak
