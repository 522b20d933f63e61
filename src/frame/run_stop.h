// The one way a run ends from inside a procedure. Whatever ends the run (the
// quit choice, a data file that fails, a bad choice number, a missing page,
// the end of input, a signal) throws a RunStop; only the top of the program
// catches it, gives the terminal back, writes the one-line report (if any) to
// standard error and exits with the status. Tests catch it to observe the end.
#ifndef KEP_FRAME_RUN_STOP_H_
#define KEP_FRAME_RUN_STOP_H_

#include <cstddef>
#include <string>

namespace kep {

class RunStop {
 public:
  RunStop(int status, std::string report)
      : status_(status), report_(std::move(report)) {}

  /// The process exit status.
  int status() const { return status_; }
  /// One line without the program name and without a line feed; empty when
  /// the run ends silently (the quit choice).
  const std::string& report() const { return report_; }

 private:
  int status_;
  std::string report_;
};

/// Ends the run: throws RunStop(status, report). Never returns.
[[noreturn]] inline void stop_run(int status, std::string report) {
  throw RunStop(status, std::move(report));
}

/// Characters from a data record as a report shows them: printable ASCII as
/// it stands, every other byte as "?", so a report cannot carry terminal
/// commands.
inline std::string report_text(const char* chars, std::size_t length) {
  std::string text(chars, length);
  for (char& c : text)
    if (c < ' ' || c > '~') c = '?';
  return text;
}

}  // namespace kep

#endif  // KEP_FRAME_RUN_STOP_H_
