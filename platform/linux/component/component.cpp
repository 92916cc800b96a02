// The in-process server runtime: class factories, self-registration and the unload query.
#include "platform/component.h"

#include <atomic>

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

class InProcessServer::Factory final : public ClassFactory {
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

InProcessServer::InProcessServer(std::string library, std::vector<CoClass> classes)
    : library_(std::move(library)), classes_(std::move(classes)) {
  for (const auto& c : classes_) {
    if (c.create) factories_.push_back(std::make_unique<Factory>(c));
  }
}

InProcessServer::~InProcessServer() = default;

TypeLibraryInfo InProcessServer::TypeLibrary() const {
  TypeLibraryInfo info{library_, {}};
  for (const auto& c : classes_) info.classes.push_back(c.info);
  return info;
}

std::int32_t InProcessServer::RegisterServer() const {
  return Registering([this] {
    auto registry = Registry::Open();
    const std::string module = ThisModulePath();
    std::vector<std::string> class_names;
    for (const auto& c : classes_) {
      class_names.push_back(c.info.name);
      registry.Set(library_ + "." + c.info.name, {{"module", module},
                                                  {"library", library_},
                                                  {"creatable", c.create ? "yes" : "no"},
                                                  {"interface", c.info.default_interface.name},
                                                  {"operations", Join(c.info.default_interface.operations)}});
    }
    registry.Set("TypeLib." + library_, {{"module", module}, {"classes", Join(class_names)}});
    registry.Save();
  });
}

std::int32_t InProcessServer::UnregisterServer() const {
  return Registering([this] {
    auto registry = Registry::Open();
    for (const auto& c : classes_) registry.Remove(library_ + "." + c.info.name);
    registry.Remove("TypeLib." + library_);
    registry.Save();
  });
}

std::int32_t InProcessServer::GetClassObject(const char* prog_id, ClassFactory** factory) {
  if (prog_id == nullptr || factory == nullptr) return kInvalidArgument;
  *factory = nullptr;
  for (const auto& f : factories_) {
    if (library_ + "." + f->co_class().info.name == prog_id) {
      *factory = f.get();
      return kOk;
    }
  }
  return kClassNotAvailable;
}

std::int32_t InProcessServer::CanUnloadNow() const { return ObjectCounter::Live() == 0 ? kOk : kFalse; }

}  // namespace platform
