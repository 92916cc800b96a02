// The diagram that validation opens: one precedence (key, id, name) for every kind of input.
#include "cli/diagram_choice.h"

#include <gtest/gtest.h>

#include "kelvo/input.h"

namespace {

struct ChoiceCase {
  const char* name;
  std::optional<std::string> choice;
  std::optional<std::int32_t> expected;  // none: refused when a choice is given
};

void PrintTo(const ChoiceCase& c, std::ostream* out) { *out << c.name; }

kelvo::DiagramData Diagram(std::int32_t id, std::u16string name, std::u16string key) {
  kelvo::DiagramData diagram;
  diagram.id = id;
  diagram.name = std::move(name);
  diagram.key = std::move(key);
  return diagram;
}

// Diagram 7 "Main" (key D1), diagram 8 "7" (key D2), diagram 9 "D1" without a key; 9 is active.
kelvo::ModelData Diagrams() {
  kelvo::ModelData model;
  model.diagrams = {Diagram(7, u"Main", u"D1"), Diagram(8, u"7", u"D2"), Diagram(9, u"D1", {})};
  model.active_diagram = 9;
  return model;
}

class DiagramChoice : public testing::TestWithParam<ChoiceCase> {};

TEST_P(DiagramChoice, KeyThenIdThenName) {
  const ChoiceCase& c = GetParam();
  if (!c.expected) {
    try {
      orbelt::cli::ChooseDiagram(Diagrams(), c.choice, "m.bpmn");
      FAIL() << "accepted";
    } catch (const kelvo::InputError& e) {
      EXPECT_EQ(std::string(e.what()), "m.bpmn: no diagram has the id or name \"" + *c.choice + "\"");
    }
    return;
  }
  EXPECT_EQ(orbelt::cli::ChooseDiagram(Diagrams(), c.choice, "m.bpmn"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Choices, DiagramChoice,
                         testing::Values(ChoiceCase{"none_takes_the_active", std::nullopt, 9},
                                         ChoiceCase{"key_before_name", "D1", 7},
                                         ChoiceCase{"id_before_name", "7", 7}, ChoiceCase{"key", "D2", 8},
                                         ChoiceCase{"name", "Main", 7}, ChoiceCase{"id", "9", 9},
                                         ChoiceCase{"unknown", "Sales", std::nullopt},
                                         ChoiceCase{"number_with_junk", "8x", std::nullopt}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DiagramChoice, WithoutAnActiveOneTheFirstElseNone) {
  kelvo::ModelData model = Diagrams();
  model.active_diagram.reset();
  EXPECT_EQ(orbelt::cli::ChooseDiagram(model, std::nullopt, "m.json"), 7);
  EXPECT_EQ(orbelt::cli::ChooseDiagram(kelvo::ModelData{}, std::nullopt, "m.json"), std::nullopt);
}

}  // namespace
