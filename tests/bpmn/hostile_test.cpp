// Files the BPMN import must refuse (broken, foreign, hostile) with the file, line and column,
// and the encodings it must read.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "bpmn/import.h"
#include "bpmn/import_fixture.h"

namespace {

using namespace bpmn_test;

const std::string kHead = "<definitions xmlns=\"" + kModelNs + "\" id=\"D\">";

std::string Nested(int depth) {
  std::string text = kHead + "<process id=\"P\">";
  for (int i = 0; i < depth; ++i) text += "<subProcess id=\"S" + std::to_string(i) + "\">";
  for (int i = 0; i < depth; ++i) text += "</subProcess>";
  return text + "</process></definitions>";
}

std::string BillionLaughs() {
  std::string text = "<?xml version=\"1.0\"?>\n<!DOCTYPE definitions [\n <!ENTITY lol \"lol\">\n";
  for (int i = 1; i <= 9; ++i) {
    text += " <!ENTITY lol" + std::to_string(i) + " \"";
    for (int j = 0; j < 10; ++j) text += "&lol" + (i == 1 ? std::string() : std::to_string(i - 1)) + ";";
    text += "\">\n";
  }
  return text + "]>\n" + kHead + "<process id=\"P\" name=\"&lol9;\"/></definitions>";
}

struct RefusalCase {
  const char* name;
  std::string bytes;
  std::string message;  // a part of the message
  int line;
  int column;
};

void PrintTo(const RefusalCase& c, std::ostream* out) { *out << c.name; }

class Refusals : public testing::TestWithParam<RefusalCase> {};

TEST_P(Refusals, NameFileLineAndColumn) {
  const RefusalCase& c = GetParam();
  try {
    Import(c.bytes);
    FAIL() << "the file was read";
  } catch (const kelvo::InputError& error) {
    EXPECT_EQ(error.file(), "test.bpmn");
    EXPECT_NE(error.message().find(c.message), std::string::npos) << error.message();
    EXPECT_EQ(error.line(), c.line) << error.what();
    EXPECT_EQ(error.column(), c.column) << error.what();
    EXPECT_EQ(std::string(error.what()).rfind("test.bpmn:" + std::to_string(c.line) + ":", 0), 0u)
        << error.what();
  }
}

INSTANTIATE_TEST_SUITE_P(
    BadFiles, Refusals,
    testing::Values(
        RefusalCase{"mismatched_end_tag", kHead + "\n<process id=\"P\">\n  <task id=\"T\"></process>",
                    "not well-formed", 3, 18},
        RefusalCase{"truncated", kHead + "\n<process id=\"P\">", "not well-formed", 2, 16},
        RefusalCase{"empty_file", "", "not well-formed", 1, 1},
        RefusalCase{"not_bpmn_root", "<?xml version=\"1.0\"?>\n<html><body/></html>", "not a BPMN 2.0 file",
                    2, 2},
        RefusalCase{"bpmn_name_other_namespace",
                    "<definitions xmlns=\"" + std::string(bpmn::kDiNamespace) + "\"/>",
                    "not a BPMN 2.0 file", 1, 2},
        RefusalCase{"unbound_prefix",
                    kHead + "\n<process id=\"P\"><bpmn:task id=\"T\"/></process></definitions>",
                    "prefix \"bpmn\" is not declared", 2, 18},
        RefusalCase{"external_entity",
                    "<?xml version=\"1.0\"?>\n<!DOCTYPE definitions [<!ENTITY xxe SYSTEM "
                    "\"file:///etc/passwd\">]>\n" +
                        kHead + "<process id=\"P\" name=\"&xxe;\"/></definitions>",
                    "entity declarations", 2, 11},
        RefusalCase{"billion_laughs", BillionLaughs(), "entity declarations", 2, 11},
        RefusalCase{
            "external_subset",
            "<!DOCTYPE definitions SYSTEM \"http://example.com/bpmn.dtd\">" + kHead + "</definitions>",
            "external subset", 1, 11},
        RefusalCase{"deep_nesting", Nested(10000), "nested deeper than 256", 1,
                    static_cast<int>(Nested(10000).find("<subProcess id=\"S255\"")) + 2},
        RefusalCase{"huge_attribute",
                    kHead + "\n<process id=\"P\"><task id=\"T\" name=\"" + std::string(20 << 20, 'a') +
                        "\"/></process></definitions>",
                    "exceeds the limit", 2, 36},
        RefusalCase{"invalid_utf8_declared",
                    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + kHead +
                        "\n<process id=\"P\" name=\"kl\xE4ren\"/>",
                    "not valid UTF-8", 3, 25},
        RefusalCase{"invalid_utf8_undeclared", kHead + "<process name=\"\xC3\x28\"/></definitions>",
                    "not valid UTF-8", 1, 88},
        RefusalCase{"overlong_utf8", kHead + "\n\xC0\xBC", "not valid UTF-8", 2, 1},
        RefusalCase{"encoded_surrogate", kHead + "\n \xED\xA0\x80", "not valid UTF-8", 2, 2},
        RefusalCase{"unsupported_encoding", "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>" + kHead,
                    "unsupported encoding \"Shift_JIS\"", 1, 31},
        RefusalCase{"utf16", std::string("\xFF\xFE<\0d\0", 6), "UTF-16", 1, 1},
        RefusalCase{"nul_byte", kHead + "\n<process id=\"P\"/>" + std::string(1, '\0') + "</definitions>",
                    "NUL", 2, 18}),
    [](const auto& info) { return std::string(info.param.name); });

struct EncodingCase {
  const char* name;
  std::string bytes;
  std::string task_name;  // as UTF-8
};

void PrintTo(const EncodingCase& c, std::ostream* out) { *out << c.name; }

class Encodings : public testing::TestWithParam<EncodingCase> {};

TEST_P(Encodings, ReadNames) {
  const kelvo::ModelData model = Import(GetParam().bytes).model;
  ASSERT_EQ(model.elements.size(), 1u);
  EXPECT_EQ(U8(model.elements[0].name), GetParam().task_name);
}

std::string WithTask(std::string_view prolog, std::string_view name) {
  return std::string(prolog) + kHead + "<process id=\"P\"><task id=\"T\" name=\"" + std::string(name) +
         "\"/></process></definitions>";
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, Encodings,
    testing::Values(
        EncodingCase{"utf8_declared", WithTask("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", "kl\xC3\xA4ren"),
                     "kl\xC3\xA4ren"},
        EncodingCase{"utf8_lower_case", WithTask("<?xml version='1.0' encoding='utf-8'?>", "\xE2\x82\xAC"),
                     "\xE2\x82\xAC"},
        EncodingCase{"utf8_bom",
                     WithTask("\xEF\xBB\xBF<?xml version=\"1.0\"?>",
                              "Stra\xC3\x9F"
                              "e"),
                     "Stra\xC3\x9F"
                     "e"},
        EncodingCase{"no_declaration", WithTask("", "\xF0\x9F\x93\xA6 parcel"), "\xF0\x9F\x93\xA6 parcel"},
        EncodingCase{"latin1_declared",
                     WithTask("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>", "kl\xE4ren"),
                     "kl\xC3\xA4ren"},
        EncodingCase{"latin1_entity_and_text",
                     WithTask("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>", "&#233;\xE9"),
                     "\xC3\xA9\xC3\xA9"},
        EncodingCase{"stylesheet_is_no_declaration",
                     WithTask("<?xml-stylesheet href=\"a.xsl\" encoding=\"Shift_JIS\"?>", "T"), "T"},
        EncodingCase{"utf16_label_on_utf8_text",
                     WithTask("<?xml version=\"1.0\" encoding=\"UTF-16\"?>",
                              "Stra\xC3\x9F"
                              "e"),
                     "Stra\xC3\x9F"
                     "e"},
        EncodingCase{"bare_doctype", WithTask("<!DOCTYPE definitions>", "T"), "T"}),
    [](const auto& info) { return std::string(info.param.name); });

// A Latin-1 error position counts characters, so it matches what an editor shows.
TEST(BpmnImportHostile, Latin1ErrorColumnCountsCharacters) {
  try {
    Import("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<definitions a=\"\xE4\xE4\" <");
    FAIL() << "the file was read";
  } catch (const kelvo::InputError& error) {
    EXPECT_EQ(error.line(), 2);
    EXPECT_EQ(error.column(), 21) << error.what();
  }
}

struct PathRefusal {
  const char* name;
  std::string path;
  std::string message;
};

void PrintTo(const PathRefusal& c, std::ostream* out) { *out << c.name; }

class UnreadablePaths : public testing::TestWithParam<PathRefusal> {};

TEST_P(UnreadablePaths, NameThePath) {
  try {
    bpmn::ImportFile(GetParam().path, Small());
    FAIL() << "read";
  } catch (const kelvo::InputError& error) {
    EXPECT_EQ(error.file(), GetParam().path);
    EXPECT_NE(error.message().find(GetParam().message), std::string::npos) << error.what();
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, UnreadablePaths,
                         testing::Values(PathRefusal{"missing", ::testing::TempDir() + "/no-such-model.bpmn",
                                                     "no such file"},
                                         PathRefusal{"folder", ::testing::TempDir(), "a folder"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BpmnImportHostile, FileOnDiskIsReadWhole) {
  const std::string path = ::testing::TempDir() + "/bpmn_import_hostile_test.bpmn";
  std::ofstream(path, std::ios::binary) << WithTask("", "On disk");
  const bpmn::Import imported = bpmn::ImportFile(path, Small());
  std::filesystem::remove(path);
  ASSERT_EQ(imported.model.elements.size(), 1u);
  EXPECT_EQ(U8(imported.model.elements[0].name), "On disk");
  EXPECT_EQ(U8(imported.model.host.model_location), path);
}

// Nesting just inside the limit is read, and every level is contained in the one above.
TEST(BpmnImportHostile, NestingWithinLimitIsRead) {
  const kelvo::ModelData model = Import(Nested(250)).model;
  ASSERT_EQ(model.elements.size(), 250u);
  for (std::size_t i = 1; i < model.elements.size(); ++i)
    EXPECT_EQ(model.elements[i].parent, model.elements[i - 1].id);
}

}  // namespace
