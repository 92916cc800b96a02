// Loading component modules by file and the registry file written by self-registration.
#include "platform/loader.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
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

// Owns the handle: closes it once, and cannot be copied (a copy would close it twice).
struct LoadedModule::Native {
  explicit Native(void* loaded) : handle(loaded) {}
  Native(const Native&) = delete;
  Native& operator=(const Native&) = delete;
  ~Native() { dlclose(handle); }
  void* handle;
};

LoadedModule::LoadedModule(const std::string& path) {
  std::error_code ec;
  const auto absolute = std::filesystem::canonical(path, ec);
  if (ec) throw std::runtime_error(path + ": cannot load the add-in module: " + ec.message());
  path_ = absolute.string();
  void* handle = dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) throw std::runtime_error(path_ + ": cannot load the add-in module: " + dlerror());
  native_ = std::make_unique<Native>(handle);
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

namespace {

std::runtime_error RegistryError(const std::string& path, const std::string& what, int error) {
  return std::runtime_error(path + ": cannot " + what + " the registry: " + std::strerror(error));
}

// The file's bytes, "" when it does not exist; read with a bound, so a device or a runaway file
// is refused rather than exhausting memory.
std::string ReadRegistry(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return {};
    throw RegistryError(path, "read", errno);
  }
  std::string text;
  char block[1 << 14];
  for (;;) {
    const ssize_t count = ::read(fd, block, sizeof block);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) {
      const int error = errno;
      ::close(fd);
      if (count < 0) throw RegistryError(path, "read", error);
      return text;
    }
    if (text.size() + static_cast<std::size_t>(count) > kMaxRegistryBytes) {
      ::close(fd);
      throw std::runtime_error(path + ": cannot read the registry: it is larger than " +
                               std::to_string(kMaxRegistryBytes >> 20) + " MiB");
    }
    text.append(block, static_cast<std::size_t>(count));
  }
}

bool IsEntryLine(std::string_view line) {
  const auto first = line.find_first_not_of(" \t");
  return first != std::string_view::npos && line[first] != ';' && line[first] != '#';
}

// Writes `text` to a new file beside `path` and renames it over `path`, so a failed write leaves
// the old file as it was. The new file keeps the old one's permissions.
void ReplaceFile(const std::string& path, const std::string& text) {
  std::string temporary = path + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) throw RegistryError(path, "write", errno);
  struct stat old {};
  if (::stat(path.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);
  std::size_t written = 0;
  int error = 0;
  while (written < text.size() && error == 0) {
    const ssize_t count = ::write(fd, text.data() + written, text.size() - written);
    if (count >= 0)
      written += static_cast<std::size_t>(count);
    else if (errno != EINTR)
      error = errno;
  }
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
  if (error == 0) return;
  ::unlink(temporary.c_str());
  throw RegistryError(path, "write", error);
}

}  // namespace

Registry::Registry(std::string path) : path_(std::move(path)), text_(ReadRegistry(path_)) {
  if (text_.find("\r\n") != std::string::npos) line_end_ = "\r\n";
  Span* current = nullptr;
  for (std::size_t at = 0; at < text_.size();) {
    const std::size_t next = std::min(text_.find('\n', at), text_.size() - 1) + 1;
    std::string_view line(text_.data() + at, next - at);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    if (line.starts_with('[') && line.ends_with(']')) {
      const std::string name(line.substr(1, line.size() - 2));
      sections_[name];
      current = &spans_.emplace_back(Span{name, at, next});
    } else if (current != nullptr && IsEntryLine(line)) {
      current->end = next;
      if (const auto equals = line.find('='); equals != std::string_view::npos)
        sections_[current->name][std::string(line.substr(0, equals))] = line.substr(equals + 1);
    }
    at = next;
  }
}

void Registry::Set(const std::string& section, Section entries) {
  sections_[section] = entries;
  changes_[section] = std::move(entries);
}

void Registry::Remove(const std::string& section) {
  sections_.erase(section);
  changes_[section] = std::nullopt;
}

// The file as read with the changed sections replaced where they stood (new ones at the end) and
// every other byte kept: comments, blank lines, lines before the first section, line ends.
std::string Registry::Text() const {
  std::string text;
  std::set<std::string> written;
  const auto render = [&](const std::string& name, const Section& entries) {
    text += '[' + name + ']' + line_end_;
    for (const auto& [key, value] : entries) text += key + '=' + value + line_end_;
    written.insert(name);
  };
  std::size_t copied = 0;
  for (const Span& span : spans_) {
    const auto change = changes_.find(span.name);
    if (change == changes_.end()) continue;
    text.append(text_, copied, span.begin - copied);
    copied = span.end;
    if (change->second && !written.contains(span.name)) render(span.name, *change->second);
  }
  text.append(text_, copied);
  for (const auto& [name, entries] : changes_) {
    if (!entries || written.contains(name)) continue;
    if (!text.empty() && text.back() != '\n') text += line_end_;
    render(name, *entries);
  }
  return text;
}

void Registry::Save() const {
  const std::filesystem::path file(path_);
  std::error_code ec;
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
  ReplaceFile(path_, Text());
}

}  // namespace platform
