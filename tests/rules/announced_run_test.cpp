// A validation run announced to the add-in lets the rule engine remember what it learns about the
// model; its verdicts must be those of the same run unannounced, where every check asks afresh.
// Both ways are played through the loaded add-in module on the whole corpus, on every diagram of
// each file, and on seeded random models with pools, lanes, nested sub-processes, several
// diagrams, host faults and a 16-bit count overflow; the reports must be equal.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "bpmn/import.h"
#include "kelvo/input.h"
#include "kelvo/session.h"
#include "kelvo/technology.h"
#include "kelvo/validation.h"
#include "platform/loader.h"
#include "platform/text.h"
#include "support/addin_path.h"
#include "support/generated_model.h"
#include "support/model_builder.h"

namespace {

namespace fs = std::filesystem;
using platform::ToUtf8;

const platform::LoadedModule& Module() {
  static const platform::LoadedModule module{test_support::AddinPath()};
  return module;
}

// The run's report as lines. A fault's message counts the calls of its member, which the two
// ways make differently often; the count is left out.
std::vector<std::string> Report(const kelvo::ValidationResult& result) {
  static const std::regex call_count("call [0-9]+ of it");
  std::vector<std::string> lines;
  for (const auto& v : result.violations) {
    lines.push_back(std::to_string(v.object.id) + " " + ToUtf8(v.rule_id) + " L" + std::to_string(v.level) +
                    " " + ToUtf8(v.message));
  }
  for (const auto& f : result.failures) {
    lines.push_back("failed " + std::to_string(f.object.id) + " " + ToUtf8(f.rule_id) + " " +
                    std::regex_replace(f.error.message, call_count, "call N of it"));
  }
  return lines;
}

std::vector<std::string> Validate(const kelvo::ModelData& data, bool announced,
                                  std::optional<std::int32_t> diagram,
                                  const std::vector<kelvo::Fault>& faults = {}) {
  kelvo::HostOptions options;
  options.announce_validation = announced;
  auto host = kelvo::Host::Create(data, options);
  host->OpenDiagram(diagram);
  std::optional<kelvo::Interceptor> interceptor;
  if (!faults.empty()) interceptor.emplace(false, faults);
  kelvo::Session session(std::move(host), std::move(interceptor));
  const auto addin = Module().CreateObject(kelvo::kAddinProgId);
  return Report(kelvo::RunValidation(session, *addin));
}

TEST(AnnouncedRun, ReportsAsUnannouncedOnEveryDiagramOfTheCorpus) {
  const auto document = kelvo::ReadFile(ORBELT_BINARY_DIR "/generated/bpmn_technology.xml");
  const kelvo::Technology technology = kelvo::ParseTechnology(platform::FromUtf8(document));
  int diagrams = 0;
  for (const auto& entry :
       fs::recursive_directory_iterator(fs::path(ORBELT_SOURCE_DIR) / "tests/data/bpmn")) {
    if (!entry.is_regular_file() || !bpmn::IsBpmnPath(entry.path().string())) continue;
    std::optional<bpmn::Import> imported;
    try {
      imported = bpmn::ImportFile(entry.path().string(), technology);
    } catch (const kelvo::InputError&) {
      continue;  // the corpus tests pin which files are refused
    }
    for (const auto& diagram : imported->model.diagrams) {
      EXPECT_EQ(Validate(imported->model, true, diagram.id), Validate(imported->model, false, diagram.id))
          << entry.path();
      ++diagrams;
    }
  }
  EXPECT_GT(diagrams, 60);
}

// Seeded random models: pools with lanes, flow objects nested in sub-processes up to three deep,
// boundary events, every tag value the checks distinguish, flows of every kind between any two
// elements, and several diagrams placing random selections, some twice.
class RandomModel {
 public:
  explicit RandomModel(unsigned seed) : random_(seed) {}

  kelvo::ModelData Build() {
    for (int pools = Pick(0, 2); pools > 0; --pools) {
      const std::int32_t pool = Add(u"Pool", 0, u"", {{u"Participant", OneOf({u"", u"buyer"})}});
      for (int lane = Pick(0, 2); lane > 0; --lane) Add(u"Lane", pool, u"", {});
    }
    for (int n = Pick(4, 40); n > 0; --n) AddFlowObject();
    for (int c = Pick(0, static_cast<int>(data().elements.size()) * 2); c > 0; --c) {
      std::vector<kelvo::Tag> tags;
      if (Chance(50)) tags.push_back({u"ConditionType", OneOf({u"None", u"Expression", u"Default"})});
      model_.Connector(AnyElement(), AnyElement(),
                       OneOf({u"SequenceFlow", u"SequenceFlow", u"MessageFlow", u"Association"}), tags);
    }
    for (int d = Pick(1, 3); d > 0; --d) Draw();
    return std::move(data());
  }

 private:
  kelvo::ModelData& data() { return model_.data(); }
  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  bool Chance(int percent) { return Pick(1, 100) <= percent; }
  std::u16string OneOf(std::initializer_list<const char16_t*> values) {
    return *(values.begin() + Pick(0, static_cast<int>(values.size()) - 1));
  }
  std::int32_t AnyElement() {
    return data().elements[Pick(0, static_cast<int>(data().elements.size()) - 1)].id;
  }

  std::int32_t Add(std::u16string stereotype, std::int32_t parent, std::u16string base_type,
                   std::vector<kelvo::Tag> tags) {
    const std::int32_t id = model_.Element(std::move(stereotype), {}, parent);
    data().elements.back().base_type = std::move(base_type);
    data().elements.back().tags = std::move(tags);
    return id;
  }

  // A flow object in a pool or lane, in a sub-process, or at the top.
  void AddFlowObject() {
    std::int32_t parent = 0;
    if (!data().elements.empty() && Chance(60)) parent = AnyElement();
    const std::u16string kind = OneOf({u"StartEvent", u"IntermediateEvent", u"EndEvent", u"Activity",
                                       u"Activity", u"Gateway", u"DataObject"});
    std::vector<kelvo::Tag> tags;
    const auto tag = [&](const char16_t* name, std::initializer_list<const char16_t*> values) {
      if (Chance(70)) tags.push_back({name, OneOf(values)});
    };
    tag(u"Trigger",
        {u"None", u"Message", u"Link", u"Compensation", u"Timer", u"Multiple", u"Rule", u"Error"});
    tag(u"Result", {u"None", u"Cancel", u"Compensation", u"Message", u"Error"});
    tag(u"ActivityType", {u"Task", u"Sub-Process"});
    tag(u"TaskType", {u"None", u"Send", u"Receive", u"User", u"Service"});
    tag(u"IsCompensation", {u"true", u"false"});
    tag(u"IsATransaction", {u"true", u"false"});
    tag(u"GatewayType", {u"XOR", u"AND", u"OR", u"Complex"});
    tag(u"XORType", {u"Data", u"Event"});
    tag(u"Implementation", {u"Web Service", u"Other"});
    const bool on_boundary = kind.ends_with(u"Event") && Chance(30);
    Add(kind, parent, on_boundary ? u"ObjectNode" : u"", std::move(tags));
  }

  // Random elements in random order, one of them sometimes twice.
  void Draw() {
    std::vector<std::int32_t> placements;
    for (const auto& element : data().elements) {
      if (Chance(80)) placements.push_back(element.id);
    }
    std::shuffle(placements.begin(), placements.end(), random_);
    if (!placements.empty() && Chance(20)) placements.push_back(placements.front());
    model_.Diagram(u"", std::move(placements));
  }

  std::mt19937 random_;
  test_support::ModelBuilder model_;
};

TEST(AnnouncedRun, ReportsAsUnannouncedOnRandomModels) {
  // Faults on every call of a member the remembered answers depend on.
  const std::vector<std::string> fault_members = {"Repository.ElementById", "Repository.ActiveDiagram",
                                                  "Element.NestedElements", "Element.Children",
                                                  "DiagramPlacement.PlacedElementId"};
  for (unsigned seed = 1; seed <= 300; ++seed) {
    const kelvo::ModelData data = RandomModel(seed).Build();
    std::vector<kelvo::Fault> faults;
    if (seed % 7 == 0) faults.push_back({fault_members[seed / 7 % fault_members.size()], std::nullopt});
    std::optional<std::int32_t> diagram;
    if (seed % 11 != 0) diagram = static_cast<std::int32_t>(seed % data.diagrams.size()) + 1;
    EXPECT_EQ(Validate(data, true, diagram, faults), Validate(data, false, diagram, faults))
        << "seed " << seed;
  }
}

// A count past 32,767 fails the check that asks it, in every event that asks it again.
TEST(AnnouncedRun, ReportsAsUnannouncedWhenACountOverflows) {
  test_support::ModelBuilder model;
  const std::int32_t start = model.Element(u"StartEvent");
  const std::int32_t task = model.Element(u"Activity");
  const std::vector<std::int32_t> placed = {start, model.Element(u"StartEvent"), task,
                                            model.Element(u"EndEvent")};
  for (int i = 0; i <= 32'767; ++i) model.Connector(start, task, u"SequenceFlow");
  model.Diagram(u"Process", placed);
  const kelvo::ModelData& data = model.data();
  const auto announced = Validate(data, true, 1);
  EXPECT_EQ(announced, Validate(data, false, 1));
  EXPECT_GE(std::count_if(announced.begin(), announced.end(),
                          [](const std::string& line) { return line.find("overflow") != std::string::npos; }),
            2);
}

}  // namespace

// The host calls of a whole run grow with the model: the same bound per element, connector and
// placement holds at 1,000 and at 10,000 nodes (unannounced, the start and end event checks
// alone would make over a thousand per object at 10,000).
TEST(AnnouncedRun, MakesHostCallsInProportionToTheModel) {
  for (const std::size_t size : {1'000U, 10'000U}) {
    kelvo::ModelData data = test_support::GeneratedModel(size).Build();
    const std::size_t objects =
        data.elements.size() + data.connectors.size() + data.diagrams.front().placements.size();
    const auto result = kelvo::ValidateModel(Module(), kelvo::Host::Create(std::move(data)), 1);
    EXPECT_LE(result.host_calls, 50 * static_cast<std::int64_t>(objects)) << size << " nodes";
  }
}
