#include "formats/result_json.h"

#include "platform/text.h"

namespace formats {

using kelvo::RunObject;

std::string Utf8(const std::u16string& text) { return platform::ToUtf8(text); }

Json ObjectJson(const kelvo::ObjectInfo& object, bool with_type) {
  if (object.kind == RunObject::Kind::kNone) return nullptr;
  Json out = Json::object();
  out["kind"] = object.kind == RunObject::Kind::kElement ? "element" : "connector";
  out["id"] = object.id;
  out["key"] = Utf8(object.key);
  out["name"] = Utf8(object.name);
  if (with_type) out["type"] = Utf8(object.type);
  return out;
}

Json RuleJson(const std::optional<std::u16string>& rule) { return rule ? Json(Utf8(*rule)) : Json(nullptr); }

Json ErrorJson(const platform::CallError& error) {
  return Json{{"kind", std::string(host::ToString(error.kind))}, {"message", error.message}};
}

Json FailureJson(const kelvo::RunFailure& failure) {
  return Json{{"object", ObjectJson(failure.object, false)},
              {"rule", RuleJson(failure.rule)},
              {"error", ErrorJson(failure.error)}};
}

}  // namespace formats
