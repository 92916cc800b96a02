// The subcommands that deal with the add-in module itself: locating it, registering it and
// writing the technology document it embeds.
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "cli/commands.h"
#include "cli/inputs.h"
#include "platform/loader.h"
#include "platform/process.h"

namespace orbelt::cli {

std::string AddinPath(const std::string& addin_flag) {
  if (!addin_flag.empty()) return addin_flag;
  if (const char* from_environment = std::getenv("ORBELT_ADDIN"); from_environment && *from_environment) {
    return from_environment;
  }
  const std::string program = platform::ThisProgramPath();
  const auto folder =
      program.empty() ? std::filesystem::path(".") : std::filesystem::path(program).parent_path();
  return (folder / ORBELT_ADDIN_FILE).string();
}

bool Emit(const std::string& text, const std::string& output_file, Output& output) {
  if (output_file.empty()) {
    if (output.out() << text << std::flush) return true;
    output.err() << "orbelt: cannot write the standard output\n";
    return false;
  }
  std::ofstream file(output_file, std::ios::binary | std::ios::trunc);
  file << text;
  file.close();  // a write can fail when the file is closed, too
  if (!file.fail()) return true;
  output.err() << "orbelt: " << output_file << ": cannot write the file\n";
  return false;
}

int WriteTechnology(const std::string& addin, const std::string& output_file, Output& output) {
  try {
    const platform::LoadedModule module(addin);
    return Emit(EmbeddedTechnology(module), output_file, output) ? kSuccess : kUnusable;
  } catch (const std::exception& e) {
    output.err() << "orbelt: " << e.what() << "\n";
    return kUnusable;
  }
}

int Register(const std::string& addin, bool unregister, Output& output) {
  try {
    const platform::LoadedModule module(addin);
    if (!module.Version().ole_self_register) {
      output.err() << "orbelt: " << module.path() << ": the module does not register itself\n";
      return kFindings;
    }
    platform::TakeErrorInfo();
    const std::int32_t status = unregister ? module.UnregisterServer() : module.RegisterServer();
    if (status != platform::kOk) {
      const std::string reason = platform::TakeErrorInfo();
      output.err() << "orbelt: " << module.path() << ": " << (unregister ? "unregistration" : "registration")
                   << " failed in " << platform::Registry::DefaultPath() << ": "
                   << (reason.empty() ? "no reason given" : reason) << " (code 0x" << std::hex
                   << static_cast<std::uint32_t>(status) << std::dec << ")\n";
      return kFindings;
    }
    output.out() << (unregister ? "Unregistered " : "Registered ") << module.path() << " in "
                 << platform::Registry::DefaultPath() << "\n";
    return kSuccess;
  } catch (const std::exception& e) {
    output.err() << "orbelt: " << e.what() << "\n";
    return kUnusable;
  }
}

}  // namespace orbelt::cli
