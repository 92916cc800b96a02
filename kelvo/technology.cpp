// Reads a technology document the way the host does when a technology is installed: the XML
// tree of profiles and stereotypes, and every shape script unpacked from its image by the
// shape-script codec.

#include "kelvo/technology.h"

#include <algorithm>
#include <cstdio>
#include <pugixml.hpp>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/text.h"
#include "technology/script_codec.h"

namespace kelvo {
namespace {

constexpr std::string_view kRootName = "Tarrow.Technology";

// A fault of the document in the item being read; the caller adds the outer items and the name.
InputError Fault(std::string message) { return InputError::AtItem({}, std::move(message)); }

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

// ---- the document text ---------------------------------------------------------------------

// The host hands the document over as text widened one character per byte.
std::string NarrowToBytes(std::u16string_view document) {
  std::string bytes(document.size(), '\0');
  for (std::size_t i = 0; i < document.size(); ++i) {
    if (document[i] > 0xFF) {
      char code[8];
      std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(document[i]));
      throw Fault("character " + std::string(code) + " at offset " + std::to_string(i) +
                  " is not a byte-wide character");
    }
    bytes[i] = static_cast<char>(document[i]);
  }
  return bytes;
}

// The document's bytes are Latin-1, so columns count bytes.
InputError::Place PlaceOf(std::string_view text, std::ptrdiff_t offset) {
  const auto* const end =
      text.begin() + std::clamp<std::ptrdiff_t>(offset, 0, static_cast<std::ptrdiff_t>(text.size()));
  const auto line = std::count(text.begin(), end, '\n') + 1;
  const auto* line_start = std::find(std::make_reverse_iterator(end), text.rend(), '\n').base();
  return {{}, static_cast<int>(line), static_cast<int>(end - line_start + 1), {}};
}

void LoadXml(pugi::xml_document& xml, std::string_view bytes) {
  const pugi::xml_parse_result result =
      xml.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_latin1);
  if (!result) {
    throw InputError(PlaceOf(bytes, result.offset),
                     "not well-formed XML: " + std::string(result.description()));
  }
}

std::u16string Attribute(const pugi::xml_node& node, const char* name) {
  return platform::FromUtf8(node.attribute(name).value());
}

// ---- profiles and stereotypes --------------------------------------------------------------

std::u16string ReadImage(const pugi::xml_node& image) {
  const std::string_view encoding = image.attribute("dt:dt").value();
  if (encoding != "bin.base64") throw Fault("image is not typed bin.base64");
  try {
    return technology::UnpackShapeScript(image.child_value());
  } catch (const technology::ScriptImageError& error) {
    throw Fault(error.what());
  }
}

TagDefinition ReadTag(const pugi::xml_node& tag) {
  return TagDefinition{.name = Attribute(tag, "name"),
                       .type = Attribute(tag, "type"),
                       .values = Attribute(tag, "values"),
                       .default_value = Attribute(tag, "default")};
}

Stereotype ReadStereotype(const pugi::xml_node& node) {
  Stereotype stereotype;
  stereotype.name = Attribute(node, "name");
  stereotype.metatype = Attribute(node, "metatype");
  stereotype.notes = Attribute(node, "notes");
  if (stereotype.name.empty()) throw Fault("a stereotype has no name");
  try {
    for (const pugi::xml_node& apply : node.child("AppliesTo").children("Apply")) {
      stereotype.applies_to.push_back(Attribute(apply, "type"));
    }
    for (const pugi::xml_node& tag : node.child("TaggedValues").children("Tag")) {
      stereotype.tags.push_back(ReadTag(tag));
    }
    if (const pugi::xml_node image = node.child("Image")) stereotype.shape_script = ReadImage(image);
  } catch (const InputError& error) {
    throw error.Within("stereotype " + Quoted(platform::ToUtf8(stereotype.name)));
  }
  return stereotype;
}

Profile ReadProfile(const pugi::xml_node& node) {
  const pugi::xml_node documentation = node.child("Documentation");
  Profile profile;
  profile.id = Attribute(documentation, "id");
  profile.name = Attribute(documentation, "name");
  if (profile.name.empty()) throw Fault("a profile has no name in its Documentation");
  try {
    for (const pugi::xml_node& stereotype :
         node.child("Content").child("Stereotypes").children("Stereotype")) {
      profile.stereotypes.push_back(ReadStereotype(stereotype));
    }
  } catch (const InputError& error) {
    throw error.Within("profile " + Quoted(platform::ToUtf8(profile.name)));
  }
  return profile;
}

Technology ReadTechnology(const pugi::xml_node& root) {
  if (std::string_view(root.name()) != kRootName) {
    throw Fault("not a technology document: the root element is <" + std::string(root.name()) + ">, not <" +
                std::string(kRootName) + ">");
  }
  const pugi::xml_node documentation = root.child("Documentation");
  Technology technology;
  technology.id = Attribute(documentation, "id");
  technology.name = Attribute(documentation, "name");
  technology.version = Attribute(documentation, "version");
  if (technology.id.empty()) throw Fault("not a technology document: its Documentation gives no id");
  for (const pugi::xml_node& profile : root.child("UMLProfiles").children("UMLProfile")) {
    technology.profiles.push_back(ReadProfile(profile));
  }
  for (const pugi::xml_node& profile : root.child("DiagramProfile").children("UMLProfile")) {
    technology.profiles.push_back(ReadProfile(profile));
  }
  return technology;
}

}  // namespace

const Stereotype* Technology::FindStereotype(std::u16string_view name) const {
  for (const Profile& profile : profiles) {
    for (const Stereotype& stereotype : profile.stereotypes) {
      if (stereotype.name == name) return &stereotype;
    }
  }
  return nullptr;
}

Technology ParseTechnology(std::u16string_view document, const std::string& name) {
  try {
    const std::string bytes = NarrowToBytes(document);
    pugi::xml_document xml;
    LoadXml(xml, bytes);
    return ReadTechnology(xml.document_element());
  } catch (const InputError& error) {
    throw error.In(name);
  }
}

}  // namespace kelvo
