// The BPMN corpus shipped in tests/data/bpmn: every file is read into a consistent model or
// refused where its fault is, and a reference model reads the same whichever tool exported it,
// where the export kept the content.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "bpmn/import.h"
#include "bpmn/import_fixture.h"

namespace {

using namespace bpmn_test;
namespace fs = std::filesystem;

const fs::path kCorpus = fs::path(ORBELT_SOURCE_DIR) / "tests" / "data" / "bpmn";

// The files that are not well-formed (or not namespace-well-formed) XML, with the start of
// the refusal: "LINE:COLUMN: MESSAGE".
const std::map<std::string, std::string> kBroken = {
    {"bpmn-miwg-test-suite/GenMyModel_0.47/C.1.1-export.bpmn", "26:63: the text is not valid UTF-8"},
    {"bpmn-js/events.bpmn", "131:8: the namespace prefix \"bpmn\" is not declared"}};

TEST(BpmnCorpus, EveryFileIsReadOrRefusedWhereItsFaultIs) {
  int read = 0;
  int refused = 0;
  for (const auto& entry : fs::recursive_directory_iterator(kCorpus)) {
    if (!entry.is_regular_file() || entry.path().filename() == "LICENSES.md") continue;
    const std::string path = entry.path().string();
    const std::string relative = fs::relative(entry.path(), kCorpus).generic_string();
    EXPECT_TRUE(bpmn::IsBpmnPath(path)) << relative;
    try {
      const bpmn::Import imported = bpmn::ImportFile(path, Small());
      EXPECT_FALSE(kBroken.contains(relative)) << relative << " was read";
      ExpectConsistent(imported.model, path);
      ++read;
    } catch (const kelvo::InputError& error) {
      const auto broken = kBroken.find(relative);
      EXPECT_TRUE(broken != kBroken.end() &&
                  std::string_view(error.what()).starts_with(path + ":" + broken->second))
          << error.what();
      ++refused;
    }
  }
  EXPECT_EQ(read, 57);
  EXPECT_EQ(refused, 2);
}

std::map<std::string, int> StereotypeCounts(const std::string& relative) {
  const bpmn::Import imported =
      bpmn::ImportFile((kCorpus / "bpmn-miwg-test-suite" / relative).string(), Small());
  std::map<std::string, int> counts;
  for (const kelvo::ElementData& element : imported.model.elements) ++counts[U8(element.stereotype)];
  for (const kelvo::ConnectorData& connector : imported.model.connectors) ++counts[U8(connector.stereotype)];
  return counts;
}

// A tool's export of a reference model against the reference its file name names. `differs`
// lists the stereotypes whose counts the export changed, and `reason` says what the export did
// (checked by counting the elements in both files); every other stereotype must count the same.
struct ExportCase {
  const char* name;
  std::string exported;
  std::string differs;  // separated by spaces
  const char* reason;
};

void PrintTo(const ExportCase& c, std::ostream* out) { *out << c.name; }

class ToolExports : public testing::TestWithParam<ExportCase> {};

TEST_P(ToolExports, MatchReferenceCounts) {
  const ExportCase& c = GetParam();
  const std::string model = fs::path(c.exported).filename().string();
  std::map<std::string, int> reference =
      StereotypeCounts("Reference/" + model.substr(0, model.find('-')) + ".bpmn");
  std::map<std::string, int> exported = StereotypeCounts(c.exported);
  std::istringstream differs(c.differs);
  for (std::string stereotype; differs >> stereotype;) {
    EXPECT_NE(reference[stereotype], exported[stereotype])
        << c.exported << ": " << stereotype << " no longer differs: " << c.reason;
    reference.erase(stereotype);
    exported.erase(stereotype);
  }
  EXPECT_EQ(exported, reference) << c.exported << ": " << c.reason;
}

INSTANTIATE_TEST_SUITE_P(
    Miwg, ToolExports,
    testing::Values(
        ExportCase{"A41_export", "OMNITRACKER_BPMN_12.3/A.4.1-export.bpmn", "", "kept everything"},
        ExportCase{"A41_roundtrip", "ibo_Prometheus_3.9.0.0/A.4.1-roundtrip.bpmn", "Pool",
                   "the round trip adds a third participant"},
        ExportCase{"C10_export", "Modelio_3.5/C.1.0-export.bpmn", "Lane",
                   "the export writes 3 of the 4 lanes"},
        ExportCase{"B20_export_a", "ADONIS_17.0/B.2.0-export.bpmn", "Association",
                   "the export adds a second data input association"},
        ExportCase{
            "B20_export_b", "Camunda_Eclipse_Plugin_3.0.0/B.2.0-export.bpmn",
            "Activity StartEvent EndEvent IntermediateEvent SequenceFlow Association",
            "the export loses 3 start events, 3 end events, 4 tasks, a boundary event and 8 flows, and "
            "adds a data input association"},
        ExportCase{"B20_export_c", "SAP_Signavio_Process_Manager_19.9.0/B.2.0-export.bpmn",
                   "Activity StartEvent EndEvent IntermediateEvent SequenceFlow Association Lane",
                   "the export loses the same nodes as B20_export_b, leaves 6 flows without a source, adds a "
                   "lane and a data output association"},
        ExportCase{"B20_export_d", "Yaoqiang_BPMN_Editor_4.0/B.2.0-export.bpmn",
                   "Activity StartEvent EndEvent SequenceFlow Association",
                   "the export loses a task, a start and an end event and 2 flows, and adds a data input "
                   "association"},
        ExportCase{"B20_export_e", "bpmn.io_Camunda_Modeler_18.6.1/B.2.0-export.bpmn",
                   "Activity StartEvent EndEvent IntermediateEvent SequenceFlow",
                   "the export loses a task, 2 start events, an end event and 2 flows, adds an intermediate "
                   "event, and turns a call activity into a sub-process"},
        ExportCase{
            "B20_export_f", "Trisotech_BPMN_Visio_Add_in_5.0.1/B.2.0-export.bpmn",
            "Activity EndEvent IntermediateEvent SequenceFlow MessageFlow Association DataObject "
            "TextAnnotation",
            "the export keeps pools, lanes, gateways and the group but drops message flows, data and the "
            "annotation and changes tasks and events"}),
    [](const auto& info) { return std::string(info.param.name); });

// One more B.2.0 export in the corpus is left out of the comparison: it holds 10 of the
// reference's 41 activities, so no stereotype but MessageFlow keeps its count.

}  // namespace
