#include "frame/shell.h"

#include <sys/wait.h>

#include <cstdlib>
#include <cstring>

namespace kep {

int RealShell::system(const char* command, std::size_t length) {
  std::memcpy(line_, command, length);
  line_[length] = '\0';
  int status = std::system(line_);
  if (status == -1) return 127;  // no child could be started
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return 127;
}

int FakeShell::system(const char* command, std::size_t length) {
  commands_ran_.emplace_back(command, length);
  if (statuses_.empty()) return default_status_;
  int status = statuses_.front();
  statuses_.pop_front();
  return status;
}

}  // namespace kep
