#include "kelvo/host.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace kelvo {

namespace {

// Out of line, so that ElementById, read millions of times by the checks, stays a leaf.
[[noreturn]] [[gnu::noinline, gnu::cold]] void ThrowNoElement(std::int32_t id) {
  throw host::Error(host::ErrorKind::kHost,
                    "Repository.ElementById: no element with id " + std::to_string(id));
}

std::u16string IssueId(const char* kind, int number) {
  char text[32];
  std::snprintf(text, sizeof text, "{KV-%s-%04d}", kind, number);
  return {text, text + std::char_traits<char>::length(text)};
}

class InfoItemObject final : public host::InfoItem {
 public:
  explicit InfoItemObject(host::Variant value) : value_(std::move(value)) {}
  host::Variant Value() override {
    CountHostCall();
    return value_;
  }

 private:
  host::Variant value_;
};

}  // namespace

// --- ValidationServiceObject ---------------------------------------------------------------

std::u16string ValidationServiceObject::AddRuleCategory(const std::u16string& name) {
  CountHostCall();
  (void)name;
  return IssueId("CAT", ++host_.categories_issued_);
}

std::u16string ValidationServiceObject::AddRule(const std::u16string& category_id, std::int32_t kind,
                                                const std::u16string& name) {
  CountHostCall();
  std::u16string id = IssueId("RULE", ++host_.rules_issued_);
  host_.registered_rules_.push_back({id, category_id, kind, name});
  host_.rule_names_.emplace(id, name);
  host_.first_rule_ids_.emplace(name, id);
  return id;
}

void ValidationServiceObject::ReportViolation(const std::u16string& host_rule_id, std::int32_t level,
                                              const std::u16string& message) {
  CountHostCall();
  host_.violations_.push_back({host_.run_object_, host_rule_id, level, message});
}

host::Variant ValidationServiceObject::InvokeByName(std::u16string_view member,
                                                    std::vector<host::Variant>& args) {
  CountHostCall();
  if (member == u"ExportDiagramToBPEL") {
    if (!args.empty()) throw host::Error(host::ErrorKind::kHost, "ExportDiagramToBPEL takes no arguments");
    host_.bpel_exports_.push_back(host_.active_diagram_);
    return {};
  }
  return host::ValidationService::InvokeByName(member, args);
}

// --- InfoBagObject -------------------------------------------------------------------------

InfoBagObject::InfoBagObject(const std::vector<host::Variant>& values) {
  entries_.reserve(values.size());
  for (const auto& value : values) entries_.push_back(std::make_shared<InfoItemObject>(value));
}

host::Ref<host::InfoItem> InfoBagObject::Entry(std::int16_t index) {
  CountHostCall();
  if (index < 0 || static_cast<std::size_t>(index) >= entries_.size()) {
    throw host::Error(host::ErrorKind::kIndex, "InfoBag.Entry: no entry " + std::to_string(index) + " (" +
                                                   std::to_string(entries_.size()) + " entries)");
  }
  return Lend<host::InfoItem>(entries_[static_cast<std::size_t>(index)]);
}

// --- Host ----------------------------------------------------------------------------------

std::shared_ptr<Host> Host::Create(ModelData data, HostOptions options) {
  return std::make_shared<Host>(std::move(data), options);
}

// The session's state is taken from the data here and kept only here; the model keeps the content.
Host::Host(ModelData data, HostOptions options)
    : options_(options),
      settings_(data.host),
      validation_(std::make_shared<ValidationServiceObject>(*this)),
      selected_package_(data.selected_package),
      active_diagram_(data.active_diagram) {
  for (const auto& id : data.technologies) {
    if (!FindTechnology(id)) technologies_.push_back({id, std::nullopt});
  }
  model_ = Model::Build(std::move(data));
}

host::Ref<host::Element> Host::ElementById(std::int32_t id) {
  CountHostCall();
  ElementObject* element = model_->FindElement(id);
  if (!element) ThrowNoElement(id);
  return Lend<host::Element>(element);
}

host::Ref<host::Connector> Host::ConnectorById(std::int32_t id) {
  CountHostCall();
  return Lend<host::Connector>(model_->FindConnector(id));
}

bool Host::InstallTechnology(const std::u16string& document) {
  CountHostCall();
  if (options_.refuse_install) return false;
  std::optional<Technology> technology;
  try {
    technology = ParseTechnology(document);
  } catch (const InputError&) {
    return false;  // as the host does, it answers False and keeps no reason
  }
  if (LoadedTechnology* loaded = FindTechnology(technology->id)) {
    loaded->technology = std::move(technology);
  } else {
    std::u16string id = technology->id;
    technologies_.push_back({std::move(id), std::move(technology)});
  }
  return true;
}

bool Host::RemoveTechnology(const std::u16string& id) {
  CountHostCall();
  if (options_.refuse_remove) return false;
  const auto it = std::find_if(technologies_.begin(), technologies_.end(),
                               [&](const LoadedTechnology& t) { return t.id == id; });
  if (it == technologies_.end()) return false;
  technologies_.erase(it);
  return true;
}

void Host::SetProfileVisible(const std::u16string& id, const std::u16string& profile, bool visible) {
  CountHostCall();
  profile_calls_.push_back({id, profile, visible});
}

host::Ref<host::Package> Host::SelectedPackage() {
  CountHostCall();
  if (!selected_package_) return {};
  return Lend<host::Package>(model_->FindPackage(*selected_package_));
}

host::Ref<host::Diagram> Host::ActiveDiagram() {
  CountHostCall();
  if (!active_diagram_) return {};
  return Lend<host::Diagram>(model_->FindDiagram(*active_diagram_));
}

void Host::ShowDiagram(std::int32_t id) {
  CountHostCall();
  if (!model_->FindDiagram(id)) {
    throw host::Error(host::ErrorKind::kHost,
                      "Repository.ShowDiagram: no diagram with id " + std::to_string(id));
  }
  active_diagram_ = id;
}

const Technology* Host::InstalledTechnology(std::u16string_view id) const {
  const LoadedTechnology* loaded = FindTechnology(id);
  return loaded && loaded->technology ? &*loaded->technology : nullptr;
}

void Host::SelectPackage(std::optional<std::int32_t> id) {
  if (id && !model_->FindPackage(*id))
    throw host::Error(host::ErrorKind::kHost, "package " + std::to_string(*id) + " does not exist");
  selected_package_ = id;
}

void Host::OpenDiagram(std::optional<std::int32_t> id) {
  if (id && !model_->FindDiagram(*id))
    throw host::Error(host::ErrorKind::kHost, "diagram " + std::to_string(*id) + " does not exist");
  active_diagram_ = id;
}

const std::u16string* Host::RuleName(const std::u16string& rule_id) const {
  const auto it = rule_names_.find(rule_id);
  return it == rule_names_.end() ? nullptr : &it->second;
}

std::optional<std::u16string> Host::FirstRuleIdNamed(const std::u16string& name) const {
  const auto it = first_rule_ids_.find(name);
  if (it == first_rule_ids_.end()) return std::nullopt;
  return it->second;
}

std::vector<Violation> Host::TakeViolations() {
  std::vector<Violation> taken;
  taken.swap(violations_);
  return taken;
}

Host::LoadedTechnology* Host::FindTechnology(std::u16string_view id) {
  for (auto& t : technologies_) {
    if (t.id == id) return &t;
  }
  return nullptr;
}

const Host::LoadedTechnology* Host::FindTechnology(std::u16string_view id) const {
  return const_cast<Host*>(this)->FindTechnology(id);
}

}  // namespace kelvo
