#include <cstdio>
#include <cstdlib>
#include <new>

#include "cli/cli.h"

namespace {

// What a failed allocation throws: the commands say "orbelt: out of memory" where they name the
// reason of any failure, and end with status 2.
class OutOfMemory : public std::bad_alloc {
 public:
  const char* what() const noexcept override { return "out of memory"; }
};

void* Allocate(std::size_t size) {
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw OutOfMemory();
}

}  // namespace

// The program's own allocation functions, used by the add-in module too: a malloc that replaces
// the system's (linked for speed) may end the process when memory runs out instead of letting
// `new` throw; its malloc returns null, and this `new` throws.
void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

int main(int argc, char** argv) {
  try {
    orbelt::cli::StreamOutput output;
    return orbelt::cli::Run(argc, argv, output);
  } catch (const std::bad_alloc&) {
    std::fputs("orbelt: out of memory\n", stderr);
    return 2;
  }
}
