// The host session: the live model together with the host's mutable state (technologies
// installed, package selected, diagram open, rules registered, violations reported). `Host` is
// the Repository that the add-in is handed; its validation service and the new-element info bag
// are host objects of the session too.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/objects.h"
#include "kelvo/host_calls.h"
#include "kelvo/model.h"
#include "kelvo/model_data.h"
#include "kelvo/technology.h"

namespace kelvo {

// The object of the rule run in progress, to which the host attributes a reported violation.
struct RunObject {
  enum class Kind { kNone, kElement, kConnector };
  Kind kind = Kind::kNone;
  std::int32_t id = 0;

  static RunObject Element(std::int32_t id) { return {Kind::kElement, id}; }
  static RunObject Connector(std::int32_t id) { return {Kind::kConnector, id}; }
  bool operator==(const RunObject&) const = default;
};

// One ValidationService.ReportViolation call that went through.
struct Violation {
  RunObject object;
  std::u16string rule_id;  // the host rule id as the add-in passed it
  std::int32_t level = 0;
  std::u16string message;
};

struct RuleRegistration {
  std::u16string id;  // the host rule id returned
  std::u16string category_id;
  std::int32_t kind = 0;
  std::u16string name;
};

struct ProfileVisibility {
  std::u16string technology;
  std::u16string profile;
  bool visible = false;
};

struct HostOptions {
  bool refuse_install = false;  // InstallTechnology returns False
  bool refuse_remove = false;   // RemoveTechnology returns False
  // A whole validation run is announced to the add-in (Kelvo_OnStartValidation before it,
  // Kelvo_OnEndValidation after it), as a host that knows these events does.
  bool announce_validation = true;
};

class Host;

// The host's validation framework for one session.
class ValidationServiceObject final : public host::ValidationService {
 public:
  explicit ValidationServiceObject(Host& host) : host_(host) {}
  // Returns an id of the host's own form, "{KV-CAT-0001}".
  std::u16string AddRuleCategory(const std::u16string& name) override;
  // Returns an id of the host's own form, "{KV-RULE-0001}"; the rule joins the rules registered
  // for the next validation run, and its name is known for the rest of the session.
  std::u16string AddRule(const std::u16string& category_id, std::int32_t kind,
                         const std::u16string& name) override;
  // Records the violation against the object of the run in progress.
  void ReportViolation(const std::u16string& host_rule_id, std::int32_t level,
                       const std::u16string& message) override;
  // Late-bound members: ExportDiagramToBPEL() (records the export of the open diagram).
  host::Variant InvokeByName(std::u16string_view member, std::vector<host::Variant>& args) override;

 private:
  Host& host_;
};

// The new-element event's argument: the entries' values, index 0 first.
class InfoBagObject final : public host::InfoBag {
 public:
  explicit InfoBagObject(const std::vector<host::Variant>& values);
  // Fails with an index error past the last entry.
  host::Ref<host::InfoItem> Entry(std::int16_t index) override;

 private:
  std::vector<std::shared_ptr<host::InfoItem>> entries_;
};

class Host final : public host::Repository {
 public:
  // Builds the live model (throws InputError) and starts the session from it.
  static std::shared_ptr<Host> Create(ModelData data, HostOptions options = {});
  explicit Host(ModelData data, HostOptions options = {});
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  // --- Repository ------------------------------------------------------------------------
  // Fails (host error) for an id that the model lacks.
  host::Ref<host::Element> ElementById(std::int32_t id) override;
  // Unset for an id that the model lacks.
  host::Ref<host::Connector> ConnectorById(std::int32_t id) override;
  host::Ref<host::ValidationService> ValidationService() override {
    CountHostCall();
    return Lend<host::ValidationService>(validation_);
  }
  std::int32_t HostBuild() override {
    CountHostCall();
    return settings_.build;
  }
  const std::u16string& ModelLocation() override {
    CountHostCall();
    return settings_.model_location;
  }
  bool HasTechnology(const std::u16string& id) override {
    CountHostCall();
    return FindTechnology(id) != nullptr;
  }
  // Parses the document; False when it does not parse or the host refuses installs. Otherwise
  // the technology is loaded under its id (replacing one of the same id).
  bool InstallTechnology(const std::u16string& document) override;
  // False when the host refuses removals or no technology of that id is loaded.
  bool RemoveTechnology(const std::u16string& id) override;
  void SetProfileVisible(const std::u16string& id, const std::u16string& profile, bool visible) override;
  host::Ref<host::Package> SelectedPackage() override;
  host::Ref<host::Diagram> ActiveDiagram() override;
  // Opens the diagram (it becomes the active one); fails for an id that the model lacks.
  void ShowDiagram(std::int32_t id) override;

  // --- the session, as the host side sees it ---------------------------------------------
  Model& model() { return *model_; }
  const Model& model() const { return *model_; }
  HostSettings& settings() { return settings_; }
  HostOptions& options() { return options_; }

  struct LoadedTechnology {
    std::u16string id;
    std::optional<Technology> technology;  // unset for technologies loaded when the session began
  };
  const std::vector<LoadedTechnology>& technologies() const { return technologies_; }
  // The parsed document of an installed technology; null when not loaded or loaded from the
  // model's start state.
  const Technology* InstalledTechnology(std::u16string_view id) const;
  const std::vector<ProfileVisibility>& profile_calls() const { return profile_calls_; }
  // The active diagram (or none) at each ExportDiagramToBPEL call.
  const std::vector<std::optional<std::int32_t>>& bpel_exports() const { return bpel_exports_; }

  std::optional<std::int32_t> selected_package() const { return selected_package_; }
  std::optional<std::int32_t> active_diagram() const { return active_diagram_; }
  // Host-side choices; fail with a host error for an id that the model lacks.
  void SelectPackage(std::optional<std::int32_t> id);
  void OpenDiagram(std::optional<std::int32_t> id);

  // Rules registered since the last ClearRegisteredRules, in registration order.
  const std::vector<RuleRegistration>& registered_rules() const { return registered_rules_; }
  void ClearRegisteredRules() { registered_rules_.clear(); }
  // The name of a rule registered at any time in the session; null when the id is unknown.
  const std::u16string* RuleName(const std::u16string& rule_id) const;
  // The id returned when a rule of that name was first registered in the session.
  std::optional<std::u16string> FirstRuleIdNamed(const std::u16string& name) const;

  // The object to which reported violations are attributed until EndRun.
  void BeginRun(RunObject object) { run_object_ = object; }
  void EndRun() { run_object_ = RunObject{}; }
  const std::vector<Violation>& violations() const { return violations_; }
  std::vector<Violation> TakeViolations();

 private:
  friend class ValidationServiceObject;
  LoadedTechnology* FindTechnology(std::u16string_view id);
  const LoadedTechnology* FindTechnology(std::u16string_view id) const;

  std::unique_ptr<Model> model_;
  HostOptions options_;
  HostSettings settings_;
  std::shared_ptr<ValidationServiceObject> validation_;

  std::vector<LoadedTechnology> technologies_;
  std::vector<ProfileVisibility> profile_calls_;
  std::vector<std::optional<std::int32_t>> bpel_exports_;
  std::optional<std::int32_t> selected_package_;
  std::optional<std::int32_t> active_diagram_;

  int categories_issued_ = 0;
  int rules_issued_ = 0;
  std::vector<RuleRegistration> registered_rules_;
  std::unordered_map<std::u16string, std::u16string> rule_names_;      // id -> name, whole session
  std::unordered_map<std::u16string, std::u16string> first_rule_ids_;  // name -> first id
  RunObject run_object_;
  std::vector<Violation> violations_;
};

}  // namespace kelvo
