// The built BPMN technology document: its bytes and layout, its profiles, stereotypes, tags,
// reference data and toolbox order, and its packed shape scripts.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <pugixml.hpp>
#include <set>
#include <string>
#include <vector>

#include "kelvo/technology.h"
#include "platform/resources.h"
#include "platform/text.h"
#include "technology/document_files.h"

namespace {

using technology_test::BuiltDocument;
using technology_test::Split;

const std::string& Bytes() { return BuiltDocument(); }

std::vector<std::string> Lines() {
  std::vector<std::string> lines = Split(Bytes(), '\n');
  lines.pop_back();                                 // after the final line end
  for (std::string& line : lines) line.pop_back();  // the CR
  return lines;
}

// The built document parsed once, comments kept.
struct ParsedDocument {
  ParsedDocument() {
    const auto result =
        xml.load_buffer(Bytes().data(), Bytes().size(), pugi::parse_default | pugi::parse_comments);
    if (!result)
      throw std::runtime_error(std::string("built document is not well-formed: ") + result.description());
  }
  pugi::xml_document xml;
};

const pugi::xml_document& Xml() {
  static const ParsedDocument parsed;
  return parsed.xml;
}

pugi::xml_node Root() { return Xml().child("Tarrow.Technology"); }

std::vector<pugi::xml_node> Profiles() {
  std::vector<pugi::xml_node> profiles;
  for (auto profile : Root().child("UMLProfiles").children("UMLProfile")) profiles.push_back(profile);
  for (auto profile : Root().child("DiagramProfile").children("UMLProfile")) profiles.push_back(profile);
  return profiles;
}

pugi::xml_node Profile(const std::string& name) {
  for (auto profile : Profiles()) {
    if (name == profile.child("Documentation").attribute("name").value()) return profile;
  }
  return {};
}

std::vector<pugi::xml_node> Stereotypes(const pugi::xml_node& profile) {
  std::vector<pugi::xml_node> stereotypes;
  for (auto s : profile.child("Content").child("Stereotypes").children("Stereotype"))
    stereotypes.push_back(s);
  return stereotypes;
}

std::vector<pugi::xml_node> AllStereotypes() {
  std::vector<pugi::xml_node> all;
  for (auto profile : Profiles()) {
    for (auto s : Stereotypes(profile)) all.push_back(s);
  }
  return all;
}

pugi::xml_node StereotypeNode(const std::string& name) {
  for (auto s : AllStereotypes()) {
    if (name == s.attribute("name").value()) return s;
  }
  return {};
}

// Child element names, or attribute names, joined by spaces; comments shown as "#comment".
std::string ChildNames(const pugi::xml_node& node) {
  std::string names;
  for (auto child : node.children()) {
    if (!names.empty()) names += ' ';
    names += child.type() == pugi::node_comment ? "#comment" : child.name();
  }
  return names;
}

std::string AttributeNames(const pugi::xml_node& node) {
  std::string names;
  for (auto attribute : node.attributes())
    names += (names.empty() ? "" : " ") + std::string(attribute.name());
  return names;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// ---- bytes and layout ---------------------------------------------------------------------

TEST(TechnologyDocumentBytes, FollowTheStoredForm) {
  const std::string& bytes = Bytes();
  struct Row {
    const char* name;
    std::function<bool()> holds;
  };
  const std::vector<Row> rows = {
      {"is well-formed XML",
       [&] {
         pugi::xml_document xml;
         return static_cast<bool>(xml.load_buffer(bytes.data(), bytes.size()));
       }},
      {"begins with the root start tag, no declaration or byte-order mark",
       [&] { return bytes.starts_with("<Tarrow.Technology version=\"1.0\">"); }},
      {"every byte is 7-bit ASCII",
       [&] { return std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; }); }},
      {"every CR is followed by LF and every LF preceded by CR",
       [&] {
         for (std::size_t i = 0; i < bytes.size(); ++i) {
           if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')) return false;
           if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) return false;
         }
         return true;
       }},
      {"the last line ends with CR LF", [&] { return bytes.ends_with("</Tarrow.Technology>\r\n"); }},
      {"no spaces used for indentation", [&] { return bytes.find("\n ") == std::string::npos; }},
  };
  for (const Row& row : rows) {
    EXPECT_TRUE(row.holds()) << row.name;
  }
}

TEST(TechnologyDocumentBytes, SharedLinesAreWrittenAsOne) {
  const std::vector<std::string> lines = Lines();
  ASSERT_GT(lines.size(), 3u);
  EXPECT_EQ(
      lines.front(),
      "<Tarrow.Technology version=\"1.0\"><Documentation id=\"BPMN\" name=\"Tarrow Technology for BPMN\" "
      "version=\"1.3\" notes=\"Tarrow Technology for BPMN\"/><UMLProfiles><UMLProfile profiletype=\"uml2\">");
  EXPECT_EQ(lines[lines.size() - 2], "\t<TaggedValueTypes><RefData version=\"1.0\" exporter=\"Kelvo.25\">");
  EXPECT_TRUE(
      lines.back().starts_with("<DataSet name=\"Property Types\" table=\"t_propertytypes\" "
                               "filter=\"Property='#Property#'\"><DataRow>"));
  EXPECT_TRUE(
      lines.back().ends_with("</DataRow></DataSet></RefData></TaggedValueTypes></Tarrow.Technology>"));
}

// Nesting depth after scanning the tags of `text`, starting from `depth`. Quoted attribute
// values may hold ">" ("Source -> Destination").
int DepthAfter(std::string_view text, int depth) {
  for (std::size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1)) {
    if (text.substr(at).starts_with("<!--")) {
      at = text.find("-->", at);
      continue;
    }
    if (text[at + 1] == '/') {
      --depth;
      continue;
    }
    char quote = 0;
    std::size_t end = at;
    while (++end < text.size() && (quote || text[end] != '>')) {
      if (text[end] == '"') quote = quote ? 0 : '"';
    }
    if (text[end - 1] != '/') ++depth;
    at = end;
  }
  return depth;
}

TEST(TechnologyDocumentBytes, IndentsOneTabPerNestingLevel) {
  const std::vector<std::string> lines = Lines();
  int depth = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    const std::size_t tabs = line.find_first_not_of('\t');
    const std::string_view rest = std::string_view(line).substr(tabs);
    const bool starts_element = rest.starts_with('<') && !rest.starts_with("<DataSet");
    if (starts_element) {
      const int expected = depth - (rest.starts_with("</") ? 1 : 0);
      EXPECT_EQ(static_cast<int>(tabs), expected) << "line " << i + 1 << ": " << line.substr(0, 80);
    }
    depth = DepthAfter(rest, depth);
  }
  EXPECT_EQ(depth, 0);
}

TEST(TechnologyDocumentBytes, EmptyElementsAreSelfClosing) {
  const std::string& bytes = Bytes();
  for (std::size_t at = bytes.find("></"); at != std::string::npos; at = bytes.find("></", at + 1)) {
    const std::size_t open = bytes.rfind('<', at);
    const std::string_view start_tag = std::string_view(bytes).substr(open, at - open);
    if (start_tag.starts_with("</") || start_tag.starts_with("<!")) continue;
    const std::string name(start_tag.substr(1, start_tag.find_first_of(" >") - 1));
    EXPECT_NE(bytes.compare(at + 3, name.size() + 1, name + ">"), 0) << "<" << name << "> is written empty";
  }
  EXPECT_NE(bytes.find("<Apply type=\"Event\"/>"), std::string::npos);
  EXPECT_NE(bytes.find("<TaggedValues/>"), std::string::npos);
}

// ---- profiles and stereotypes -------------------------------------------------------------

TEST(TechnologyDocument, RootAndProfilesAreInOrder) {
  EXPECT_EQ(ChildNames(Root()), "Documentation UMLProfiles DiagramProfile TaggedValueTypes");
  EXPECT_EQ(AttributeNames(Root().child("Documentation")), "id name version notes");
  EXPECT_STREQ(Root().child("Documentation").attribute("id").value(), "BPMN");

  struct Row {
    std::string id, name, notes;
    std::size_t stereotypes, value_types;
    bool quick_link;
  };
  const std::vector<Row> rows = {
      {"ED4A099B-F", "BPMN Core", "Tarrow Technology for BPMN", 14, 22, true},
      {"4C6AC399-2", "BPMN Types", "Tarrow Technology for BPMN", 6, 4, false},
      {"58B8B976-7", "BPMN", "BPMN Diagram Profile", 1, 0, false},
  };
  const std::vector<pugi::xml_node> profiles = Profiles();
  ASSERT_EQ(profiles.size(), rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Row& row = rows[i];
    const pugi::xml_node profile = profiles[i];
    const pugi::xml_node documentation = profile.child("Documentation");
    EXPECT_STREQ(profile.attribute("profiletype").value(), "uml2") << row.name;
    EXPECT_EQ(documentation.attribute("id").value(), row.id) << row.name;
    EXPECT_EQ(documentation.attribute("name").value(), row.name);
    EXPECT_STREQ(documentation.attribute("version").value(), "1.3") << row.name;
    EXPECT_EQ(documentation.attribute("notes").value(), row.notes) << row.name;
    EXPECT_EQ(ChildNames(profile), "Documentation #comment Content Order") << row.name;
    EXPECT_STREQ(profile.child("Documentation").next_sibling().value(), " The profile content ") << row.name;
    const pugi::xml_node content = profile.child("Content");
    EXPECT_EQ(ChildNames(content),
              std::string("#comment Stereotypes TaggedValueTypes") + (row.quick_link ? " QuickLink" : ""))
        << row.name;
    EXPECT_STREQ(content.first_child().value(), " List of stereotypes used in this profile") << row.name;
    EXPECT_EQ(Stereotypes(profile).size(), row.stereotypes) << row.name;
    const auto value_types = content.child("TaggedValueTypes").children("TaggedValueType");
    EXPECT_EQ(static_cast<std::size_t>(std::distance(value_types.begin(), value_types.end())),
              row.value_types)
        << row.name;
  }
}

struct StereotypeRow {
  std::string name;
  std::string size;     // "cx x cy", or "" without
  std::string applies;  // base types, space-separated, in order
  bool image;
};

const std::vector<StereotypeRow>& StereotypeRows() {
  static const std::vector<StereotypeRow> rows = {
      {"BusinessProcess", "135x75", "Activity", false},
      {"Activity", "110x60", "Activity", true},
      {"StartEvent", "30x30", "ObjectNode Event", true},
      {"IntermediateEvent", "30x30", "Event ObjectNode", true},
      {"EndEvent", "30x30", "Event ObjectNode", true},
      {"Gateway", "42x42", "Decision", true},
      {"SequenceFlow", "230x163", "ControlFlow", true},
      {"MessageFlow", "230x98", "ControlFlow", true},
      {"Association", "230x98", "Dependency", true},
      {"Pool", "370x175", "ActivityPartition", false},
      {"Lane", "370x175", "ActivityPartition", false},
      {"DataObject", "50x80", "Artifact", true},
      {"Group", "224x85", "SysBoundary", false},
      {"TextAnnotation", "100x35", "Artifact", true},
      {"Message", "", "Class", false},
      {"Participant", "", "Class", false},
      {"Property", "", "Attribute", false},
      {"Rule", "", "Class", false},
      {"Transaction", "", "Class", false},
      {"WebService", "", "Class", false},
      {"BPMN", "124x70", "Diagram_Analysis", false},
  };
  return rows;
}

TEST(TechnologyDocument, StereotypesInOrderWithSizesBaseTypesAndParts) {
  const std::vector<pugi::xml_node> all = AllStereotypes();
  const auto& rows = StereotypeRows();
  ASSERT_EQ(all.size(), rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const StereotypeRow& row = rows[i];
    const pugi::xml_node s = all[i];
    EXPECT_EQ(s.attribute("name").value(), row.name) << "position " << i;
    const std::string size =
        s.attribute("cx") ? std::string(s.attribute("cx").value()) + "x" + s.attribute("cy").value() : "";
    EXPECT_EQ(size, row.size) << row.name;
    std::string applies;
    for (auto apply : s.child("AppliesTo").children("Apply")) {
      applies += (applies.empty() ? "" : " ") + std::string(apply.attribute("type").value());
    }
    EXPECT_EQ(applies, row.applies) << row.name;
    EXPECT_EQ(ChildNames(s),
              std::string(row.image ? "Image " : "") + "AppliesTo Redefinitions TaggedValues Constraints")
        << row.name;
    EXPECT_TRUE(!s.child("Redefinitions").first_child() && !s.child("Constraints").first_child()) << row.name;
  }
}

TEST(TechnologyDocument, StereotypeAttributesFollowTheirProfile) {
  struct Row {
    const char* profile;
    std::function<std::string(const std::string&)> attributes;  // by stereotype name
    std::function<std::string(const std::string&)> notes;
  };
  const std::vector<Row> rows = {
      {"BPMN Core", [](const std::string&) { return "name notes metatype strictness cx cy"; },
       [](const std::string& name) {
         const bool connector = name.ends_with("Flow") || name == "Association";
         return "BPMN " + name + (connector ? " connector" : " object");
       }},
      {"BPMN Types",
       [](const std::string& name) {
         return name == "WebService" ? "name notes alias metatype strictness"
                                     : "name notes metatype strictness";
       },
       [](const std::string& name) { return "BPMN " + name + " object"; }},
      {"BPMN", [](const std::string&) { return "name notes cx cy"; }, [](const std::string&) { return ""; }},
  };
  for (const Row& row : rows) {
    for (auto s : Stereotypes(Profile(row.profile))) {
      const std::string name = s.attribute("name").value();
      EXPECT_EQ(AttributeNames(s), row.attributes(name)) << row.profile << " " << name;
      EXPECT_EQ(s.attribute("notes").value(), row.notes(name)) << row.profile << " " << name;
      if (s.attribute("metatype")) {
        EXPECT_EQ(s.attribute("metatype").value(), name) << name;
      }
      if (s.attribute("strictness")) {
        EXPECT_STREQ(s.attribute("strictness").value(), "all") << name;
      }
    }
  }
  EXPECT_STREQ(StereotypeNode("WebService").attribute("alias").value(), "Web Service");
}

std::string PropertiesOf(const std::string& stereotype, const std::string& base_type) {
  std::string text;
  for (auto apply : StereotypeNode(stereotype).child("AppliesTo").children("Apply")) {
    if (base_type != apply.attribute("type").value()) continue;
    for (auto property : apply.children("Property")) {
      EXPECT_EQ(AttributeNames(property), "name value") << stereotype;
      text +=
          std::string(property.attribute("name").value()) + "=" + property.attribute("value").value() + ";";
    }
  }
  return text;
}

TEST(TechnologyDocument, BaseTypePropertiesInOrder) {
  const std::string object_node =
      "isControlType=false;isException=false;isStream=false;objectState=;ordering=FIFO;";
  struct Row {
    std::string stereotype, base_type, properties;
  };
  const std::vector<Row> rows = {
      {"BusinessProcess", "Activity",
       "_defaultDiagramType=BPMN::BPMN;_makeComposite=true;isReadOnly=false;isSingleExecution=;parameterName="
       ";"
       "postcondition=;precondition=;"},
      {"Activity", "Activity",
       "_defaultDiagramType=BPMN::BPMN;isReadOnly=false;isSingleExecution=false;parameterName=;postcondition="
       ";"
       "precondition=;"},
      {"StartEvent", "ObjectNode", object_node},
      {"StartEvent", "Event", ""},
      {"IntermediateEvent", "ObjectNode", object_node},
      {"EndEvent", "ObjectNode", object_node},
      {"EndEvent", "Event", ""},
      {"Gateway", "Decision", "isAssured=false;isDeterminate=false;"},
      {"SequenceFlow", "ControlFlow", "direction=Source -> Destination;"},
      {"MessageFlow", "ControlFlow", "direction=Source -> Destination;"},
      {"Association", "Dependency", "direction=Source -> Destination;"},
      {"Pool", "ActivityPartition", "isDimension=false;isExternal=false;"},
      {"Lane", "ActivityPartition", "isDimension=false;isExternal=false;"},
      {"DataObject", "Artifact", "fileName=;"},
      {"TextAnnotation", "Artifact", "fileName=;"},
      {"Group", "SysBoundary", ""},
      {"WebService", "Class", ""},
      {"BPMN", "Diagram_Analysis", "alias=BPMN;diagramID=BPMN;toolbox=BPMN Core;"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(PropertiesOf(row.stereotype, row.base_type), row.properties)
        << row.stereotype << " " << row.base_type;
  }
}

// ---- tagged values ------------------------------------------------------------------------

std::vector<pugi::xml_node> Tags(const pugi::xml_node& stereotype) {
  std::vector<pugi::xml_node> tags;
  for (auto tag : stereotype.child("TaggedValues").children("Tag")) tags.push_back(tag);
  return tags;
}

bool NameOnly(const pugi::xml_node& tag) { return !tag.attribute("type"); }

TEST(TechnologyDocument, TagCountsPerStereotype) {
  const std::map<std::string, std::size_t> counts = {{"BusinessProcess", 13},
                                                     {"Activity", 38},
                                                     {"StartEvent", 13},
                                                     {"IntermediateEvent", 16},
                                                     {"EndEvent", 12},
                                                     {"Gateway", 8},
                                                     {"SequenceFlow", 7},
                                                     {"MessageFlow", 3},
                                                     {"Association", 2},
                                                     {"Pool", 4},
                                                     {"Lane", 4},
                                                     {"DataObject", 5},
                                                     {"Group", 2},
                                                     {"TextAnnotation", 2},
                                                     {"Message", 2},
                                                     {"Participant", 3},
                                                     {"Property", 1},
                                                     {"Rule", 1},
                                                     {"Transaction", 2},
                                                     {"WebService", 3},
                                                     {"BPMN", 0}};
  for (auto s : AllStereotypes()) {
    const std::string name = s.attribute("name").value();
    ASSERT_TRUE(counts.contains(name)) << name;
    EXPECT_EQ(Tags(s).size(), counts.at(name)) << name;
  }
}

// Declared tags come first, in alphabetical order regardless of letter case; then the tags
// declared by name alone.
TEST(TechnologyDocument, TagsAreOrderedAndWrittenInFullOrByNameAlone) {
  for (auto s : AllStereotypes()) {
    const std::string stereotype = s.attribute("name").value();
    std::string previous;
    bool name_only_seen = false;
    for (auto tag : Tags(s)) {
      const std::string name = tag.attribute("name").value();
      if (NameOnly(tag)) {
        name_only_seen = true;
        EXPECT_EQ(AttributeNames(tag), "name") << stereotype << "." << name;
        continue;
      }
      EXPECT_FALSE(name_only_seen) << stereotype << "." << name << " follows a name-only tag";
      EXPECT_LT(Lower(previous), Lower(name)) << stereotype << "." << name;
      EXPECT_EQ(AttributeNames(tag), "name type description unit values default")
          << stereotype << "." << name;
      EXPECT_STREQ(tag.attribute("description").value(), "") << stereotype << "." << name;
      EXPECT_STREQ(tag.attribute("unit").value(), "") << stereotype << "." << name;
      previous = name;
    }
  }
}

TEST(TechnologyDocument, TagDefinitionsAgreeAcrossStereotypesExceptTrigger) {
  std::map<std::string, std::pair<std::string, std::string>> seen;  // tag -> (stereotype, definition)
  for (auto s : AllStereotypes()) {
    for (auto tag : Tags(s)) {
      const std::string name = tag.attribute("name").value();
      std::string definition;
      for (auto attribute : tag.attributes()) definition += std::string(attribute.value()) + "|";
      const auto [it, first] = seen.try_emplace(name, s.attribute("name").value(), definition);
      if (!first && name != "Trigger") {
        EXPECT_EQ(it->second.second, definition)
            << name << " differs between " << it->second.first << " and " << s.attribute("name").value();
      }
    }
  }
}

TEST(TechnologyDocument, EnumeratedTagsDefaultToOneOfTheirValues) {
  for (auto s : AllStereotypes()) {
    for (auto tag : Tags(s)) {
      const std::string type = tag.attribute("type").value();
      if (type != "enumeration" && type != "boolean") continue;
      const std::vector<std::string> values = Split(tag.attribute("values").value(), ',');
      const std::string name = std::string(s.attribute("name").value()) + "." + tag.attribute("name").value();
      EXPECT_NE(std::find(values.begin(), values.end(), tag.attribute("default").value()), values.end())
          << name;
      for (const std::string& value : values) {
        EXPECT_FALSE(value.empty() || value.starts_with(' ')) << name;
      }
      if (type == "boolean") {
        EXPECT_STREQ(tag.attribute("values").value(), "true,false") << name;
      }
    }
  }
}

TEST(TechnologyDocument, TagDefinitionsTheRulesDependOn) {
  struct Row {
    std::string stereotype, tag, type, values, default_value;
  };
  const std::vector<Row> rows = {
      {"StartEvent", "Trigger", "enumeration", "None,Message,Timer,Rule,Link,Multiple", "None"},
      {"IntermediateEvent", "Trigger", "enumeration",
       "None,Message,Timer,Error,Cancel,Compensation,Rule,Link,Multiple", "Message"},
      {"EndEvent", "Result", "enumeration", "None,Message,Error,Cancel,Compensation,Link,Multiple,Terminate",
       "None"},
      {"Gateway", "MarkerVisible", "boolean", "true,false", "false"},
      {"Gateway", "GatewayType", "enumeration", "XOR,Complex,OR,AND", "XOR"},
      {"Activity", "TaskType", "enumeration", "Service,Receive,Send,Script,User,Manual,Reference,None",
       "None"},
      {"Activity", "Implementation", "enumeration", "Other,Web Service,Unspecified", "Unspecified"},
      {"Activity", "StartQuantity", "int", "", "1"},
      {"SequenceFlow", "Quantity", "Integer", "", "1"},
      {"SequenceFlow", "ConditionExpression", "String", "", ""},
      {"BusinessProcess", "ExpressionLanguage", "string", "", "XPath 1.0"},
      {"DataObject", "RequiredForStart", "boolean", "true,false", "true"},
  };
  for (const Row& row : rows) {
    pugi::xml_node found;
    for (auto tag : Tags(StereotypeNode(row.stereotype))) {
      if (row.tag == tag.attribute("name").value()) found = tag;
    }
    ASSERT_TRUE(found) << row.stereotype << "." << row.tag;
    EXPECT_EQ(found.attribute("type").value(), row.type) << row.stereotype << "." << row.tag;
    EXPECT_EQ(found.attribute("values").value(), row.values) << row.stereotype << "." << row.tag;
    EXPECT_EQ(found.attribute("default").value(), row.default_value) << row.stereotype << "." << row.tag;
  }
}

std::map<std::string, std::string> ValueTypes(const pugi::xml_node& profile) {
  std::map<std::string, std::string> types;
  for (auto type : profile.child("Content").child("TaggedValueTypes").children("TaggedValueType")) {
    EXPECT_EQ(AttributeNames(type), "property description notes");
    types[type.attribute("property").value()] = type.attribute("notes").value();
  }
  return types;
}

// A tag declared by name alone refers to an element of a stereotype of the technology, through
// a tagged-value type of its own profile; a tag typed by a profile type uses that type's name.
TEST(TechnologyDocument, TagsAreTypedByTheirProfile) {
  for (auto profile : Profiles()) {
    const std::map<std::string, std::string> types = ValueTypes(profile);
    for (auto s : Stereotypes(profile)) {
      for (auto tag : Tags(s)) {
        const std::string name = tag.attribute("name").value();
        const std::string where = std::string(s.attribute("name").value()) + "." + name;
        if (!NameOnly(tag)) {
          if (types.contains(tag.attribute("type").value())) {
            EXPECT_EQ(tag.attribute("type").value(), name) << where;
          }
          continue;
        }
        ASSERT_TRUE(types.contains(name)) << where;
        const std::string& notes = types.at(name);
        ASSERT_TRUE(notes.starts_with("Type=RefGUID;Stereotypes=")) << where << ": " << notes;
        const std::string target = notes.substr(25, notes.size() - 26);
        EXPECT_TRUE(StereotypeNode(target)) << where << " refers to " << target;
      }
    }
  }
}

TEST(TechnologyDocument, ValueTypesThatAreNotReferences) {
  struct Row {
    std::string profile, property, description, notes;
  };
  const std::vector<Row> rows = {
      {"BPMN Core", "Performers", "Performers", "Task=Memo;"},
      {"BPMN Core", "TimeDate", "TimeDate", "Type=DateTime;"},
      {"BPMN Core", "Assignments", "Assignments", "Type=Memo;"},
      {"BPMN Types", "Role", "Person role", "Used in entities"},
  };
  for (const Row& row : rows) {
    pugi::xml_node found;
    for (auto type :
         Profile(row.profile).child("Content").child("TaggedValueTypes").children("TaggedValueType")) {
      if (row.property == type.attribute("property").value()) found = type;
    }
    ASSERT_TRUE(found) << row.property;
    EXPECT_EQ(found.attribute("description").value(), row.description) << row.property;
    EXPECT_EQ(found.attribute("notes").value(), row.notes) << row.property;
  }
}

// ---- reference data and toolbox order -----------------------------------------------------

TEST(TechnologyDocument, ReferenceDataRows) {
  const pugi::xml_node ref_data = Root().child("TaggedValueTypes").child("RefData");
  EXPECT_EQ(AttributeNames(ref_data), "version exporter");
  EXPECT_STREQ(ref_data.attribute("exporter").value(), "Kelvo.25");
  const pugi::xml_node data_set = ref_data.child("DataSet");
  EXPECT_EQ(AttributeNames(data_set), "name table filter");
  EXPECT_STREQ(data_set.attribute("filter").value(), "Property='#Property#'");

  std::vector<std::string> properties;
  for (auto row : data_set.children("DataRow")) {
    std::map<std::string, std::string> columns;
    for (auto column : row.children("Column"))
      columns[column.attribute("name").value()] = column.attribute("value").value();
    const std::string property = columns["Property"];
    const std::string& notes = columns["Notes"];
    const std::string names = ChildNames(row);
    const bool described = columns.contains("Description");
    EXPECT_EQ(names, described ? "Column Column Column" : "Column Column") << property;
    EXPECT_EQ(row.first_child().attribute("name").value(), std::string("Property")) << property;
    EXPECT_EQ(row.last_child().attribute("name").value(), std::string("Notes")) << property;
    EXPECT_EQ(described, !notes.starts_with("Type=Classifier;")) << property;
    if (described) {
      EXPECT_EQ(columns["Description"], property);
    }
    if (property == "Performers") {
      EXPECT_EQ(notes, "Task=Memo;");
    }
    properties.push_back(property);
  }
  EXPECT_EQ(properties.size(), 29u);
  EXPECT_TRUE(std::is_sorted(properties.begin(), properties.end(),
                             [](const std::string& a, const std::string& b) { return Lower(a) < Lower(b); }));
  EXPECT_EQ(properties.front(), "Activity");
  EXPECT_EQ(properties.back(), "Triggers");
}

TEST(TechnologyDocument, ToolboxOrders) {
  struct Row {
    const char* profile;
    std::string items;
  };
  const std::vector<Row> rows = {
      {"BPMN Core",
       "BusinessProcess::activity=0 Activity::activity=1 StartEvent::event=2 StartEvent::objectnode=3 "
       "IntermediateEvent::event=3 IntermediateEvent::objectnode=4 EndEvent::event=6 EndEvent::objectnode=7 "
       "Gateway::decision=8 SequenceFlow::controlflow=9 MessageFlow::controlflow=10 "
       "Association::dependency=11 "
       "Pool::activitypartition=12 Lane::activitypartition=13 DataObject::artifact=14 Group::sysboundary=15 "
       "TextAnnotation::artifact=16"},
      {"BPMN Types",
       "Message::class=0 Participant::class=1 Rule::class=2 Transaction::class=3 Web Service::class=4 "
       "Property::attribute=5"},
      {"BPMN", "BPMN::class=0"},
  };
  for (const Row& row : rows) {
    std::string items;
    for (auto item : Profile(row.profile).child("Order").children("OrderItem")) {
      EXPECT_EQ(AttributeNames(item), "node order") << row.profile;
      items += (items.empty() ? "" : " ") + std::string(item.attribute("node").value()) + "=" +
               item.attribute("order").value();
    }
    EXPECT_EQ(items, row.items) << row.profile;
  }
}

// ---- shape scripts ------------------------------------------------------------------------

TEST(TechnologyDocumentImages, AreBase64InLinesOf72) {
  const std::string& bytes = Bytes();
  const std::string open =
      "<Image type=\"KelvoShapeScript 1.0\" xmlns:dt=\"urn:schemas-microsoft-com:datatypes\" "
      "dt:dt=\"bin.base64\">";
  std::size_t images = 0;
  for (std::size_t at = bytes.find("<Image"); at != std::string::npos; at = bytes.find("<Image", at + 1)) {
    ++images;
    ASSERT_EQ(bytes.compare(at, open.size(), open), 0) << "image " << images;
    const std::size_t start = at + open.size();
    const std::string text = bytes.substr(start, bytes.find("</Image>", start) - start);
    const std::vector<std::string> lines = Split(text, '\n');
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const bool last = i + 1 == lines.size();
      const std::string line = last ? lines[i] : lines[i].substr(0, lines[i].size() - 1);
      EXPECT_EQ(lines[i].ends_with('\r'), !last) << "image " << images << " line " << i + 1;
      if (!last) {
        EXPECT_EQ(line.size(), 72u) << "image " << images << " line " << i + 1;
      }
      EXPECT_TRUE(!line.empty() && line.size() <= 72) << "image " << images << " line " << i + 1;
      EXPECT_EQ(line.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
                std::string::npos)
          << "image " << images << " line " << i + 1;
    }
  }
  EXPECT_EQ(images, 10u);
}

TEST(TechnologyDocumentImages, HoldTheSourceScripts) {
  std::string error;
  const auto technology = kelvo::ParseTechnology(platform::FromAnsi(Bytes()), &error);
  ASSERT_TRUE(technology) << error;
  for (const StereotypeRow& row : StereotypeRows()) {
    const kelvo::Stereotype* stereotype = technology->FindStereotype(platform::FromUtf8(row.name));
    ASSERT_NE(stereotype, nullptr) << row.name;
    if (!row.image) {
      EXPECT_TRUE(stereotype->shape_script.empty()) << row.name;
      continue;
    }
    EXPECT_EQ(stereotype->shape_script, platform::FromUtf8(technology_test::ShapeScriptSource(row.name)))
        << row.name;
    EXPECT_TRUE(stereotype->shape_script.starts_with(u"shape")) << row.name;
    EXPECT_EQ(stereotype->shape_script.find(u'\r'), std::u16string::npos) << row.name;
  }
}

// ---- the embedded resource ----------------------------------------------------------------

TEST(TechnologyDocument, IsTheModulesTechfileResource) {
  const platform::ResourceDirectory& directory = platform::ModuleResourceDirectory();
  const auto resource = platform::LoadBinaryFrom(directory, "TECHFILE", 101);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(resource.data()), resource.size()), Bytes());
  for (std::size_t i = 0; i < directory.binary_count; ++i) {
    if (directory.binaries[i].id == 101) {
      EXPECT_EQ(directory.binaries[i].language, 3081);
    }
  }
}

}  // namespace
