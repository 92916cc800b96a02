// The in-process server runtime: class factories, self-registration and the unload query.
#include "platform/component.h"

#include <atomic>

#include "platform/linux/component/server.h"
#include "platform/loader.h"
#include "platform/module_info.h"

namespace platform {

namespace {
std::atomic<int> live_objects{0};

// Runs a registration step; a failure becomes the result code, its reason the error info.
template <class Step>
std::int32_t Registering(Step&& step) noexcept {
  try {
    step();
    return kOk;
  } catch (const std::exception& e) {
    SetErrorInfo(e.what());
  } catch (...) {
    SetErrorInfo("a failure of unknown kind");
  }
  return kRegistrationFailed;
}

std::string Join(const std::vector<std::string>& items) {
  std::string joined;
  for (const auto& item : items) joined += (joined.empty() ? "" : ",") + item;
  return joined;
}
}  // namespace

void ObjectCounter::Add(int delta) { live_objects += delta; }
int ObjectCounter::Live() { return live_objects; }

namespace {

// Serves one class of the module.
class Factory final : public ClassFactory {
 public:
  explicit Factory(const CoClass& co_class) : co_class_(co_class) {}
  const CoClass& co_class() const { return co_class_; }
  CallResult CreateInstance(std::shared_ptr<DispatchObject>* out) noexcept override {
    return CallGuarded([&]() -> host::Variant {
      *out = co_class_.create();
      return {};
    });
  }

 private:
  const CoClass& co_class_;
};

}  // namespace

std::int32_t RegisterServer(const InProcessServer& server) {
  return Registering([&server] {
    auto registry = Registry::Open();
    const std::string module = ThisModulePath();
    const std::string& library = server.library();
    std::vector<std::string> class_names;
    for (const auto& c : server.classes()) {
      class_names.push_back(c.info.name);
      registry.Set(library + "." + c.info.name, {{"module", module},
                                                 {"library", library},
                                                 {"creatable", c.create ? "yes" : "no"},
                                                 {"interface", c.info.default_interface.name},
                                                 {"operations", Join(c.info.default_interface.operations)}});
    }
    registry.Set("TypeLib." + library, {{"module", module}, {"classes", Join(class_names)}});
    registry.Save();
  });
}

std::int32_t UnregisterServer(const InProcessServer& server) {
  return Registering([&server] {
    auto registry = Registry::Open();
    for (const auto& c : server.classes()) registry.Remove(server.library() + "." + c.info.name);
    registry.Remove("TypeLib." + server.library());
    registry.Save();
  });
}

std::int32_t GetClassObject(const InProcessServer& server, const char* prog_id, ClassFactory** factory) {
  if (prog_id == nullptr || factory == nullptr) return kInvalidArgument;
  *factory = nullptr;
  // One factory per creatable class, made on first use; a module has one server.
  static const std::vector<std::unique_ptr<Factory>> kFactories = [&server] {
    std::vector<std::unique_ptr<Factory>> made;
    for (const auto& c : server.classes()) {
      if (c.create) made.push_back(std::make_unique<Factory>(c));
    }
    return made;
  }();
  for (const auto& f : kFactories) {
    if (server.library() + "." + f->co_class().info.name == prog_id) {
      *factory = f.get();
      return kOk;
    }
  }
  return kClassNotAvailable;
}

std::int32_t CanUnloadNow() { return ObjectCounter::Live() == 0 ? kOk : kFalse; }

}  // namespace platform
