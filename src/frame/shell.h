// The shell seam: the trace hands each command line to a Shell. The real one
// runs it through std::system; the fake records every command line and
// returns set statuses, so tests see exactly what the trace ran.
#ifndef KEP_FRAME_SHELL_H_
#define KEP_FRAME_SHELL_H_

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

namespace kep {

/// Runs command lines through the operating system's shell. Abstract so it
/// can be mocked out for tests.
class Shell {
 public:
  virtual ~Shell() = default;
  /// Runs the `length` characters at `command` as one shell command line and
  /// returns after it has finished, with its status: the command's exit
  /// status 0-255, 128+N when the shell was killed by signal N, 127 when no
  /// shell could be started.
  virtual int system(const char* command, std::size_t length) = 0;
};

/// std::system.
class RealShell : public Shell {
 public:
  static constexpr std::size_t kMaxCommand = 300;
  /// REQUIRES: length <= kMaxCommand.
  int system(const char* command, std::size_t length) override;

 private:
  char line_[kMaxCommand + 1];
};

/// Records every command line; returns the queued statuses in order, then
/// `default_status`.
class FakeShell : public Shell {
 public:
  int system(const char* command, std::size_t length) override;

  std::vector<std::string> commands_ran_;
  std::deque<int> statuses_;
  int default_status_ = 0;
};

}  // namespace kep

#endif  // KEP_FRAME_SHELL_H_
