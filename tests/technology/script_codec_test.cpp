// The shape-script codec by its properties: unpacking a packed script gives the script back (the
// shipped scripts are checked through the built document), and a damaged image fails with a
// ScriptImageError that says what is wrong.

#include "technology/script_codec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using technology::PackShapeScript;
using technology::ScriptImageError;
using technology::UnpackShapeScript;

// Unpacks `image`, which must fail; returns the error's text.
std::string UnpackError(const std::string& image) {
  try {
    UnpackShapeScript(image);
  } catch (const ScriptImageError& error) {
    return error.what();
  }
  return "unpacked without error";
}

TEST(ScriptCodec, RoundTripsEdgeCases) {
  std::u16string every_unit(0x10000, u'\0');
  for (std::size_t i = 0; i < every_unit.size(); ++i) every_unit[i] = static_cast<char16_t>(i * 40503u);
  const std::vector<std::u16string> scripts = {
      u"",
      u"shape main\r\n{\r\n\tprintwrapped(\"Caf\u00e9 \u2713 \u65e5\u672c \U0001F600\");\r\n}",
      std::u16string(200000, u'x'),
      every_unit,
  };
  for (const std::u16string& script : scripts) {
    EXPECT_EQ(UnpackShapeScript(PackShapeScript(script)), script) << script.size();
  }
}

TEST(ScriptCodec, RefusesToPackTextBeyondSevenBits) {
  EXPECT_THROW(PackShapeScript(std::string_view("caf\xC3\xA9")), ScriptImageError);
}

// Every shorter image, cut at a whole base64 group, lacks the end of the archive.
TEST(ScriptCodec, FailsOnEveryTruncatedImage) {
  std::string flat = PackShapeScript(std::u16string(500, u'y'));
  std::erase(flat, '\r');
  std::erase(flat, '\n');
  for (std::size_t size = 4; size < flat.size(); size += 4) {
    EXPECT_NE(UnpackError(flat.substr(0, size)).find("archive"), std::string::npos) << size;
  }
}

// Any one bit changed in the deflated data or in the recorded checksum is caught, unless it is
// one of the unused bits that pad the deflated data to whole bytes.
TEST(ScriptCodec, CatchesEveryChangedDataBit) {
  const std::string script = "shape main\n{\n\tellipse(0,0,100,100);\n}\n";
  const std::string archive =
      technology::ZipArchive({{std::string(technology::kScriptMemberName), technology::Utf16Le(script)}});
  const std::size_t directory = archive.find("PK\x01\x02");
  std::vector<std::size_t> offsets = {directory + 16, directory + 17, directory + 18, directory + 19};
  for (std::size_t at = 30 + technology::kScriptMemberName.size(); at < directory; ++at)
    offsets.push_back(at);
  for (const std::size_t at : offsets) {
    for (int bit = 0; bit < 8; ++bit) {
      std::string damaged = archive;
      damaged[at] = static_cast<char>(damaged[at] ^ (1 << bit));
      const std::string image = technology::Base64Lines(damaged, 72, "\r\n");
      // A changed checksum must fail; a changed data bit fails or was padding.
      if (at > directory) {
        EXPECT_EQ(UnpackError(image), "archive member fails its CRC-32 check") << at << ":" << bit;
        continue;
      }
      try {
        EXPECT_EQ(UnpackShapeScript(image), std::u16string(script.begin(), script.end())) << at << ":" << bit;
      } catch (const ScriptImageError& error) {
        const std::string what = error.what();
        EXPECT_TRUE(what == "member's deflated data is damaged" ||
                    what == "archive member fails its CRC-32 check")
            << "byte " << at << " bit " << bit << ": " << what;
      }
    }
  }
}

}  // namespace
