// Loading a component module at run time, as the host does: its entry points, version record
// and resources; and the registry that self-registration writes (a file on Linux, the system
// registry on Windows, where objects are created through the registered class).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/component.h"
#include "platform/module_info.h"

namespace platform {

class LoadedModule {
 public:
  // Throws std::runtime_error naming the file when it cannot be loaded or lacks an entry point.
  explicit LoadedModule(const std::string& path);
  ~LoadedModule();
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;

  const std::string& path() const { return path_; }
  std::int32_t RegisterServer() const;
  std::int32_t UnregisterServer() const;
  std::int32_t CanUnloadNow() const;
  // Creates an object of the class "Library.Class"; throws std::runtime_error when unavailable.
  // Threads may create objects of one module at once: the creations take turns, because a
  // module's constructors may set the module's own globals (COrbelt records its help path).
  std::shared_ptr<DispatchObject> CreateObject(const std::string& prog_id) const;
  const VersionRecord& Version() const;
  TypeLibraryInfo TypeLibrary() const;
  // The module's binary resource of that type and id; fails with a resource error when absent.
  std::span<const std::uint8_t> BinaryResource(std::string_view type, std::int32_t id) const;

 private:
  // The loaded library and what each platform keeps of it.
  struct Native;
  // The exported function `name`; throws std::runtime_error when the module lacks it.
  template <class F>
  F Symbol(const char* name) const;
  std::string path_;
  std::unique_ptr<Native> native_;
  mutable std::mutex creating_;
};

// The registry file: KELVO_REGISTRY, else $XDG_CONFIG_HOME/kelvo/registry.ini, else
// ~/.config/kelvo/registry.ini. Sections are keys, each with name=value entries. Saving rewrites
// only the sections set or removed and keeps every other byte of the file.
class Registry {
 public:
  using Section = std::map<std::string, std::string>;
  static std::string DefaultPath();
  // Reads the default file; an absent file is an empty registry. Throws std::runtime_error
  // naming the file when it exists but cannot be read or exceeds kMaxRegistryBytes.
  static Registry Open();
  explicit Registry(std::string path);

  const std::string& path() const { return path_; }
  const std::map<std::string, Section>& sections() const { return sections_; }
  void Set(const std::string& section, Section entries);
  void Remove(const std::string& section);
  // Writes a new file beside the old one and renames it over it; throws std::runtime_error
  // naming the file when it cannot be written, leaving the old file as it was.
  void Save() const;

 private:
  // Where a section stands in the file read: its header line up to its last entry line.
  struct Span {
    std::string name;
    std::size_t begin = 0;
    std::size_t end = 0;
  };
  std::string Text() const;

  std::string path_;
  std::string text_;
  std::string line_end_ = "\n";
  std::vector<Span> spans_;
  std::map<std::string, Section> sections_;
  std::map<std::string, std::optional<Section>> changes_;  // nullopt: removed
};

// Registry files larger than this are refused.
inline constexpr std::size_t kMaxRegistryBytes = std::size_t{16} << 20;

}  // namespace platform
