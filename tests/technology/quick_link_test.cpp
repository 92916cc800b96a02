// The quick-link table of the built technology document: its encoding in the `data`
// attribute, its lines and fields, and the connection rules it encodes.

#include <gtest/gtest.h>

#include <functional>
#include <pugixml.hpp>
#include <set>
#include <string>
#include <vector>

#include "technology/document_files.h"

namespace {

using technology_test::Split;
using Line = std::vector<std::string>;  // the 23 fields, 0-based

// Field positions, 0-based.
enum Field {
  kSourceType,
  kSourceStereotype,
  kTargetType,
  kTargetStereotype,
  kDiagramFilter,
  kNewElementType,
  kNewElementStereotype,
  kLinkType,
  kLinkStereotype,
  kDirection,
  kLinkCaption,
  kLinkAndElementCaption,
  kCreateLink,
  kCreateElement,
  kDisallowSelf,
  kExclusive,
  kMenuGroup,
  kComplexity,
  kTargetMustBeParent,
  kEmbed,
  kSeparatorLeaf,
  kSeparatorGroup,
  kDummy,
  kFieldCount
};

std::string RawData() {
  const std::string& bytes = technology_test::BuiltDocument();
  const std::size_t start = bytes.find("<QuickLink data=\"");
  if (start == std::string::npos) return "";
  const std::size_t value = start + 17;
  return bytes.substr(value, bytes.find('"', value) - value);
}

std::string Data() {
  pugi::xml_document xml;
  xml.load_buffer(technology_test::BuiltDocument().data(), technology_test::BuiltDocument().size());
  return xml.select_node("//QuickLink").node().attribute("data").value();
}

std::vector<Line> DataLines() {
  std::vector<std::string> texts = Split(Data(), '\n');
  std::vector<Line> lines;
  for (std::size_t i = 1; i + 2 < texts.size(); ++i) lines.push_back(Split(texts[i], ','));
  return lines;
}

char Kind(const Line& line) {
  if (line[kTargetType].empty()) return 'A';
  return line[kNewElementType].empty() ? 'B' : 'C';
}

const std::string& Counterpart(const Line& line) {
  return Kind(line) == 'B' ? line[kTargetStereotype] : line[kNewElementStereotype];
}

const std::string& CounterpartType(const Line& line) {
  return Kind(line) == 'B' ? line[kTargetType] : line[kNewElementType];
}

TEST(QuickLinkTable, IsEncodedInTheAttribute) {
  const std::string raw = RawData();
  EXPECT_TRUE(raw.starts_with("//Source Element Type,Source ST filter,")) << raw.substr(0, 60);
  EXPECT_TRUE(raw.ends_with("&#xA;&#xA;"));
  EXPECT_NE(raw.find("New Link &amp; Element Caption"), std::string::npos);
  EXPECT_EQ(raw.find_first_of("\r\n\t<\""), std::string::npos);
}

TEST(QuickLinkTable, EqualsItsSourceTable) {
  EXPECT_EQ(Data(), technology_test::ReadBytes(technology_test::SourcePath("quicklinks.csv")) + "\n");
}

TEST(QuickLinkTable, HasAHeaderAnd376LinesOf23Fields) {
  const std::vector<std::string> texts = Split(Data(), '\n');
  ASSERT_EQ(texts.size(), 379u) << "377 lines, an empty line, and the text after the last line feed";
  EXPECT_EQ(
      texts[0],
      "//Source Element Type,Source ST filter,Target Element Type,Target ST Filter,Diagram Filter,New "
      "Element "
      "Type,New Element ST,New Link Type,New Link ST,New Link Direction,New Link Caption,New Link & Element "
      "Caption,Create Link,Create Element,Disallow Self connector,Exclusive to ST Filter + No inherit from "
      "metatype,Menu Group,Complexity Level,Target Must Be Parent,Embed element,Preceeds Separator "
      "LEAF,Preceeds "
      "Separator GROUP,DUMMZ COLUMN");
  EXPECT_EQ(texts[377], "");
  EXPECT_EQ(texts[378], "");
  for (std::size_t i = 0; i < 377; ++i) {
    EXPECT_EQ(Split(texts[i], ',').size(), static_cast<std::size_t>(kFieldCount)) << "line " << i + 1;
  }
}

TEST(QuickLinkTable, EveryLineKeepsTheFieldRules) {
  const std::set<std::string> link_types = {"ControlFlow/SequenceFlow", "ControlFlow/MessageFlow",
                                            "Dependency/Association"};
  const std::set<std::string> directions = {"to", "from", "undirected"};
  struct Row {
    const char* name;
    std::function<bool(const Line&)> holds;
  };
  const std::vector<Row> rows = {
      {"fields 13, 15 and 16 are TRUE",
       [](const Line& l) {
         return l[kCreateLink] == "TRUE" && l[kDisallowSelf] == "TRUE" && l[kExclusive] == "TRUE";
       }},
      {"field 18 is 0", [](const Line& l) { return l[kComplexity] == "0"; }},
      {"fields 5, 19, 22 and 23 are empty",
       [](const Line& l) {
         return l[kDiagramFilter].empty() && l[kTargetMustBeParent].empty() && l[kSeparatorGroup].empty() &&
                l[kDummy].empty();
       }},
      {"a known link",
       [&](const Line& l) { return link_types.contains(l[kLinkType] + "/" + l[kLinkStereotype]); }},
      {"a known direction", [&](const Line& l) { return directions.contains(l[kDirection]); }},
      {"a source", [](const Line& l) { return !l[kSourceType].empty() && !l[kSourceStereotype].empty(); }},
      {"kind B: link caption only, no menu group, no element created",
       [](const Line& l) {
         return Kind(l) != 'B' || (!l[kLinkCaption].empty() && l[kLinkAndElementCaption].empty() &&
                                   l[kMenuGroup].empty() && l[kCreateElement].empty());
       }},
      {"kinds A and C: element caption, created element is the menu group",
       [](const Line& l) {
         return Kind(l) == 'B' || (l[kLinkCaption].empty() && !l[kLinkAndElementCaption].empty() &&
                                   l[kMenuGroup] == l[kNewElementStereotype] && l[kCreateElement] == "TRUE");
       }},
      {"kind C targets an Activity and embeds",
       [](const Line& l) {
         return (Kind(l) == 'C') ==
                (l[kTargetType] == "Activity" && l[kTargetStereotype] == "Activity" && l[kEmbed] == "TRUE");
       }},
      {"field 20 only on kind C", [](const Line& l) { return Kind(l) == 'C' || l[kEmbed].empty(); }},
      {"field 21 is TRUE or empty",
       [](const Line& l) { return l[kSeparatorLeaf].empty() || l[kSeparatorLeaf] == "TRUE"; }},
      {"no Gateway in a Message Flow",
       [](const Line& l) {
         return l[kLinkStereotype] != "MessageFlow" ||
                (l[kSourceStereotype] != "Gateway" && Counterpart(l) != "Gateway");
       }},
      {"associations are directed only between an Activity and an artifact or event",
       [](const Line& l) {
         if (l[kLinkStereotype] != "Association" || l[kDirection] == "undirected") return true;
         const std::string& other = Counterpart(l);
         return (l[kSourceStereotype] == "Activity" && other == "DataObject") ||
                (l[kSourceStereotype] == "DataObject" && other == "Activity") ||
                (l[kSourceType] == "ObjectNode" && l[kSourceStereotype] == "IntermediateEvent" &&
                 other == "Activity");
       }},
      {"the caption is the link's words and its direction",
       [](const Line& l) {
         const std::string caption = Kind(l) == 'B' ? l[kLinkCaption] : l[kLinkAndElementCaption];
         const std::string words = l[kLinkStereotype] == "SequenceFlow"  ? "Sequence Flow"
                                   : l[kLinkStereotype] == "MessageFlow" ? "Message Flow"
                                                                         : "Association";
         const bool bare = l[kDirection] == "undirected" ||
                           (l[kSourceType] == "ObjectNode" && l[kSourceStereotype] == "IntermediateEvent" &&
                            l[kLinkStereotype] == "Association");
         return caption == (bare ? words : words + " " + l[kDirection]);
       }},
      {"base types follow the stereotypes",
       [](const Line& l) {
         const auto fits = [](const std::string& type, const std::string& stereotype) {
           if (stereotype.ends_with("Event")) return type == "Event" || type == "ObjectNode";
           if (stereotype == "Gateway") return type == "Decision";
           if (stereotype == "Pool" || stereotype == "Lane") return type == "ActivityPartition";
           if (stereotype == "DataObject" || stereotype == "TextAnnotation") return type == "Artifact";
           return stereotype == "Activity" && type == "Activity";
         };
         return fits(l[kSourceType], l[kSourceStereotype]) && fits(CounterpartType(l), Counterpart(l));
       }},
  };
  const std::vector<Line> lines = DataLines();
  ASSERT_EQ(lines.size(), 376u);
  for (const Row& row : rows) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
      ASSERT_EQ(lines[i].size(), static_cast<std::size_t>(kFieldCount)) << "data line " << i + 1;
      EXPECT_TRUE(row.holds(lines[i])) << row.name << ": data line " << i + 1;
    }
  }
}

TEST(QuickLinkTable, CountsOfLines) {
  const std::vector<Line> lines = DataLines();
  const auto count = [&](const std::function<bool(const Line&)>& predicate) {
    return std::count_if(lines.begin(), lines.end(), predicate);
  };
  struct Row {
    const char* name;
    std::function<bool(const Line&)> selects;
    long expected;
  };
  const std::vector<Row> rows = {
      {"kind A", [](const Line& l) { return Kind(l) == 'A'; }, 117},
      {"kind B", [](const Line& l) { return Kind(l) == 'B'; }, 151},
      {"kind C", [](const Line& l) { return Kind(l) == 'C'; }, 108},
      {"marked to precede a separator", [](const Line& l) { return l[kSeparatorLeaf] == "TRUE"; }, 133},
      {"Sequence Flows between two start events, one based on ObjectNode",
       [](const Line& l) {
         return l[kLinkStereotype] == "SequenceFlow" && l[kSourceStereotype] == "StartEvent" &&
                Counterpart(l) == "StartEvent" &&
                (l[kSourceType] == "ObjectNode" || CounterpartType(l) == "ObjectNode");
       },
       4},
      {"Sequence Flows between two start events, neither based on ObjectNode",
       [](const Line& l) {
         return l[kLinkStereotype] == "SequenceFlow" && l[kSourceStereotype] == "StartEvent" &&
                Counterpart(l) == "StartEvent" && l[kSourceType] != "ObjectNode" &&
                CounterpartType(l) != "ObjectNode";
       },
       0},
      {"from a Lane", [](const Line& l) { return l[kSourceStereotype] == "Lane"; }, 2},
      {"from a Pool", [](const Line& l) { return l[kSourceStereotype] == "Pool"; }, 24},
      {"from an Activity", [](const Line& l) { return l[kSourceStereotype] == "Activity"; }, 61},
      {"from a Gateway", [](const Line& l) { return l[kSourceStereotype] == "Gateway"; }, 38},
      {"from an event based on ObjectNode", [](const Line& l) { return l[kSourceType] == "ObjectNode"; },
       103},
      {"a bare Association caption on a directed link",
       [](const Line& l) {
         return l[kDirection] != "undirected" &&
                (l[kLinkCaption] == "Association" || l[kLinkAndElementCaption] == "Association");
       },
       2},
  };
  for (const Row& row : rows) EXPECT_EQ(count(row.selects), row.expected) << row.name;
}

}  // namespace
