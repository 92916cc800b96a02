// Reading and writing "kelvo-model/1": every rejection names its item; a written model reads
// back to the same data.
#include "formats/model_file.h"

#include <gtest/gtest.h>

#include <string>

#include "kelvo/model.h"
#include "support/model_builder.h"

namespace {

// A small valid model; rejection rows replace one part of it.
std::string Model(
    const std::string& elements = R"([{"id": 10, "package": 2, "name": "Start", "stereotype": "StartEvent"},
                                                    {"id": 11, "package": 2, "stereotype": "EndEvent"}])",
    const std::string& extra = "") {
  return R"({"format": "kelvo-model/1",
             "packages": [{"id": 1, "name": "Model", "parent": 0}, {"id": 2, "name": "P", "parent": 1}],
             "elements": )" +
         elements + extra + "}";
}

struct Rejection {
  const char* name;
  std::string text;
  const char* message;  // a part of the error message
};

class ModelRejection : public testing::TestWithParam<Rejection> {};

TEST_P(ModelRejection, NamesTheOffendingItem) {
  const Rejection& row = GetParam();
  try {
    formats::ParseModel(row.text, "orders.json");
    FAIL() << "accepted";
  } catch (const kelvo::InputError& e) {
    const std::string message = e.what();
    EXPECT_EQ(e.file(), "orders.json");
    EXPECT_NE(message.find(row.message), std::string::npos) << message;
  }
}

const std::string kTwo = R"([{"id": 10, "package": 2}, {"id": 11, "package": 2}])";

INSTANTIATE_TEST_SUITE_P(
    Loader, ModelRejection,
    testing::Values(
        Rejection{"NotJson", "{\"format\": ", "orders.json:1:12: not valid JSON: syntax error"},
        Rejection{"NotAnObject", "[]", "top level: expected an object, found an array"},
        Rejection{"MissingFormat", R"({"packages": []})", "missing \"format\""},
        Rejection{"WrongFormat", R"({"format": "kelvo-model/2"})", "format: expected \"kelvo-model/1\""},
        Rejection{"UnknownTopLevelKey", Model(kTwo, R"(, "element": [])"),
                  "top level: unknown key \"element\""},
        Rejection{"UnknownElementKey", Model(R"([{"id": 10, "package": 2, "stereotyp": "StartEvent"}])"),
                  "elements[0]: unknown key \"stereotyp\""},
        Rejection{"UnknownHostKey", Model(kTwo, R"(, "host": {"build": 1300, "Build": 1})"),
                  "host: unknown key \"Build\""},
        Rejection{"IdAsString", Model(R"([{"id": "10", "package": 2}])"),
                  "elements[0].id: expected an integer, found a string"},
        Rejection{"IdWithFraction", Model(R"([{"id": 10.5, "package": 2}])"),
                  "elements[0].id: expected an integer"},
        Rejection{"IdTooLarge", Model(R"([{"id": 2147483648, "package": 2}])"),
                  "elements[0].id: 2147483648 is outside the 32-bit range"},
        Rejection{"IdTooSmall", Model(R"([{"id": -2147483649, "package": 2}])"), "outside the 32-bit range"},
        Rejection{"IdFarBeyondRange", Model(R"([{"id": 1e308, "package": 2}])"),
                  "elements[0].id: 1e+308 is outside"},
        Rejection{"NumberBeyondDouble", Model(R"([{"id": 10, "package": 2}])", R"(, "x": -1e400)"),
                  "orders.json:3:59: the number -1e400 is out of range"},
        Rejection{"NestedTooDeep",
                  "{\"format\": " + std::string(100000, '[') + std::string(100000, ']') + "}",
                  "orders.json:1:523: values are nested deeper than 512 levels"},
        Rejection{
            "DeepValueThenMoreKeys",
            "{\"format\": 1,\n \"a\": " + std::string(100000, '[') + std::string(100000, ']') + ", \"b\": 2}",
            "orders.json:2:518: values are nested deeper than 512 levels"},
        Rejection{"MissingId", Model(R"([{"package": 2}])"), "elements[0]: missing \"id\""},
        Rejection{"NameNotAString", Model(R"([{"id": 10, "package": 2, "name": 5}])"),
                  "elements[0].name: expected a string, found a number"},
        Rejection{"TagNotAPair", Model(R"([{"id": 10, "package": 2, "tags": [["Trigger"]]}])"),
                  "elements[0].tags[0]: expected a [name, value] pair"},
        Rejection{"TagValueNotAString", Model(R"([{"id": 10, "package": 2, "tags": {"Trigger": 1}}])"),
                  "elements[0].tags.Trigger: expected a string"},
        Rejection{"ElementsNotAList", Model(R"({"id": 10})"), "elements: expected an array, found an object"},
        Rejection{"DuplicateElementId", Model(R"([{"id": 10, "package": 2}, {"id": 10, "package": 2}])"),
                  "elements[1] (id 10): duplicate id 10"},
        Rejection{"DuplicatePackageId", R"({"format": "kelvo-model/1", "packages": [{"id": 1}, {"id": 1}]})",
                  "packages[1] (id 1): duplicate id 1"},
        Rejection{"MissingPackage", Model(R"([{"id": 10, "package": 7}])"),
                  "elements[0] (id 10): its package 7 does not exist"},
        Rejection{"MissingParentElement", Model(R"([{"id": 10, "package": 2, "parent": 12}])"),
                  "elements[0] (id 10): parent element 12 does not exist"},
        Rejection{"MissingParentPackage",
                  R"({"format": "kelvo-model/1", "packages": [{"id": 1, "parent": 9}]})",
                  "packages[0] (id 1): parent package 9 does not exist"},
        Rejection{"MissingConnectorEnd",
                  Model(kTwo, R"(, "connectors": [{"id": 100, "source": 10, "target": 12}])"),
                  "connectors[0] (id 100): target element 12 does not exist"},
        Rejection{"DuplicateConnectorId",
                  Model(kTwo, R"(, "connectors": [{"id": 100, "source": 10, "target": 11},
                                                  {"id": 100, "source": 11, "target": 10}])"),
                  "connectors[1] (id 100): duplicate id 100"},
        Rejection{"MissingPlacedElement",
                  Model(kTwo, R"(, "diagrams": [{"id": 5, "package": 2, "placements": [10, 13]}])"),
                  "diagrams[0] (id 5).placements[1]: placed element 13 does not exist"},
        Rejection{"MissingDiagramPackage", Model(kTwo, R"(, "diagrams": [{"id": 5, "package": 3}])"),
                  "diagrams[0] (id 5): its package 3 does not exist"},
        Rejection{"MissingActiveDiagram", Model(kTwo, R"(, "activeDiagram": 5)"),
                  "activeDiagram: the diagram 5 does not exist"},
        Rejection{"MissingSelectedPackage", Model(kTwo, R"(, "selectedPackage": 3)"),
                  "selectedPackage: the package 3 does not exist"},
        Rejection{"SelectedPackageNotANumber", Model(kTwo, R"(, "selectedPackage": "2")"),
                  "selectedPackage: expected an integer"},
        Rejection{"ElementParentCycle",
                  Model(R"([{"id": 10, "package": 2, "parent": 12}, {"id": 11, "package": 2, "parent": 10},
                           {"id": 12, "package": 2, "parent": 11}])"),
                  "parent cycle 10 -> 12 -> 11 -> 10"},
        Rejection{"ElementOwnParent", Model(R"([{"id": 10, "package": 2, "parent": 10}])"),
                  "elements[0] (id 10): parent cycle 10 -> 10"},
        Rejection{
            "PackageParentCycle",
            R"({"format": "kelvo-model/1", "packages": [{"id": 1, "parent": 2}, {"id": 2, "parent": 1}]})",
            "parent cycle"}),
    [](const testing::TestParamInfo<Rejection>& info) { return std::string(info.param.name); });

TEST(ModelLoader, DefaultsNullSelectionTagObjectsAndUtf8) {
  const kelvo::ModelData empty = formats::ParseModel(R"({"format": "kelvo-model/1"})", "m.json");
  EXPECT_EQ(empty.host.build, 1300);
  EXPECT_EQ(empty.host.model_location, u"model.kvm");
  EXPECT_TRUE(empty.technologies.empty());
  EXPECT_FALSE(empty.selected_package);
  EXPECT_FALSE(empty.active_diagram);

  const kelvo::ModelData model = formats::ParseModel(
      Model(
          R"([{"id": 10, "package": 2, "name": "Bestellung prüfen ✓", "tags": {"Zeta": "1", "Alpha": "2", "Mid": ""}}])",
          R"(, "selectedPackage": null, "activeDiagram": null)"),
      "m.json");
  EXPECT_EQ(model.elements[0].name, u"Bestellung prüfen ✓");
  std::vector<std::u16string> tags;
  for (const auto& tag : model.elements[0].tags) tags.push_back(tag.name.str() + u"=" + tag.value);
  EXPECT_EQ(tags, (std::vector<std::u16string>{u"Zeta=1", u"Alpha=2", u"Mid="}));  // in written order
  EXPECT_FALSE(model.selected_package);
  EXPECT_FALSE(model.active_diagram);
}

TEST(ModelWriter, AWrittenModelReadsBackToTheSameData) {
  test_support::ModelBuilder b;
  const auto pool = b.Element(u"Pool", u"Shop");
  const auto start = b.Element(u"StartEvent", u"Ordered \"quickly\"", pool);
  b.element(start).key = u"StartEvent_1";
  b.element(start).base_type = u"ObjectNode";
  b.element(start).notes = u"line 1\nline 2";
  b.Tag(start, u"Trigger", u"Message").Tag(start, u"Trigger", u"None").Tag(start, u"Message", u"");
  const auto end = b.Element(u"EndEvent", u"Ünd", pool);
  b.Connector(start, end, u"SequenceFlow", {{u"ConditionType", u"None"}});
  b.data().connectors[0].key = u"Flow_1";
  b.Diagram(u"Shop", {pool, start, end, start});
  b.data().diagrams[0].bounds = {kelvo::Bounds{1, 2, 3, 4}, std::nullopt, kelvo::Bounds{0.5, 0, 10, 10},
                                 std::nullopt};
  b.data().technologies = {u"BPMN"};
  b.data().host = {794, u""};
  b.data().selected_package = 2;

  const std::string text = formats::WriteModel(b.data());
  EXPECT_EQ(text, formats::Dump(formats::ModelToJson(b.data()), 2) + "\n");  // written a piece at a time
  const kelvo::ModelData back = formats::ParseModel(text, "written.json");
  EXPECT_EQ(formats::WriteModel(back), text);
  ASSERT_EQ(back.elements.size(), 3u);
  EXPECT_EQ(back.elements[1].name, u"Ordered \"quickly\"");
  EXPECT_EQ(back.elements[1].notes, u"line 1\nline 2");
  EXPECT_EQ(back.elements[1].tags.size(), 3u);
  EXPECT_EQ(back.elements[1].metatype, u"");  // left to the default, as written
  EXPECT_EQ(back.connectors[0].key, u"Flow_1");
  EXPECT_EQ(back.diagrams[0].placements, (std::vector<std::int32_t>{pool, start, end, start}));
  ASSERT_EQ(back.diagrams[0].bounds.size(), 4u);
  EXPECT_EQ(back.diagrams[0].bounds[2]->x, 0.5);
  EXPECT_EQ(back.host.build, 794);
  EXPECT_EQ(back.host.model_location, u"");
  EXPECT_EQ(back.selected_package, 2);
  EXPECT_EQ(back.active_diagram, 1);
}

}  // namespace
