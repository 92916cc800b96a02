// ParseTechnology: what it records from a technology document, and the documents it refuses.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "kelvo/technology.h"
#include "platform/text.h"
#include "technology/document_files.h"
#include "technology/script_codec.h"

namespace {

using technology::ZipArchive;
using technology::ZipEntry;

constexpr std::string_view kScript =
    "shape main\n{\n\tif(HasTag(\"Trigger\",\"Timer\"))\n\t{\n\t\tellipse(24,24,76,76);\n\t}\n}\n";

std::string ImageElement(const std::string& base64) {
  return R"(<Image type="KelvoShapeScript 1.0" xmlns:dt="urn:schemas-microsoft-com:datatypes" dt:dt="bin.base64">)" +
         base64 + "</Image>";
}

std::string ProfileXml(const std::string& id, const std::string& name, const std::string& stereotypes) {
  return R"(<UMLProfile profiletype="uml2"><Documentation id=")" + id + R"(" name=")" + name +
         R"(" version="1.3" notes=""/><Content><Stereotypes>)" + stereotypes +
         "</Stereotypes><TaggedValueTypes/></Content><Order/></UMLProfile>";
}

// A technology with one stereotype "Activity" (carrying `image`) in "Core", one in "Types" and
// a diagram profile; the diagram profile is written first to show that order of reading.
std::string DocumentWith(const std::string& image) {
  const std::string activity =
      R"(<Stereotype name="Activity" notes="Caf)"
      "\xE9"
      R"(" metatype="Task" strictness="all" cx="110" cy="60">)" +
      image +
      R"(<AppliesTo><Apply type="Activity"><Property name="isReadOnly" value="false"/></Apply><Apply type="Action"/></AppliesTo>)"
      R"(<Redefinitions/><TaggedValues><Tag name="LoopType" type="enumeration" description="" unit="" )"
      R"(values="None,Standard" default="None"/><Tag name="Message"/></TaggedValues><Constraints/></Stereotype>)";
  const std::string message =
      R"(<Stereotype name="Message" notes="" metatype="Message" strictness="all"><AppliesTo><Apply type="Class"/>)"
      R"(</AppliesTo><Redefinitions/><TaggedValues/><Constraints/></Stereotype>)";
  const std::string diagram =
      R"(<Stereotype name="BPMN" notes="" cx="124" cy="70"><AppliesTo><Apply type="Diagram_Analysis"/></AppliesTo>)"
      R"(<Redefinitions/><TaggedValues/><Constraints/></Stereotype>)";
  return R"(<Tarrow.Technology version="1.0"><Documentation id="BPMN" name="Test technology" version="1.3" notes=""/>)"
         "<DiagramProfile>" +
         ProfileXml("3", "Diagrams", diagram) + "</DiagramProfile><UMLProfiles>" +
         ProfileXml("1", "Core", activity) + ProfileXml("2", "Types", message) +
         "</UMLProfiles></Tarrow.Technology>\r\n";
}

std::string ScriptArchive() { return ZipArchive({ZipEntry{"str.dat", technology::Utf16Le(kScript)}}); }

std::string Base64(const std::string& bytes) { return technology::Base64Lines(bytes, 72, "\r\n"); }

std::size_t DirectoryEntry(const std::string& archive) { return archive.find("PK\x01\x02"); }

std::string WithByte(std::string bytes, std::size_t offset, char value) {
  bytes.at(offset) = value;
  return bytes;
}

// The technology, or nothing with the reason in `error`.
std::optional<kelvo::Technology> TryParse(std::u16string_view document, std::string* error) {
  try {
    return kelvo::ParseTechnology(document);
  } catch (const kelvo::InputError& e) {
    if (error) *error = e.what();
    return std::nullopt;
  }
}

std::optional<kelvo::Technology> Parse(const std::string& bytes, std::string* error = nullptr) {
  return TryParse(platform::FromAnsi(bytes), error);
}

TEST(ParseTechnology, RecordsProfilesStereotypesTagsAndScripts) {
  std::string error;
  const auto technology = Parse(DocumentWith(ImageElement(technology::PackShapeScript(kScript))), &error);
  ASSERT_TRUE(technology) << error;

  EXPECT_EQ(technology->id, u"BPMN");
  EXPECT_EQ(technology->name, u"Test technology");
  EXPECT_EQ(technology->version, u"1.3");
  ASSERT_EQ(technology->profiles.size(), 3u);
  EXPECT_EQ(technology->profiles[0].name, u"Core");
  EXPECT_EQ(technology->profiles[0].id, u"1");
  EXPECT_EQ(technology->profiles[1].name, u"Types");
  EXPECT_EQ(technology->profiles[2].name, u"Diagrams") << "the diagram profile comes after the UML profiles";

  const kelvo::Stereotype& activity = technology->profiles[0].stereotypes.at(0);
  EXPECT_EQ(activity.name, u"Activity");
  EXPECT_EQ(activity.metatype, u"Task");
  EXPECT_EQ(activity.notes, u"Caf\u00E9") << "bytes of the document are characters of the ANSI code page";
  EXPECT_EQ(activity.applies_to, (std::vector<std::u16string>{u"Activity", u"Action"}));
  ASSERT_EQ(activity.tags.size(), 2u);
  EXPECT_EQ(activity.tags[0].name, u"LoopType");
  EXPECT_EQ(activity.tags[0].type, u"enumeration");
  EXPECT_EQ(activity.tags[0].values, u"None,Standard");
  EXPECT_EQ(activity.tags[0].default_value, u"None");
  EXPECT_EQ(activity.tags[1].name, u"Message");
  EXPECT_EQ(activity.tags[1].type, u"");
  EXPECT_EQ(activity.shape_script, platform::FromUtf8(kScript));

  EXPECT_EQ(technology->profiles[1].stereotypes.at(0).shape_script, u"") << "no image, no script";
}

TEST(ParseTechnology, FindStereotypeSearchesEveryProfileByExactName) {
  const auto technology = Parse(DocumentWith(""));
  ASSERT_TRUE(technology);
  struct Row {
    const char* name;
    std::u16string stereotype;
    std::u16string found_metatype;  // empty: not found
  };
  const std::vector<Row> rows = {
      {"first profile", u"Activity", u"Task"},
      {"second profile", u"Message", u"Message"},
      {"diagram profile", u"BPMN", u""},
      {"letter case differs", u"activity", u"-"},
  };
  for (const Row& row : rows) {
    const kelvo::Stereotype* found = technology->FindStereotype(row.stereotype);
    if (row.found_metatype == u"-") {
      EXPECT_EQ(found, nullptr) << row.name;
      continue;
    }
    ASSERT_NE(found, nullptr) << row.name;
    EXPECT_EQ(found->name, row.stereotype) << row.name;
    EXPECT_EQ(found->metatype, row.found_metatype) << row.name;
  }
}

TEST(ParseTechnology, RefusesDocumentsThatAreNotTechnologies) {
  struct Row {
    const char* name;
    std::u16string document;
    std::string error_part;
  };
  const std::vector<Row> rows = {
      {"empty text", u"", "not well-formed"},
      {"unclosed element", u"<Tarrow.Technology><Documentation id=\"BPMN\"/>", "not well-formed"},
      {"text only", u"BPMN technology", "not well-formed"},
      {"position of the fault", u"<Tarrow.Technology>\r\n<a></b></Tarrow.Technology>",
       "technology document:2:6: "},
      {"other root", u"<Model version=\"1.0\"/>", "the root element is <Model>"},
      {"no id", u"<Tarrow.Technology><Documentation name=\"x\"/></Tarrow.Technology>", "gives no id"},
      {"no Documentation", u"<Tarrow.Technology/>", "gives no id"},
      {"character wider than a byte", u"<Tarrow.Technology notes=\"\u20AC\"/>",
       "character U+20AC at offset 26 is not a byte-wide character"},
      {"profile without a name",
       u"<Tarrow.Technology><Documentation "
       u"id=\"B\"/><UMLProfiles><UMLProfile/></UMLProfiles></Tarrow.Technology>",
       "profile has no name"},
      {"stereotype without a name",
       u"<Tarrow.Technology><Documentation id=\"B\"/><UMLProfiles><UMLProfile><Documentation name=\"Core\"/>"
       u"<Content><Stereotypes><Stereotype notes=\"\"/></Stereotypes></Content></UMLProfile></UMLProfiles>"
       u"</Tarrow.Technology>",
       "profile 'Core': a stereotype has no name"},
  };
  for (const Row& row : rows) {
    std::string error;
    EXPECT_FALSE(TryParse(row.document, &error)) << row.name;
    EXPECT_NE(error.find(row.error_part), std::string::npos) << row.name << ": " << error;
  }
}

TEST(ParseTechnology, RefusesBrokenImagesNamingTheStereotype) {
  const std::string archive = ScriptArchive();
  const std::size_t entry = DirectoryEntry(archive);
  const std::string good = Base64(archive);
  struct Row {
    const char* name;
    std::string image;
    std::string error_part;
  };
  const std::vector<Row> rows = {
      {"empty image", ImageElement(""), "image is empty"},
      {"character outside base64", ImageElement("*" + good.substr(1)), "base64 text holds the character '*'"},
      {"base64 cut short", ImageElement(good.substr(0, good.size() - 1)), "not a multiple of 4"},
      {"not typed base64",
       R"(<Image type="KelvoShapeScript 1.0" xmlns:dt="urn:schemas-microsoft-com:datatypes" dt:dt="bin.hex">)" +
           good + "</Image>",
       "not typed bin.base64"},
      {"not an archive", ImageElement(Base64(std::string(40, 'x'))), "not a ZIP archive"},
      {"two members",
       ImageElement(Base64(ZipArchive({{"str.dat", technology::Utf16Le(kScript)}, {"more.dat", "x"}}))),
       "archive holds 2 members, expected one"},
      {"no members", ImageElement(Base64(ZipArchive({}))), "archive holds 0 members"},
      {"other member name", ImageElement(Base64(ZipArchive({{"script.dat", technology::Utf16Le(kScript)}}))),
       "archive member is 'script.dat', not 'str.dat'"},
      {"stored, not deflated",
       ImageElement(
           Base64(ZipArchive({{"str.dat", technology::Utf16Le(kScript), technology::kZipMethodStored}}))),
       "uses method 0, not deflate"},
      {"deflated data cut short", ImageElement(Base64(WithByte(archive, entry + 20, 4))),
       "deflated data is damaged"},
      {"member size overstated", ImageElement(Base64(WithByte(archive, entry + 25, 0x10))),
       "deflated data is damaged"},
      {"directory points past the end", ImageElement(Base64(WithByte(archive, archive.size() - 5, 0x7F))),
       "archive is truncated"},
      {"odd number of text bytes", ImageElement(Base64(ZipArchive({{"str.dat", "abc"}}))),
       "odd number of bytes"},
  };
  for (const Row& row : rows) {
    std::string error;
    EXPECT_FALSE(Parse(DocumentWith(row.image), &error)) << row.name;
    EXPECT_NE(error.find("profile 'Core': stereotype 'Activity': "), std::string::npos)
        << row.name << ": " << error;
    EXPECT_NE(error.find(row.error_part), std::string::npos) << row.name << ": " << error;
  }
}

TEST(ParseTechnology, ReadsImagesWhateverTheirLineBreaks) {
  const std::string archive = ScriptArchive();
  struct Row {
    const char* name;
    std::string base64;
  };
  const std::vector<Row> rows = {
      {"one line", technology::Base64Lines(archive, 1 << 20, "")},
      {"LF lines of 76", technology::Base64Lines(archive, 76, "\n")},
      {"indented lines", technology::Base64Lines(archive, 64, "\r\n\t\t")},
  };
  for (const Row& row : rows) {
    std::string error;
    const auto technology = Parse(DocumentWith(ImageElement(row.base64)), &error);
    ASSERT_TRUE(technology) << row.name << ": " << error;
    EXPECT_EQ(technology->FindStereotype(u"Activity")->shape_script, platform::FromUtf8(kScript)) << row.name;
  }
}

}  // namespace
