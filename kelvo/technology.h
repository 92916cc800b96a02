// A technology as the host stand-in holds it once installed: parsed from the technology
// document that the add-in hands to Repository.InstallTechnology.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "kelvo/input.h"

namespace kelvo {

struct TagDefinition {
  std::u16string name;
  std::u16string type;
  std::u16string values;  // comma-separated enumeration, as written
  std::u16string default_value;
};

struct Stereotype {
  std::u16string name;
  std::u16string metatype;
  std::u16string notes;
  std::vector<std::u16string> applies_to;  // base types, in document order
  std::vector<TagDefinition> tags;         // in document order
  std::u16string shape_script;             // decoded script text, empty when the stereotype has none
};

struct Profile {
  std::u16string id;
  std::u16string name;
  std::vector<Stereotype> stereotypes;
};

struct Technology {
  std::u16string id;  // e.g. "BPMN"
  std::u16string name;
  std::u16string version;
  std::vector<Profile> profiles;  // the UML profiles, then the diagram profile

  const Stereotype* FindStereotype(std::u16string_view name) const;
};

// Parses a technology document. Throws InputError when the text is not a well-formed technology
// document, naming the document by `name`, the line and column or the profile and stereotype.
Technology ParseTechnology(std::u16string_view document, const std::string& name = "technology document");

}  // namespace kelvo
