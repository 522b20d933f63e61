// PtyGame: the real kep binary in a pseudo-terminal, its screen read back
// through a terminal emulator (libvterm). Keys are typed into the terminal,
// standard output (the trace) and standard error (the report) are captured
// apart, and every wait is for a condition with a time limit, never a sleep.
#ifndef KEP_TESTS_E2E_PTY_GAME_H_
#define KEP_TESTS_E2E_PTY_GAME_H_

#include <sys/types.h>
#include <termios.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kep::e2e {

struct GameOptions {
  std::string directory;  // the working directory: where data/ is looked for
  int lines = 40;
  int columns = 80;
  bool ignore_sighup = false;  // start kep with SIGHUP ignored, as nohup does
  std::string term = "xterm";  // TERM
  bool detach = false;  // start kep without a controlling terminal
};

class PtyGame {
 public:
  explicit PtyGame(const GameOptions& options);
  ~PtyGame();
  PtyGame(const PtyGame&) = delete;
  PtyGame& operator=(const PtyGame&) = delete;

  /// Types bytes into the terminal, as the player's keyboard does.
  void type(const std::string& keys);
  /// Pumps the terminal until `done` holds or `seconds` pass; false on time.
  bool wait_for(const std::function<bool()>& done, double seconds = 5);
  /// Waits until screen line `line` (from 1, trailing spaces removed) is
  /// exactly `text`.
  bool wait_for_line(int line, const std::string& text, double seconds = 5);
  /// Waits until line `line` is `text` and the cursor stands at `cursor_line`,
  /// `cursor_column`: kep moves the cursor to the input cell last, so the
  /// whole screen has arrived.
  bool wait_for_input(int line, const std::string& text, int cursor_line,
                      int cursor_column, double seconds = 5);
  /// Waits until the process has ended; its exit status, or -1 when it
  /// did not end in time or ended by a signal.
  int wait_exit(double seconds = 5);

  /// Screen line (from 1), trailing spaces removed.
  std::string line(int line) const;
  /// The whole screen, one line per row.
  std::string screen() const;
  /// The cursor, counting from line 1, column 1.
  int cursor_line() const;
  int cursor_column() const;
  bool cursor_visible() const;
  bool alternate_screen() const;
  /// The terminal's modes as kep left them (read through the master side).
  termios modes() const;

  const std::string& trace() const { return stdout_; }
  const std::string& errors() const { return stderr_; }
  pid_t pid() const { return pid_; }
  bool running() const { return pid_ > 0 && !exited_; }

  /// Changes the terminal's size; kep receives SIGWINCH.
  void resize(int lines, int columns);
  /// Closes the terminal, as closing a terminal window does.
  void close_terminal();

 private:
  struct Emulator;
  void pump(int timeout_ms);
  void reap();

  pid_t pid_ = -1;
  int master_ = -1;
  int stdout_fd_ = -1;
  int stderr_fd_ = -1;
  bool exited_ = false;
  int status_ = 0;
  std::unique_ptr<Emulator> emulator_;
  std::string stdout_;
  std::string stderr_;
};

/// Text split at line feeds; a last line without one counts too.
std::vector<std::string> split_lines(const std::string& text);

}  // namespace kep::e2e

#endif  // KEP_TESTS_E2E_PTY_GAME_H_
