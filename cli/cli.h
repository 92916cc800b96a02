// The `orbelt` command as a library: parses the command line, asks kelvo/ to do the work and
// writes through an output sink, so tests can read what a user would see.
#pragma once

#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

namespace orbelt::cli {

// Exit statuses.
constexpr int kSuccess = 0;
constexpr int kFindings = 1;  // errors or failures found, or a command that did not succeed
constexpr int kUnusable = 2;  // unusable arguments or unreadable input

class Output {
 public:
  virtual ~Output() = default;
  virtual std::ostream& out() = 0;
  virtual std::ostream& err() = 0;
};

class StreamOutput : public Output {
 public:
  std::ostream& out() override { return std::cout; }
  std::ostream& err() override { return std::cerr; }
};

class StringOutput : public Output {
 public:
  std::ostream& out() override { return out_; }
  std::ostream& err() override { return err_; }
  std::string out_text() const { return out_.str(); }
  std::string err_text() const { return err_.str(); }

 private:
  std::ostringstream out_;
  std::ostringstream err_;
};

int Run(int argc, const char* const* argv, Output& output);

}  // namespace orbelt::cli
