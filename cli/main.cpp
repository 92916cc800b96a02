#include "cli/cli.h"

int main(int argc, char** argv) {
  orbelt::cli::StreamOutput output;
  return orbelt::cli::Run(argc, argv, output);
}
