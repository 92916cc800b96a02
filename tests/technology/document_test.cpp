// The built BPMN technology document against its sources and its readers: it is document.xml
// with every placeholder filled, the stand-in's parser reads it, every shape script decodes to
// its source on its stereotype, every quick link names what the document defines, and every tag
// the rules read exists with the values they compare against.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "kelvo/technology.h"
#include "platform/resources.h"
#include "platform/text.h"
#include "technology/document_files.h"

namespace {

using technology_test::BuiltDocument;
using technology_test::ReadBytes;
using technology_test::SourcePath;
using technology_test::Split;

const kelvo::Technology& Parsed() {
  static const kelvo::Technology technology = [] {
    return kelvo::ParseTechnology(platform::FromAnsi(BuiltDocument()), "the built document");
  }();
  return technology;
}

std::string QuickLinkData() {
  pugi::xml_document xml;
  xml.load_buffer(BuiltDocument().data(), BuiltDocument().size());
  return xml.select_node("//QuickLink").node().attribute("data").value();
}

// Replaces the text between `open` (the end of it) and the next `close` by `with(at)`.
template <typename Placeholder>
std::string ReplaceBetween(std::string text, const std::string& open, const std::string& close,
                           Placeholder with) {
  for (std::size_t at = text.find(open); at != std::string::npos; at = text.find(open, at + 1)) {
    const std::size_t start = at + open.size();
    text.replace(start, text.find(close, start) - start, with(text, at));
  }
  return text;
}

// The built bytes with each packed script put back as @SCRIPT:<stereotype>@ and the quick-link
// table as @QUICKLINKS@ are document.xml with CR LF line ends; the contents that go into the
// placeholders are checked by the tests below.
TEST(TechnologyDocument, IsTheSkeletonWithItsPlaceholdersFilled) {
  std::string expected;
  for (char c : ReadBytes(SourcePath("document.xml")))
    expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
  std::string built = ReplaceBetween(BuiltDocument(), "<QuickLink data=\"", "\"",
                                     [](const std::string&, std::size_t) { return "@QUICKLINKS@"; });
  built =
      ReplaceBetween(built, "dt:dt=\"bin.base64\">", "</Image>", [](const std::string& text, std::size_t at) {
        const std::string open = "<Stereotype name=\"";
        const std::size_t name = text.rfind(open, at) + open.size();
        return "@SCRIPT:" + text.substr(name, text.find('"', name) - name) + "@";
      });
  EXPECT_EQ(built, expected);
}

TEST(TechnologyDocument, CarriesTheQuickLinkTable) {
  EXPECT_EQ(QuickLinkData(), ReadBytes(SourcePath("quicklinks.csv")) + "\n");
}

TEST(TechnologyDocument, IsTheModulesTechfileResource) {
  const auto resource = platform::LoadBinaryFrom(platform::ModuleResourceDirectory(), "TECHFILE", 101);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(resource.data()), resource.size()), BuiltDocument());
}

// Every script in scripts/ is carried by the stereotype it is named after, and no other
// stereotype has one.
TEST(TechnologyDocument, ShapeScriptsDecodeToTheirSources) {
  std::size_t carried = 0;
  for (const auto& profile : Parsed().profiles) {
    for (const auto& stereotype : profile.stereotypes) {
      const auto path = SourcePath("scripts/" + platform::ToUtf8(stereotype.name) + ".txt");
      const std::u16string source = std::filesystem::exists(path) ? platform::FromUtf8(ReadBytes(path)) : u"";
      EXPECT_EQ(stereotype.shape_script, source) << platform::ToUtf8(stereotype.name);
      carried += source.empty() ? 0 : 1;
    }
  }
  const auto files = std::filesystem::directory_iterator(SourcePath("scripts"));
  EXPECT_EQ(carried, static_cast<std::size_t>(std::distance(begin(files), end(files))));
}

// A stereotype of the document applied to `base_type`.
bool Defines(const std::string& base_type, const std::string& stereotype) {
  const kelvo::Stereotype* found = Parsed().FindStereotype(platform::FromUtf8(stereotype));
  return found && std::ranges::count(found->applies_to, platform::FromUtf8(base_type)) == 1;
}

// Fields: source type and stereotype 0-1, target 2-3, new element 5-6, link 7-8 (0-based).
TEST(TechnologyDocument, QuickLinksNameWhatTheDocumentDefines) {
  const std::vector<std::string> lines = Split(QuickLinkData(), '\n');
  ASSERT_GT(lines.size(), 3u);
  for (std::size_t i = 1; i + 2 < lines.size(); ++i) {
    const std::vector<std::string> fields = Split(lines[i], ',');
    ASSERT_EQ(fields.size(), 23u) << "line " << i + 1;
    EXPECT_TRUE(Defines(fields[0], fields[1])) << "line " << i + 1 << ": source";
    EXPECT_TRUE(fields[2].empty() || Defines(fields[2], fields[3])) << "line " << i + 1 << ": target";
    EXPECT_TRUE(fields[5].empty() || Defines(fields[5], fields[6])) << "line " << i + 1 << ": new element";
    EXPECT_TRUE(!fields[2].empty() || !fields[5].empty()) << "line " << i + 1 << ": links to nothing";
    EXPECT_TRUE(Defines(fields[7], fields[8])) << "line " << i + 1 << ": link";
  }
}

// What the rules read of each stereotype: tags separated by ';', each with the values the rules
// compare it against after '='.
TEST(TechnologyDocument, DefinesEveryTagTheRulesRead) {
  struct Row {
    const char16_t* stereotype;
    std::string tags;
  };
  const std::string web_service = "Implementation=Web Service;WebService";
  const std::vector<Row> rows = {
      {u"StartEvent", "Trigger=Message,Rule,Link,Multiple;Message;RuleName;LinkId;Triggers;" + web_service},
      {u"IntermediateEvent",
       "Trigger=None,Message,Timer,Error,Cancel,Compensation,Rule,Link,Multiple;Message;ErrorCode;Activity;"
       "RuleName;LinkId;ProcessRef;Triggers;" +
           web_service},
      {u"EndEvent",
       "Result=Message,Error,Link,Multiple,Cancel,Compensation;Message;ErrorCode;LinkId;Results;" +
           web_service},
      {u"Activity",
       "StartQuantity;LoopType=Standard,MultiInstance;LoopCondition;MI_Condition;MI_FlowCondition=Complex;"
       "ComplexMI_FlowCondition;ActivityType=Sub-Process,Task;AdHoc=true;AdHocCompletionCondition;"
       "SubProcessType=Independent;DiagramRef;TaskType=Service,Receive,Send,User,Script,Manual,Reference,"
       "None;"
       "InMessage;OutMessage;Message;IsCompensation=true;IsATransaction=true;" +
           web_service},
      {u"Gateway", "GatewayType=XOR,Complex,AND;XORType=Data,Event;IncomingCondition;OutgoingCondition"},
      {u"SequenceFlow", "ConditionType=None,Default;ConditionExpression"},
      {u"Pool", "Participant"},
      {u"Lane", "ParentPool;ParentLane"},
  };
  for (const Row& row : rows) {
    const kelvo::Stereotype* stereotype = Parsed().FindStereotype(row.stereotype);
    ASSERT_NE(stereotype, nullptr) << platform::ToUtf8(row.stereotype);
    for (const std::string& read : Split(row.tags, ';')) {
      const std::vector<std::string> name_and_values = Split(read, '=');
      const std::string where = platform::ToUtf8(row.stereotype) + "." + name_and_values[0];
      const auto tag = std::ranges::find(stereotype->tags, platform::FromUtf8(name_and_values[0]),
                                         &kelvo::TagDefinition::name);
      ASSERT_NE(tag, stereotype->tags.end()) << where;
      if (name_and_values.size() == 1) continue;
      const std::vector<std::string> defined = Split(platform::ToUtf8(tag->values), ',');
      for (const std::string& value : Split(name_and_values[1], ',')) {
        EXPECT_EQ(std::ranges::count(defined, value), 1) << where << " has no value " << value;
      }
    }
  }
}

}  // namespace
