#include "kelvo/interceptor.h"

#include <algorithm>
#include <unordered_map>

#include <nlohmann/json.hpp>

#include "platform/text.h"

namespace kelvo {

namespace {

constexpr std::size_t kLongString = 64;

std::string Render(const std::u16string& text) { return TraceValue(text); }
std::string Render(std::int32_t value) { return std::to_string(value); }
std::string Render(std::int16_t value) { return std::to_string(value); }
std::string Render(bool value) { return value ? "true" : "false"; }

std::string Render(const host::Variant& value) {
  struct Visitor {
    std::string operator()(std::monostate) const { return "empty"; }
    std::string operator()(bool v) const { return Render(v); }
    std::string operator()(std::int16_t v) const { return Render(v); }
    std::string operator()(std::int32_t v) const { return Render(v); }
    std::string operator()(double v) const { return nlohmann::json(v).dump(); }
    std::string operator()(const std::u16string& v) const { return Render(v); }
    std::string operator()(const host::StringArray& v) const {
      std::string out = "[";
      for (std::size_t i = 0; i < v.size(); ++i) out += (i ? ", " : "") + Render(v[i]);
      return out + "]";
    }
    std::string operator()(const std::shared_ptr<host::Object>& v) const { return v ? "<object>" : "nothing"; }
  };
  return std::visit(Visitor{}, value);
}

enum class Use { read, call, write };

}  // namespace

std::string TraceValue(const std::u16string& text) {
  if (text.size() > kLongString) return "<string of " + std::to_string(text.size()) + " characters>";
  return nlohmann::json(platform::ToUtf8(text)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

struct Interceptor::State {
  bool trace = false;
  std::vector<Fault> faults;
  std::unordered_map<std::string, std::int64_t> counts;
  std::vector<std::string> lines;

  // Records one use of `object`.`member`; throws when a fault hits it.
  template <class... A>
  void Record(const char* object, std::string_view member, Use use, const A&... args) {
    std::string name = std::string(object) + "." + std::string(member);
    const std::int64_t count = ++counts[name];
    if (trace) {
      std::string line = name;
      if (use == Use::call) {
        line += "(";
        bool first = true;
        ((line += (first ? "" : ", ") + Render(args), first = false), ...);
        line += ")";
      } else if (use == Use::write) {
        ((line += "=" + Render(args)), ...);
      }
      lines.push_back(std::move(line));
    }
    FailIfFaulted(name, count);
  }

  void FailIfFaulted(const std::string& name, std::int64_t count) const {
    for (const Fault& fault : faults) {
      if (fault.member == name && (!fault.nth || *fault.nth == count)) {
        throw host::Error(host::ErrorKind::host,
                          name + " failed (call " + std::to_string(count) + " of it, a fault set by the host)");
      }
    }
  }

  void RecordByName(const char* object, std::u16string_view member, const std::vector<host::Variant>& args) {
    std::string name = std::string(object) + "." + platform::ToUtf8(member);
    const std::int64_t count = ++counts[name];
    if (trace) {
      std::string line = name + "(";
      for (std::size_t i = 0; i < args.size(); ++i) line += (i ? ", " : "") + Render(args[i]);
      lines.push_back(line + ")");
    }
    FailIfFaulted(name, count);
  }
};

namespace {

using State = Interceptor::State;
using StatePtr = std::shared_ptr<State>;

template <class I>
std::shared_ptr<I> WrapObject(const StatePtr& state, std::shared_ptr<I> object);
template <class I>
host::Ref<I> WrapRef(const StatePtr& state, host::Ref<I> object) {
  return host::Ref<I>(WrapObject<I>(state, std::move(object).shared()));
}

// The part every wrapper shares: the wrapped object, the recorder, and late binding by name.
template <class I>
class Traced : public I {
 public:
  Traced(StatePtr state, std::shared_ptr<I> inner) : state_(std::move(state)), inner_(std::move(inner)) {}
  host::Variant InvokeByName(std::u16string_view member, std::vector<host::Variant>& args) override {
    state_->RecordByName(I::kInterfaceName, member, args);
    return inner_->InvokeByName(member, args);
  }

 protected:
  void Read(const char* member) {
    state_->Record(I::kInterfaceName, member, Use::read);
  }
  template <class... A>
  void Call(const char* member, const A&... args) {
    state_->Record(I::kInterfaceName, member, Use::call, args...);
  }
  template <class A>
  void Write(const char* member, const A& value) {
    state_->Record(I::kInterfaceName, member, Use::write, value);
  }
  template <class T>
  host::Ref<T> Wrap(host::Ref<T> object) {
    return WrapRef<T>(state_, std::move(object));
  }

  StatePtr state_;
  std::shared_ptr<I> inner_;
};

// A walk over a wrapped collection is not recorded; its items are wrapped.
template <class T>
class TracedCollection final : public Traced<host::Collection<T>> {
 public:
  using Traced<host::Collection<T>>::Traced;
  std::int32_t Count() override { return this->inner_->Count(); }
  host::Ref<T> GetAt(std::int32_t index) override { return this->Wrap(this->inner_->GetAt(index)); }
};

class TracedTaggedValue final : public Traced<host::TaggedValue> {
 public:
  using Traced::Traced;
  const std::u16string& Name() override { return Read("Name"), inner_->Name(); }
  const std::u16string& Value() override { return Read("Value"), inner_->Value(); }
};

class TracedConnectorTag final : public Traced<host::ConnectorTag> {
 public:
  using Traced::Traced;
  const std::u16string& Name() override { return Read("Name"), inner_->Name(); }
  const std::u16string& Value() override { return Read("Value"), inner_->Value(); }
};

class TracedConnector final : public Traced<host::Connector> {
 public:
  using Traced::Traced;
  std::int32_t SourceId() override { return Read("SourceId"), inner_->SourceId(); }
  std::int32_t TargetId() override { return Read("TargetId"), inner_->TargetId(); }
  const std::u16string& StereotypeName() override { return Read("StereotypeName"), inner_->StereotypeName(); }
  host::Ref<host::Collection<host::ConnectorTag>> Tags() override { return Read("Tags"), Wrap(inner_->Tags()); }
};

class TracedPlacement final : public Traced<host::DiagramPlacement> {
 public:
  using Traced::Traced;
  std::int32_t PlacedElementId() override { return Read("PlacedElementId"), inner_->PlacedElementId(); }
};

class TracedDiagram final : public Traced<host::Diagram> {
 public:
  using Traced::Traced;
  std::int32_t Id() override { return Read("Id"), inner_->Id(); }
  void SetPresetProperty(std::int32_t value) override {
    Write("PresetProperty", value);
    inner_->SetPresetProperty(value);
  }
  bool Save() override { return Call("Save"), inner_->Save(); }
  host::Ref<host::Collection<host::DiagramPlacement>> Placements() override {
    return Read("Placements"), Wrap(inner_->Placements());
  }
};

class TracedModelCollection final : public Traced<host::ModelCollection> {
 public:
  using Traced::Traced;
  std::int16_t ItemCount() override { return Read("ItemCount"), inner_->ItemCount(); }
  host::Ref<host::Diagram> CreateItem(const std::u16string& name, const std::u16string& type) override {
    return Call("CreateItem", name, type), Wrap(inner_->CreateItem(name, type));
  }
  void Reload() override {
    Call("Reload");
    inner_->Reload();
  }
};

class TracedElement final : public Traced<host::Element> {
 public:
  using Traced::Traced;
  std::int32_t Id() override { return Read("Id"), inner_->Id(); }
  std::int32_t ParentId() override { return Read("ParentId"), inner_->ParentId(); }
  const std::u16string& StereotypeName() override { return Read("StereotypeName"), inner_->StereotypeName(); }
  const std::u16string& MetaTypeName() override { return Read("MetaTypeName"), inner_->MetaTypeName(); }
  const std::u16string& BaseType() override { return Read("BaseType"), inner_->BaseType(); }
  host::Ref<host::Collection<host::TaggedValue>> Tags() override { return Read("Tags"), Wrap(inner_->Tags()); }
  host::Ref<host::Collection<host::Connector>> ConnectorList() override {
    return Read("ConnectorList"), Wrap(inner_->ConnectorList());
  }
  host::Ref<host::Collection<host::Element>> Children() override { return Read("Children"), Wrap(inner_->Children()); }
  host::Ref<host::Collection<host::Element>> NestedElements() override {
    return Read("NestedElements"), Wrap(inner_->NestedElements());
  }
  host::Ref<host::ModelCollection> OwnedDiagrams() override {
    return Read("OwnedDiagrams"), Wrap(inner_->OwnedDiagrams());
  }
};

class TracedPackage final : public Traced<host::Package> {
 public:
  using Traced::Traced;
  const std::u16string& Name() override { return Read("Name"), inner_->Name(); }
  std::int32_t ParentId() override { return Read("ParentId"), inner_->ParentId(); }
  host::Ref<host::ModelCollection> Diagrams() override { return Read("Diagrams"), Wrap(inner_->Diagrams()); }
};

class TracedValidationService final : public Traced<host::ValidationService> {
 public:
  using Traced::Traced;
  std::u16string AddRuleCategory(const std::u16string& name) override {
    return Call("AddRuleCategory", name), inner_->AddRuleCategory(name);
  }
  std::u16string AddRule(const std::u16string& category_id, std::int32_t kind, const std::u16string& name) override {
    return Call("AddRule", category_id, kind, name), inner_->AddRule(category_id, kind, name);
  }
  void ReportViolation(const std::u16string& host_rule_id, std::int32_t level, const std::u16string& message) override {
    Call("ReportViolation", host_rule_id, level, message);
    inner_->ReportViolation(host_rule_id, level, message);
  }
};

class TracedInfoItem final : public Traced<host::InfoItem> {
 public:
  using Traced::Traced;
  host::Variant Value() override { return Read("Value"), inner_->Value(); }
};

class TracedInfoBag final : public Traced<host::InfoBag> {
 public:
  using Traced::Traced;
  host::Ref<host::InfoItem> Entry(std::int16_t index) override { return Call("Entry", index), Wrap(inner_->Entry(index)); }
};

class TracedRepository final : public Traced<host::Repository> {
 public:
  using Traced::Traced;
  host::Ref<host::Element> ElementById(std::int32_t id) override {
    return Call("ElementById", id), Wrap(inner_->ElementById(id));
  }
  host::Ref<host::Connector> ConnectorById(std::int32_t id) override {
    return Call("ConnectorById", id), Wrap(inner_->ConnectorById(id));
  }
  host::Ref<host::ValidationService> ValidationService() override {
    return Call("ValidationService"), Wrap(inner_->ValidationService());
  }
  std::int32_t HostBuild() override { return Read("HostBuild"), inner_->HostBuild(); }
  const std::u16string& ModelLocation() override { return Read("ModelLocation"), inner_->ModelLocation(); }
  bool HasTechnology(const std::u16string& id) override { return Call("HasTechnology", id), inner_->HasTechnology(id); }
  bool InstallTechnology(const std::u16string& document) override {
    return Call("InstallTechnology", document), inner_->InstallTechnology(document);
  }
  bool RemoveTechnology(const std::u16string& id) override {
    return Call("RemoveTechnology", id), inner_->RemoveTechnology(id);
  }
  void SetProfileVisible(const std::u16string& id, const std::u16string& profile, bool visible) override {
    Call("SetProfileVisible", id, profile, visible);
    inner_->SetProfileVisible(id, profile, visible);
  }
  host::Ref<host::Package> SelectedPackage() override { return Read("SelectedPackage"), Wrap(inner_->SelectedPackage()); }
  host::Ref<host::Diagram> ActiveDiagram() override { return Read("ActiveDiagram"), Wrap(inner_->ActiveDiagram()); }
  void ShowDiagram(std::int32_t id) override {
    Call("ShowDiagram", id);
    inner_->ShowDiagram(id);
  }
};

template <class I>
struct WrapperOf;
template <> struct WrapperOf<host::Repository> { using type = TracedRepository; };
template <> struct WrapperOf<host::Element> { using type = TracedElement; };
template <> struct WrapperOf<host::Connector> { using type = TracedConnector; };
template <> struct WrapperOf<host::TaggedValue> { using type = TracedTaggedValue; };
template <> struct WrapperOf<host::ConnectorTag> { using type = TracedConnectorTag; };
template <> struct WrapperOf<host::ValidationService> { using type = TracedValidationService; };
template <> struct WrapperOf<host::Package> { using type = TracedPackage; };
template <> struct WrapperOf<host::ModelCollection> { using type = TracedModelCollection; };
template <> struct WrapperOf<host::Diagram> { using type = TracedDiagram; };
template <> struct WrapperOf<host::DiagramPlacement> { using type = TracedPlacement; };
template <> struct WrapperOf<host::InfoBag> { using type = TracedInfoBag; };
template <> struct WrapperOf<host::InfoItem> { using type = TracedInfoItem; };
template <class T> struct WrapperOf<host::Collection<T>> { using type = TracedCollection<T>; };

template <class I>
std::shared_ptr<I> WrapObject(const StatePtr& state, std::shared_ptr<I> object) {
  if (!object) return nullptr;
  return std::make_shared<typename WrapperOf<I>::type>(state, std::move(object));
}

constexpr std::string_view kKnownMembers[] = {
    "Repository.ElementById", "Repository.ConnectorById", "Repository.ValidationService", "Repository.HostBuild",
    "Repository.ModelLocation", "Repository.HasTechnology", "Repository.InstallTechnology",
    "Repository.RemoveTechnology", "Repository.SetProfileVisible", "Repository.SelectedPackage",
    "Repository.ActiveDiagram", "Repository.ShowDiagram",
    "Element.Id", "Element.ParentId", "Element.StereotypeName", "Element.MetaTypeName", "Element.BaseType",
    "Element.Tags", "Element.ConnectorList", "Element.Children", "Element.NestedElements", "Element.OwnedDiagrams",
    "Connector.SourceId", "Connector.TargetId", "Connector.StereotypeName", "Connector.Tags",
    "TaggedValue.Name", "TaggedValue.Value", "ConnectorTag.Name", "ConnectorTag.Value",
    "ValidationService.AddRuleCategory", "ValidationService.AddRule", "ValidationService.ReportViolation",
    "ValidationService.ExportDiagramToBPEL",
    "Package.Name", "Package.ParentId", "Package.Diagrams",
    "ModelCollection.ItemCount", "ModelCollection.CreateItem", "ModelCollection.Reload",
    "Diagram.Id", "Diagram.PresetProperty", "Diagram.Save", "Diagram.Placements",
    "DiagramPlacement.PlacedElementId", "InfoBag.Entry", "InfoItem.Value",
};

}  // namespace

Interceptor::Interceptor(bool trace, std::vector<Fault> faults) : state_(std::make_shared<State>()) {
  state_->trace = trace;
  state_->faults = std::move(faults);
}

bool Interceptor::IsKnownMember(std::string_view member) {
  return std::find(std::begin(kKnownMembers), std::end(kKnownMembers), member) != std::end(kKnownMembers);
}

std::shared_ptr<host::Repository> Interceptor::Wrap(std::shared_ptr<host::Repository> object) const {
  return WrapObject(state_, std::move(object));
}
std::shared_ptr<host::Element> Interceptor::Wrap(std::shared_ptr<host::Element> object) const {
  return WrapObject(state_, std::move(object));
}
std::shared_ptr<host::InfoBag> Interceptor::Wrap(std::shared_ptr<host::InfoBag> object) const {
  return WrapObject(state_, std::move(object));
}

std::vector<std::string> Interceptor::TakeTrace() {
  std::vector<std::string> lines;
  lines.swap(state_->lines);
  return lines;
}

bool Interceptor::tracing() const { return state_->trace; }

std::int64_t Interceptor::CallCount(const std::string& member) const {
  const auto it = state_->counts.find(member);
  return it == state_->counts.end() ? 0 : it->second;
}

}  // namespace kelvo
