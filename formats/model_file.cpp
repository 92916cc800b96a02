#include "formats/model_file.h"

#include "kelvo/model.h"
#include "platform/text.h"

namespace formats {

using kelvo::Bounds;
using kelvo::ConnectorData;
using kelvo::DiagramData;
using kelvo::ElementData;
using kelvo::InputError;
using kelvo::Model;
using kelvo::ModelData;
using kelvo::PackageData;
using kelvo::Tag;

namespace {

std::vector<Tag> ReadTags(const Json& value, const std::string& path) {
  std::vector<Tag> tags;
  if (value.is_object()) {
    for (const auto& item : value.items()) {
      tags.push_back({platform::FromUtf8(item.key()), String(item.value(), Child(path, item.key()))});
    }
    return tags;
  }
  if (!value.is_array()) Fail(path, "expected a list of [name, value] pairs or an object");
  for (std::size_t i = 0; i < value.size(); ++i) {
    const std::string at = Child(path, i);
    const Json& pair = value[i];
    if (!pair.is_array() || pair.size() != 2) Fail(at, "expected a [name, value] pair");
    tags.push_back({String(pair[0], Child(at, 0)), String(pair[1], Child(at, 1))});
  }
  return tags;
}

template <class Read>
void ForEachItem(const Json& object, const char* key, const std::string& path, Read&& read) {
  const Json* list = Member(object, key);
  if (!list) return;
  const std::string list_path = Child(path, key);
  ExpectArray(*list, list_path);
  for (std::size_t i = 0; i < list->size(); ++i) {
    const std::string at = Child(list_path, i);
    ExpectObject((*list)[i], at);
    read((*list)[i], at);
  }
}

// Reads `key` of `object` into `out` with `convert` when present.
template <class T, class Convert>
void Optional(const Json& object, const char* key, const std::string& path, T& out, Convert convert) {
  if (const Json* value = Member(object, key)) out = convert(*value, Child(path, key));
}

// A required id-valued member.
std::int32_t RequiredId(const Json& object, const char* key, const std::string& path) {
  const Json* id = Member(object, key);
  if (!id) Fail(path, std::string("missing \"") + key + "\"");
  return Int32(*id, Child(path, key));
}

std::optional<std::int32_t> NullableId(const Json& value, const std::string& path) {
  if (value.is_null()) return std::nullopt;
  return Int32(value, path);
}

std::optional<Bounds> ReadBounds(const Json& value, const std::string& path) {
  if (value.is_null()) return std::nullopt;
  if (!value.is_array() || value.size() != 4) Fail(path, "expected null or [x, y, width, height]");
  double v[4];
  for (std::size_t i = 0; i < 4; ++i) {
    if (!value[i].is_number()) Fail(Child(path, i), "expected a number");
    v[i] = value[i].get<double>();
  }
  return Bounds{v[0], v[1], v[2], v[3]};
}

}  // namespace

ModelData ModelFromJson(const Json& value, const std::string& path, bool require_format) {
  ExpectObject(value, path);
  CheckKeys(value, path,
            {"format", "host", "technologies", "packages", "elements", "connectors", "diagrams",
             "selectedPackage", "activeDiagram"});
  if (const Json* format = Member(value, "format")) {
    if (!format->is_string() || format->get<std::string>() != kModelFormat) {
      Fail(Child(path, "format"), "expected \"" + std::string(kModelFormat) + "\", found " + Dump(*format));
    }
  } else if (require_format) {
    Fail(path, R"(missing "format": ")" + std::string(kModelFormat) + "\"");
  }

  ModelData model;
  if (const Json* host = Member(value, "host")) {
    const std::string at = Child(path, "host");
    ExpectObject(*host, at);
    CheckKeys(*host, at, {"build", "modelLocation"});
    Optional(*host, "build", at, model.host.build, Int32);
    Optional(*host, "modelLocation", at, model.host.model_location, String);
  }
  if (const Json* technologies = Member(value, "technologies")) {
    const std::string at = Child(path, "technologies");
    ExpectArray(*technologies, at);
    for (std::size_t i = 0; i < technologies->size(); ++i) {
      model.technologies.push_back(String((*technologies)[i], Child(at, i)));
    }
  }
  ForEachItem(value, "packages", path, [&](const Json& item, const std::string& at) {
    CheckKeys(item, at, {"id", "name", "parent"});
    PackageData& p = model.packages.emplace_back();
    p.id = RequiredId(item, "id", at);
    Optional(item, "name", at, p.name, String);
    Optional(item, "parent", at, p.parent, Int32);
  });
  ForEachItem(value, "elements", path, [&](const Json& item, const std::string& at) {
    CheckKeys(
        item, at,
        {"id", "package", "parent", "name", "key", "stereotype", "metatype", "baseType", "notes", "tags"});
    ElementData& e = model.elements.emplace_back();
    e.id = RequiredId(item, "id", at);
    e.package = RequiredId(item, "package", at);
    Optional(item, "parent", at, e.parent, Int32);
    Optional(item, "name", at, e.name, String);
    Optional(item, "key", at, e.key, String);
    Optional(item, "stereotype", at, e.stereotype, String);
    Optional(item, "metatype", at, e.metatype, String);
    Optional(item, "baseType", at, e.base_type, String);
    Optional(item, "notes", at, e.notes, String);
    Optional(item, "tags", at, e.tags, ReadTags);
  });
  ForEachItem(value, "connectors", path, [&](const Json& item, const std::string& at) {
    CheckKeys(item, at, {"id", "source", "target", "stereotype", "name", "key", "tags"});
    ConnectorData& c = model.connectors.emplace_back();
    c.id = RequiredId(item, "id", at);
    c.source = RequiredId(item, "source", at);
    c.target = RequiredId(item, "target", at);
    Optional(item, "stereotype", at, c.stereotype, String);
    Optional(item, "name", at, c.name, String);
    Optional(item, "key", at, c.key, String);
    Optional(item, "tags", at, c.tags, ReadTags);
  });
  ForEachItem(value, "diagrams", path, [&](const Json& item, const std::string& at) {
    CheckKeys(item, at, {"id", "package", "parent", "name", "type", "placements", "bounds"});
    DiagramData& d = model.diagrams.emplace_back();
    d.id = RequiredId(item, "id", at);
    d.package = RequiredId(item, "package", at);
    Optional(item, "parent", at, d.parent, Int32);
    Optional(item, "name", at, d.name, String);
    Optional(item, "type", at, d.type, String);
    if (const Json* placements = Member(item, "placements")) {
      const std::string list = Child(at, "placements");
      ExpectArray(*placements, list);
      for (std::size_t i = 0; i < placements->size(); ++i)
        d.placements.push_back(Int32((*placements)[i], Child(list, i)));
    }
    if (const Json* bounds = Member(item, "bounds")) {
      const std::string list = Child(at, "bounds");
      ExpectArray(*bounds, list);
      for (std::size_t i = 0; i < bounds->size(); ++i)
        d.bounds.push_back(ReadBounds((*bounds)[i], Child(list, i)));
    }
  });
  Optional(value, "selectedPackage", path, model.selected_package, NullableId);
  Optional(value, "activeDiagram", path, model.active_diagram, NullableId);
  return model;
}

ModelData ParseModel(std::string_view text, const std::string& file) {
  const Json value = Parse(text, file);
  try {
    ModelData model = ModelFromJson(value);
    Model::Validate(model);
    return model;
  } catch (const InputError& e) {
    throw e.In(file);
  }
}

ModelData LoadModelFile(const std::string& path) {
  return ParseModel(kelvo::ReadFile(path, kMaxJsonFileBytes), path);
}

namespace {

std::string Utf8(const std::u16string& text) { return platform::ToUtf8(text); }

Json TagsToJson(const std::vector<Tag>& tags) {
  Json list = Json::array();
  for (const auto& tag : tags) list.push_back(Json::array({Utf8(tag.name), Utf8(tag.value)}));
  return list;
}

void PutString(Json& object, const char* key, const std::u16string& value) {
  if (!value.empty()) object[key] = Utf8(value);
}

Json ElementJson(const ElementData& e) {
  Json item = {{"id", e.id}, {"package", e.package}, {"parent", e.parent}, {"name", Utf8(e.name)}};
  PutString(item, "key", e.key);
  PutString(item, "stereotype", e.stereotype);
  PutString(item, "metatype", e.metatype);
  PutString(item, "baseType", e.base_type);
  PutString(item, "notes", e.notes);
  if (!e.tags.empty()) item["tags"] = TagsToJson(e.tags);
  return item;
}

Json ConnectorJson(const ConnectorData& c) {
  Json item = {{"id", c.id}, {"source", c.source}, {"target", c.target}};
  PutString(item, "stereotype", c.stereotype);
  PutString(item, "name", c.name);
  PutString(item, "key", c.key);
  if (!c.tags.empty()) item["tags"] = TagsToJson(c.tags);
  return item;
}

Json DiagramJson(const DiagramData& d) {
  Json item = {{"id", d.id},           {"package", d.package}, {"parent", d.parent},
               {"name", Utf8(d.name)}, {"type", Utf8(d.type)}, {"placements", d.placements}};
  if (!d.bounds.empty()) {
    Json bounds = Json::array();
    for (const auto& b : d.bounds) {
      bounds.push_back(b ? Json::array({b->x, b->y, b->width, b->height}) : Json(nullptr));
    }
    item["bounds"] = bounds;
  }
  return item;
}

// The model's keys in order, with empty lists of elements, connectors and diagrams.
Json Head(const ModelData& model) {
  Json out = Json::object();
  out["format"] = kModelFormat;
  out["host"] = {{"build", model.host.build}, {"modelLocation", Utf8(model.host.model_location)}};
  Json technologies = Json::array();
  for (const auto& t : model.technologies) technologies.push_back(Utf8(t));
  out["technologies"] = technologies;
  Json packages = Json::array();
  for (const auto& p : model.packages)
    packages.push_back({{"id", p.id}, {"name", Utf8(p.name)}, {"parent", p.parent}});
  out["packages"] = packages;
  out["elements"] = Json::array();
  out["connectors"] = Json::array();
  out["diagrams"] = Json::array();
  if (model.selected_package) out["selectedPackage"] = *model.selected_package;
  if (model.active_diagram) out["activeDiagram"] = *model.active_diagram;
  return out;
}

template <class Item, class ToJson>
void Fill(Json& list, const std::vector<Item>& items, ToJson to_json) {
  for (const auto& item : items) list.push_back(to_json(item));
}

// Appends the items as the whole tree would dump them as the list of one of the model's keys:
// the list one level in, its items two.
template <class Item, class ToJson>
void AppendList(std::string& text, const std::vector<Item>& items, ToJson to_json) {
  if (items.empty()) {
    text += "[]";
    return;
  }
  text += '[';
  for (const auto& item : items) {
    const std::string dumped = Dump(to_json(item), 2);
    text += "\n    ";
    for (std::size_t at = 0, end = 0; at < dumped.size(); at = end + 1) {
      end = std::min(dumped.find('\n', at), dumped.size());
      text.append(dumped, at, end - at);
      if (end < dumped.size()) text += "\n    ";
    }
    text += ',';
  }
  text.back() = '\n';
  text += "  ]";
}

}  // namespace

Json ModelToJson(const ModelData& model) {
  Json out = Head(model);
  Fill(out["elements"], model.elements, ElementJson);
  Fill(out["connectors"], model.connectors, ConnectorJson);
  Fill(out["diagrams"], model.diagrams, DiagramJson);
  return out;
}

// One element, connector and diagram at a time: the whole model as one JSON tree takes many
// times the memory of the model itself. The head is dumped with the lists empty, and each empty
// list is replaced by its items.
std::string WriteModel(const ModelData& model) {
  const std::string head = Dump(Head(model), 2) + "\n";
  std::string text;
  std::size_t copied = 0;
  const auto list = [&](std::string_view key, const auto& items, auto to_json) {
    const std::string empty = "\"" + std::string(key) + "\": []";
    const std::size_t at = head.find(empty, copied) + empty.size() - 2;
    text.append(head, copied, at - copied);
    AppendList(text, items, to_json);
    copied = at + 2;
  };
  list("elements", model.elements, ElementJson);
  list("connectors", model.connectors, ConnectorJson);
  list("diagrams", model.diagrams, DiagramJson);
  return text.append(head, copied);
}

}  // namespace formats
