// The real terminal: ncurses on the controlling terminal, /dev/tty, so that
// standard output stays free for the trace lines (`kep > trace.log` plays
// normally). The only file of Kep that includes the curses headers is
// curses_terminal.cc.
//
// Input is read in cbreak mode with keypad decoding, so Ctrl-C and Ctrl-Z
// still raise their signals. The signal handlers installed by start() only
// set a flag and wake the reading loop through a pipe; read_key() turns the
// flags into events:
//   SIGINT, SIGTERM, SIGHUP, SIGQUIT
//                            kStopSignal (a signal ignored at start stays
//                            ignored, as under nohup)
//   SIGTSTP                  kSuspend
//   SIGWINCH                 kResized, after taking the new size
//   SIGCONT                  kResumed
// A terminal that hangs up or whose reads keep failing gives kEndOfInput
// instead of waiting or spinning.
#ifndef KEP_SCREEN_CURSES_TERMINAL_H_
#define KEP_SCREEN_CURSES_TERMINAL_H_

#include <cstdio>
#include <string>

#include "screen/terminal.h"

namespace kep {

class CursesTerminal : public Terminal {
 public:
  /// `device`: the terminal to draw on and read from.
  explicit CursesTerminal(std::string device = "/dev/tty")
      : device_(std::move(device)) {}
  ~CursesTerminal() override { end(); }
  CursesTerminal(const CursesTerminal&) = delete;
  CursesTerminal& operator=(const CursesTerminal&) = delete;

  /// Fails (stop_run, status 1) when the device cannot be opened, the
  /// terminal type is unknown, or it cannot move the cursor; nothing is
  /// drawn then.
  void start() override;
  void end() override;
  TerminalSize size() const override;
  void present(const Grid& grid, int top, int left, Cell cursor,
               bool repaint) override;
  Key read_key() override;
  void suspend() override;

 private:
  void take_size();
  void close_device();

  std::string device_;
  int fd_ = -1;
  std::FILE* file_ = nullptr;
  void* screen_ = nullptr;  // the curses SCREEN
  bool input_ended_ = false;
  int empty_reads_ = 0;  // reads that found the terminal readable but no key
};

}  // namespace kep

#endif  // KEP_SCREEN_CURSES_TERMINAL_H_
