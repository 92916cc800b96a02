// Loading component modules by file and the registry file written by self-registration.
#include "platform/loader.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/resources.h"

namespace platform {

namespace {
using RegisterFn = std::int32_t (*)();
using GetClassObjectFn = std::int32_t (*)(const char*, ClassFactory**);
using VersionFn = const VersionRecord* (*)();
using TypeLibraryFn = const TypeLibraryInfo* (*)();
using ResourcesFn = const ResourceDirectory* (*)();
}  // namespace

struct LoadedModule::Native {
  void* handle;
  ~Native() { dlclose(handle); }
};

LoadedModule::LoadedModule(const std::string& path) {
  std::error_code ec;
  const auto absolute = std::filesystem::canonical(path, ec);
  if (ec) throw std::runtime_error(path + ": cannot load the add-in module: " + ec.message());
  path_ = absolute.string();
  void* handle = dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) throw std::runtime_error(path_ + ": cannot load the add-in module: " + dlerror());
  native_.reset(new Native{handle});  // clang 14 has no parenthesized aggregate initialization
  for (const char* name : {"DllRegisterServer", "DllUnregisterServer", "DllGetClassObject", "DllCanUnloadNow",
                           "KelvoVersionRecord", "KelvoTypeLibrary", "KelvoModuleResources"}) {
    Symbol<void*>(name);
  }
}

LoadedModule::~LoadedModule() = default;

template <class F>
F LoadedModule::Symbol(const char* name) const {
  void* symbol = dlsym(native_->handle, name);
  if (symbol == nullptr) throw std::runtime_error(path_ + ": the module does not export " + name);
  return reinterpret_cast<F>(symbol);
}

std::int32_t LoadedModule::RegisterServer() const { return Symbol<RegisterFn>("DllRegisterServer")(); }
std::int32_t LoadedModule::UnregisterServer() const { return Symbol<RegisterFn>("DllUnregisterServer")(); }
std::int32_t LoadedModule::CanUnloadNow() const { return Symbol<RegisterFn>("DllCanUnloadNow")(); }

std::shared_ptr<DispatchObject> LoadedModule::CreateObject(const std::string& prog_id) const {
  ClassFactory* factory = nullptr;
  if (Symbol<GetClassObjectFn>("DllGetClassObject")(prog_id.c_str(), &factory) != kOk || factory == nullptr) {
    throw std::runtime_error(path_ + ": class " + prog_id + " is not available");
  }
  std::shared_ptr<DispatchObject> object;
  const auto result = [&] {
    const std::lock_guard lock(creating_);
    return factory->CreateInstance(&object);
  }();
  if (result.error || !object) {
    throw std::runtime_error(path_ + ": cannot create " + prog_id + ": " +
                             (result.error ? result.error->message : "no object"));
  }
  return object;
}

const VersionRecord& LoadedModule::Version() const { return *Symbol<VersionFn>("KelvoVersionRecord")(); }
TypeLibraryInfo LoadedModule::TypeLibrary() const { return *Symbol<TypeLibraryFn>("KelvoTypeLibrary")(); }
std::span<const std::uint8_t> LoadedModule::BinaryResource(std::string_view type, std::int32_t id) const {
  return LoadBinaryFrom(*Symbol<ResourcesFn>("KelvoModuleResources")(), type, id);
}

std::string Registry::DefaultPath() {
  if (const char* explicit_path = std::getenv("KELVO_REGISTRY"); explicit_path && *explicit_path) {
    return explicit_path;
  }
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) {
    return std::string(config) + "/kelvo/registry.ini";
  }
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + "/.config/kelvo/registry.ini";
}

Registry Registry::Open() { return Registry(DefaultPath()); }

Registry::Registry(std::string path) : path_(std::move(path)) {
  std::ifstream in(path_);
  std::string line;
  Section* current = nullptr;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == ';') continue;
    if (line.front() == '[' && line.back() == ']') {
      current = &sections_[line.substr(1, line.size() - 2)];
      continue;
    }
    const auto equals = line.find('=');
    if (current != nullptr && equals != std::string::npos) {
      (*current)[line.substr(0, equals)] = line.substr(equals + 1);
    }
  }
}

void Registry::Set(const std::string& section, Section entries) { sections_[section] = std::move(entries); }
void Registry::Remove(const std::string& section) { sections_.erase(section); }

void Registry::Save() const {
  const std::filesystem::path file(path_);
  std::error_code ec;
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
  std::ostringstream text;
  for (const auto& [name, entries] : sections_) {
    text << '[' << name << "]\n";
    for (const auto& [key, value] : entries) text << key << '=' << value << '\n';
  }
  std::ofstream out(path_, std::ios::trunc);
  out << text.str();
  if (!out.flush()) throw std::runtime_error(path_ + ": cannot write the registry");
}

}  // namespace platform
