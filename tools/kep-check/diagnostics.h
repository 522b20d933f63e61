// The checker's findings, printed the way compilers print theirs so that
// editors and CI can jump to them:
//
//   ./data/story-choice.dat:12: error: choice 2 of page 005 (episode 1) ...
//   ./data/story-start.dat:1: note: reached in episode 1: 001 -> 005 ...
//   ./data/story-start.dat: error: episode 3 has no start record ...
//   kep-check: 1 error, 0 warnings
//
// Findings are printed in file order (the order the files are declared in),
// then line order, a finding about a whole file before its lines; a note
// follows the finding it belongs to.
#ifndef KEP_TOOLS_KEP_CHECK_DIAGNOSTICS_H_
#define KEP_TOOLS_KEP_CHECK_DIAGNOSTICS_H_

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

namespace kep::check {

enum class Severity { kError, kWarning, kNote };

struct Diagnostic {
  Severity severity;
  int file_order;  // sorts the files: 0-3 the story files, 4 the map
  std::string path;
  std::size_t line;  // 1-based; 0 for the file as a whole
  std::string message;
  std::vector<Diagnostic> notes;  // printed right after this one
};

class Diagnostics {
 public:
  /// Records a finding and returns it, so that notes can be attached.
  /// The reference stays valid until the next add().
  Diagnostic& add(Severity severity, int file_order, std::string path,
                  std::size_t line, std::string message);

  /// Attaches a note to `to`.
  static void note(Diagnostic& to, std::string path, std::size_t line,
                   std::string message);

  int errors() const;
  int warnings() const;

  /// The findings sorted by file and line (stable), each followed by its
  /// notes.
  std::vector<Diagnostic> sorted() const;

  /// Every finding as "path:line: kind: message", sorted, then the summary
  /// line "<program>: N errors, M warnings".
  void print(std::ostream& out, const char* program) const;

 private:
  std::vector<Diagnostic> all_;
};

/// "path:line: error: message" (or "path: error: message" for line 0).
std::string format_diagnostic(const Diagnostic& d);

}  // namespace kep::check

#endif  // KEP_TOOLS_KEP_CHECK_DIAGNOSTICS_H_
