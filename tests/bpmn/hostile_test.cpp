// Files the BPMN import must refuse (broken, foreign, hostile) with the file, line and column,
// and the encodings it must read.
#include <gtest/gtest.h>

#include <chrono>

#include "bpmn/import.h"
#include "bpmn/import_fixture.h"

namespace {

using namespace bpmn_test;

const std::string kHead = "<definitions xmlns='" + kModelNs + "' id='D'>";

std::string Nested(int depth) {
  std::string text = kHead + "<process id='P'>";
  for (int i = 0; i < depth; ++i) text += "<subProcess id='S" + std::to_string(i) + "'>";
  for (int i = 0; i < depth; ++i) text += "</subProcess>";
  return text + "</process></definitions>";
}

struct RefusalCase {
  const char* name;
  std::string bytes;
  std::string refusal;  // "LINE:COLUMN: " and the start of the message
};

void PrintTo(const RefusalCase& c, std::ostream* out) { *out << c.name; }

class Refusals : public testing::TestWithParam<RefusalCase> {};

TEST_P(Refusals, NameFileLineAndColumn) {
  try {
    Import(GetParam().bytes);
    FAIL() << "the file was read";
  } catch (const kelvo::InputError& error) {
    EXPECT_TRUE(std::string_view(error.what()).starts_with("test.bpmn:" + GetParam().refusal))
        << error.what();
  }
}

INSTANTIATE_TEST_SUITE_P(
    BadFiles, Refusals,
    testing::Values(
        RefusalCase{"mismatched_end_tag", kHead + "\n<process id='P'>\n  <task id='T'></process>",
                    "3:18: not well-formed XML"},
        RefusalCase{"empty_file", "", "1:1: not well-formed XML"},
        RefusalCase{"not_bpmn_root", "<?xml version='1.0'?>\n<html><body/></html>",
                    "2:2: not a BPMN 2.0 file"},
        RefusalCase{"bpmn_name_other_namespace",
                    "<definitions xmlns='" + std::string(bpmn::kDiNamespace) + "'/>",
                    "1:2: not a BPMN 2.0 file"},
        RefusalCase{"unbound_prefix", kHead + "\n<process id='P'><bpmn:task id='T'/></process></definitions>",
                    "2:18: the namespace prefix \"bpmn\" is not declared"},
        RefusalCase{
            "external_entity",
            "<?xml version='1.0'?>\n<!DOCTYPE definitions [<!ENTITY xxe SYSTEM 'file:///etc/passwd'>]>\n" +
                kHead + "<process id='P' name='&xxe;'/></definitions>",
            "2:11: DOCTYPE with entity declarations is refused"},
        RefusalCase{"external_subset",
                    "<!DOCTYPE definitions SYSTEM 'http://example.com/bpmn.dtd'>" + kHead + "</definitions>",
                    "1:11: DOCTYPE with an external subset is refused"},
        RefusalCase{"deep_nesting", Nested(10000),
                    "1:" + std::to_string(Nested(10000).find("<subProcess id='S255'") + 2) +
                        ": elements are nested deeper than 256 levels"},
        RefusalCase{"huge_attribute",
                    kHead + "\n<process id='P'><task id='T' name='" + std::string(20 << 20, 'a') +
                        "'/></process></definitions>",
                    "2:36: a value of 20971520 bytes exceeds the limit of 1 MiB"},
        RefusalCase{"infinite_bounds",
                    "<definitions xmlns='" + kModelNs + "' xmlns:di='" + std::string(bpmn::kDiNamespace) +
                        "' xmlns:dc='" + std::string(bpmn::kDcNamespace) +
                        "'>\n<di:BPMNDiagram><di:BPMNPlane><di:BPMNShape><dc:Bounds x='1' y='inf'/>"
                        "</di:BPMNShape></di:BPMNPlane></di:BPMNDiagram></definitions>",
                    "2:46: a coordinate of the bounds is not a finite number"},
        RefusalCase{"overlong_utf8", kHead + "\n\xC0\xBC", "2:1: the text is not valid UTF-8"},
        RefusalCase{"encoded_surrogate", kHead + "\n \xED\xA0\x80", "2:2: the text is not valid UTF-8"},
        RefusalCase{"unsupported_encoding", "<?xml version='1.0' encoding='Shift_JIS'?>" + kHead,
                    "1:31: unsupported encoding \"Shift_JIS\""},
        RefusalCase{"utf16", std::string("\xFF\xFE<\0d\0", 6), "1:1: UTF-16 text is not read"},
        RefusalCase{"nul_byte", kHead + "\n<process id='P'/>" + std::string(1, '\0') + "</definitions>",
                    "2:18: the text holds a NUL character"},
        // A Latin-1 error position counts characters, so it matches what an editor shows.
        RefusalCase{"latin1_column_in_characters",
                    "<?xml version='1.0' encoding='ISO-8859-1'?>\n<definitions a='\xE4\xE4' <",
                    "2:21: not well-formed XML"},
        // Not well-formed, though a lenient parser reads past it.
        RefusalCase{"duplicate_attribute", kHead + "\n<process id='P' name='a' name='b'/></definitions>",
                    "2:26: not well-formed XML: the attribute \"name\" is given twice"},
        RefusalCase{"second_root", kHead + "</definitions>\n<definitions xmlns='" + kModelNs + "'/>",
                    "2:1: not well-formed XML: a second root element"},
        RefusalCase{"text_after_root", kHead + "</definitions>\nx",
                    "2:1: not well-formed XML: text outside the root element"},
        RefusalCase{"less_than_in_attribute", kHead + "\n<process id='P' name='a<b'/></definitions>",
                    "2:24: not well-formed XML: a \"<\" in an attribute value"},
        RefusalCase{"bare_ampersand_in_attribute", kHead + "\n<process id='P' name='a & b'/></definitions>",
                    "2:25: not well-formed XML: a \"&\" that starts no reference"},
        RefusalCase{"undefined_entity", kHead + "\n<process id='P'>&nbsp;</process></definitions>",
                    "2:17: not well-formed XML: the entity \"nbsp\" is not defined"},
        RefusalCase{"nul_reference", kHead + "\n<process id='P' name='a&#0;b'/></definitions>",
                    "2:24: not well-formed XML: the character reference \"&#0;\" names no XML character"},
        RefusalCase{"surrogate_reference", kHead + "\n<process id='P'>&#xD800;</process></definitions>",
                    "2:17: not well-formed XML: the character reference \"&#xD800;\" names no XML character"},
        RefusalCase{"control_reference", kHead + "\n<process id='P'>&#x1B;</process></definitions>",
                    "2:17: not well-formed XML: the character reference \"&#x1B;\" names no XML character"},
        RefusalCase{"huge_reference",
                    kHead + "\n<process id='P'>&#99999999999999999999;</process></definitions>",
                    "2:17: not well-formed XML: the character reference \"&#99999999999999999999;\" names no "
                    "XML character"},
        RefusalCase{"control_character", kHead + "\n<process id='P' name='a\x01'/></definitions>",
                    "2:24: not well-formed XML: the control character U+0001 is not allowed"},
        RefusalCase{"second_declaration",
                    "<?xml version='1.0'?>\n<?xml version='1.0'?>" + kHead + "</definitions>",
                    "2:1: not well-formed XML: an XML declaration must open the file"},
        RefusalCase{"undeclared_prefix", kHead + "\n<process xmlns:a='' id='P'/></definitions>",
                    "2:10: not well-formed XML: the prefix \"a\" is bound to no namespace"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BpmnImportHostile, EncodingsAreReadIntoUtf8) {
  struct {
    const char* prolog;
    std::string name;  // as written
    std::string read;  // as UTF-8
  } const cases[] = {
      {"<?xml version='1.0' encoding='utf-8'?>", "\xE2\x82\xAC", "\xE2\x82\xAC"},
      {"\xEF\xBB\xBF<?xml version='1.0'?>", "gr\xC3\xBC\xC3\x9F", "gr\xC3\xBC\xC3\x9F"},
      {"", "\xF0\x9F\x93\xA6 parcel", "\xF0\x9F\x93\xA6 parcel"},
      {"<?xml version='1.0' encoding='iso-8859-1'?>", "&#233;\xE9", "\xC3\xA9\xC3\xA9"},
      {"<?xml-stylesheet href='a.xsl' encoding='Shift_JIS'?>", "T", "T"},
      {"<?xml version='1.0' encoding='UTF-16'?>", "gr\xC3\xBC\xC3\x9F", "gr\xC3\xBC\xC3\x9F"},
      {"<!DOCTYPE definitions>", "T", "T"},
  };
  for (const auto& c : cases) {
    const bpmn::Import imported =
        Import(std::string(c.prolog) + kHead + "<process id='P'><task id='T' name='" + c.name +
               "'/></process></definitions>");
    EXPECT_EQ(U8(imported.model.elements.at(0).name), c.read) << c.prolog;
  }
}

// Nesting just inside the limit is read, and every level is contained in the one above.
TEST(BpmnImportHostile, NestingWithinLimitIsRead) {
  const kelvo::ModelData model = Import(Nested(250)).model;
  ASSERT_EQ(model.elements.size(), 250u);
  for (std::size_t i = 1; i < model.elements.size(); ++i)
    EXPECT_EQ(model.elements[i].parent, model.elements[i - 1].id);
}

// A lookup does not grow with the namespace declarations in scope: scanning them all for each
// element takes minutes here.
TEST(BpmnImportHostile, ManyNamespaceDeclarationsAreReadQuickly) {
  std::string text = "<definitions xmlns='" + kModelNs + "'";
  for (int i = 0; i < 100000; ++i) text += " xmlns:p" + std::to_string(i) + "='urn:p'";
  text += "><process id='P'>";
  for (int i = 0; i < 10000; ++i) text += "<task/>";
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Import(text + "</process></definitions>").model.elements.size(), 10000u);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(BpmnImportHostile, UnreadablePathsAreNamed) {
  const std::pair<std::string, std::string> paths[] = {
      {::testing::TempDir() + "/no-such-model.bpmn", "no such file"}, {::testing::TempDir(), "a folder"}};
  for (const auto& [path, message] : paths) {
    try {
      bpmn::ImportFile(path, Small());
      ADD_FAILURE() << path << " was read";
    } catch (const kelvo::InputError& error) {
      EXPECT_EQ(error.file(), path);
      EXPECT_NE(error.message().find(message), std::string::npos) << error.what();
    }
  }
}

}  // namespace
