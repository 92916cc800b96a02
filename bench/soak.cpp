// The soak: one host session of STEPS mixed steps (bench/soak_session.h) under a memory cap of
// CAP MiB, printing the resident memory every tenth of the way. Fails when a step answers
// differently from the first time it was played, or when resident memory grows by more than
// GROWTH MiB after the first tenth (the warm-up). The diagrams made stay in the model, so some
// growth is the model's own: about 0.4 KiB a diagram, 4 MiB over 100,000 steps.
//
//   bench_soak [STEPS [CAP [GROWTH]]]      default: 100000 1024 8
//
// The module is ORBELT_ADDIN, else liborbelt.so beside this program.
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>

#include "bench/soak_session.h"
#include "cli/commands.h"

namespace {

constexpr std::size_t kModelElements = 60;

double ResidentMiB() {
  std::ifstream statm("/proc/self/statm");
  double pages = 0;
  statm >> pages >> pages;
  return pages * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

void CapMemory(std::size_t mib) {
  const rlim_t bytes = static_cast<rlim_t>(mib) * 1024 * 1024;
  const rlimit limit{bytes, bytes};
  if (setrlimit(RLIMIT_AS, &limit) != 0) std::cerr << "the memory cap could not be set\n";
}

std::size_t Argument(int argc, char** argv, int index, std::size_t fallback) {
  return argc > index ? std::strtoull(argv[index], nullptr, 10) : fallback;
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t steps = Argument(argc, argv, 1, 100000);
  const std::size_t cap = Argument(argc, argv, 2, 1024);
  const auto growth = static_cast<double>(Argument(argc, argv, 3, 8));
  try {
    const platform::LoadedModule module(orbelt::cli::AddinPath(""));
    CapMemory(cap);
    soak::Session session(module, kModelElements);
    const auto start = std::chrono::steady_clock::now();
    double warm = 0;
    while (session.played() < steps) {
      if (const auto difference = session.PlayNext()) {
        std::cerr << "soak: " << *difference << "\n";
        return 1;
      }
      if (session.played() % (steps / 10 == 0 ? 1 : steps / 10) != 0) continue;
      const double resident = ResidentMiB();
      if (warm == 0) warm = resident;
      std::cout << session.played() << " steps: " << resident << " MiB resident" << std::endl;
      if (resident - warm > growth) {
        std::cerr << "soak: resident memory grew by " << resident - warm << " MiB after the warm-up\n";
        return 1;
      }
    }
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    std::cout << steps << " steps in " << seconds.count() << " s, under a cap of " << cap << " MiB\n";
  } catch (const std::exception& e) {
    std::cerr << "soak: " << e.what() << "\n";
    return 1;
  }
}
