// The kep-check command: its options, its output and its exit status. The
// program's main() only hands over its arguments and streams.
//
//   kep-check [--map FILE] [DIR]     check DIR (default ./data)
//   kep-check --help | --version
//
// Findings and the summary line go to `err`; --help, --version and a map
// written to "-" go to `out`.
#ifndef KEP_TOOLS_KEP_CHECK_KEP_CHECK_H_
#define KEP_TOOLS_KEP_CHECK_KEP_CHECK_H_

#include <ostream>
#include <string>
#include <vector>

namespace kep::check {

/// Exit statuses.
inline constexpr int kClean = 0;   // no error (warnings allowed)
inline constexpr int kErrors = 1;  // at least one error
inline constexpr int kUsage = 2;   // bad command line

/// Runs kep-check with `args` (without the program name) and returns its
/// exit status.
int run_kep_check(const std::vector<std::string>& args, std::ostream& out,
                  std::ostream& err);

}  // namespace kep::check

#endif  // KEP_TOOLS_KEP_CHECK_KEP_CHECK_H_
