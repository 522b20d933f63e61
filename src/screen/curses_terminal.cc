// ncurses on /dev/tty, and the signal flags that the reading loop acts on.
#include "screen/curses_terminal.h"

#include <curses.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <term.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "frame/run_stop.h"

namespace kep {

namespace {

// Set by the handlers, cleared by the reading loop.
volatile std::sig_atomic_t g_stop_signal = 0;
volatile std::sig_atomic_t g_suspend = 0;
volatile std::sig_atomic_t g_resize = 0;
volatile std::sig_atomic_t g_resumed = 0;
// The handlers write a byte here so that a wait in poll() wakes at once.
int g_wake[2] = {-1, -1};

void on_signal(int signal_number) {
  const int saved_errno = errno;
  switch (signal_number) {
    case SIGTSTP: g_suspend = 1; break;
    case SIGWINCH: g_resize = 1; break;
    case SIGCONT: g_resumed = 1; break;
    default:
      if (g_stop_signal == 0) g_stop_signal = signal_number;
      break;
  }
  if (g_wake[1] >= 0) {
    const char byte = 0;
    [[maybe_unused]] ssize_t n = write(g_wake[1], &byte, 1);
  }
  errno = saved_errno;
}

struct Handler {
  int signal_number;
  bool keep_if_ignored;  // a signal ignored at start stays ignored
  bool installed;
  struct sigaction previous;
};

Handler g_handlers[] = {
    {SIGINT, true, false, {}},   {SIGTERM, true, false, {}},
    {SIGHUP, true, false, {}},   {SIGQUIT, true, false, {}},
    {SIGTSTP, true, false, {}},  {SIGWINCH, false, false, {}},
    {SIGCONT, false, false, {}},
};

void install_handlers() {
  if (g_wake[0] < 0 && pipe2(g_wake, O_NONBLOCK | O_CLOEXEC) != 0)
    g_wake[0] = g_wake[1] = -1;
  g_stop_signal = 0;
  g_suspend = 0;
  g_resize = 0;
  g_resumed = 0;
  for (Handler& h : g_handlers) {
    struct sigaction current {};
    sigaction(h.signal_number, nullptr, &current);
    if (h.keep_if_ignored && current.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    h.installed = sigaction(h.signal_number, &action, &h.previous) == 0;
  }
}

void restore_handlers() {
  for (Handler& h : g_handlers) {
    if (h.installed) sigaction(h.signal_number, &h.previous, nullptr);
    h.installed = false;
  }
}

void drain_wake_pipe() {
  char buffer[64];
  while (g_wake[0] >= 0 && read(g_wake[0], buffer, sizeof buffer) > 0) {
  }
}

Key translate(int ch) {
  switch (ch) {
    case '\n':
    case '\r':
    case KEY_ENTER: return {KeyKind::kEnter, 0};
    case KEY_BACKSPACE:
    case KEY_DC:
    case 0x7f:
    case '\b': return {KeyKind::kErase, 0};
    case KEY_UP: return {KeyKind::kLineUp, 0};
    case KEY_DOWN: return {KeyKind::kLineDown, 0};
    case KEY_PPAGE: return {KeyKind::kPageUp, 0};
    case KEY_NPAGE: return {KeyKind::kPageDown, 0};
    case KEY_RESIZE: return {KeyKind::kResized, 0};
  }
  if (ch >= 0 && ch <= 0xff) return {KeyKind::kCharacter, ch};
  return {KeyKind::kOther, 0};
}

}  // namespace

void CursesTerminal::start() {
  if (screen_ != nullptr) return;
  fd_ = open(device_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd_ < 0)
    stop_run(
        1, "cannot open the terminal " + device_ + ": " + std::strerror(errno));
  // The terminal type must be known and able to move the cursor; check
  // before full-screen mode so that nothing is drawn on a failure.
  const char* term = std::getenv("TERM");
  const std::string type = term != nullptr ? term : "";
  int error = 0;
  if (setupterm(nullptr, fd_, &error) != OK) {
    close_device();
    stop_run(1, "unknown terminal type \"" +
                    report_text(type.data(), type.size()) + "\" (set TERM)");
  }
  const char* cup = tigetstr("cup");
  const bool moves_cursor =
      cup != nullptr && cup != reinterpret_cast<char*>(-1);
  del_curterm(cur_term);
  if (!moves_cursor) {
    close_device();
    stop_run(1, "the terminal type \"" + report_text(type.data(), type.size()) +
                    "\" cannot move the cursor");
  }
  file_ = fdopen(fd_, "r+");
  if (file_ == nullptr) {
    close_device();
    stop_run(
        1, "cannot use the terminal " + device_ + ": " + std::strerror(errno));
  }
  // Our handlers go in first: curses leaves alone the signals that already
  // have one.
  install_handlers();
  SCREEN* screen = newterm(nullptr, file_, file_);
  if (screen == nullptr) {
    restore_handlers();
    close_device();
    stop_run(1, "cannot start full-screen mode on " + device_);
  }
  screen_ = screen;
  set_term(screen);
  cbreak();
  noecho();
  keypad(stdscr, TRUE);
  nodelay(stdscr, TRUE);  // read_key() waits in poll(), not in curses
  typeahead(-1);          // always finish a screen, keys or not
  set_escdelay(100);      // a lone Esc is ignored anyway: wait little for it
  input_ended_ = false;
  empty_reads_ = 0;
}

void CursesTerminal::end() {
  if (screen_ != nullptr) {
    curs_set(1);
    endwin();
    delscreen(static_cast<SCREEN*>(screen_));
    screen_ = nullptr;
    restore_handlers();
  }
  close_device();
}

void CursesTerminal::close_device() {
  if (file_ != nullptr) {
    std::fclose(file_);  // closes fd_ too
  } else if (fd_ >= 0) {
    close(fd_);
  }
  file_ = nullptr;
  fd_ = -1;
}

TerminalSize CursesTerminal::size() const { return {LINES, COLS}; }

void CursesTerminal::present(const Grid& grid, int top, int left, Cell cursor,
                             bool repaint) {
  if (screen_ == nullptr) return;
  if (repaint) clearok(curscr, TRUE);
  std::string row(static_cast<std::size_t>(std::max(COLS, 0)), ' ');
  for (int y = 0; y < LINES; ++y) {
    for (int x = 0; x < COLS; ++x) row[x] = grid.at(top + y, left + x);
    // The bottom right cell is written although curses reports it can't
    // move past it.
    mvwaddnstr(stdscr, y, 0, row.data(), COLS);
  }
  if (cursor.line != 0) {
    leaveok(stdscr, FALSE);
    curs_set(1);
    wmove(stdscr, cursor.line - 1, cursor.column - 1);
  } else {
    leaveok(stdscr, TRUE);
    curs_set(0);
  }
  wnoutrefresh(stdscr);
  doupdate();
}

Key CursesTerminal::read_key() {
  for (;;) {
    // Flags first: a signal that came while we drew or ran the trace is
    // acted on now.
    if (g_stop_signal != 0) return {KeyKind::kStopSignal, g_stop_signal};
    if (g_suspend != 0) {
      g_suspend = 0;
      return {KeyKind::kSuspend, 0};
    }
    if (g_resize != 0) {
      g_resize = 0;
      take_size();
      return {KeyKind::kResized, 0};
    }
    if (g_resumed != 0) {
      g_resumed = 0;
      return {KeyKind::kResumed, 0};
    }
    if (screen_ == nullptr) return {KeyKind::kEndOfInput, 0};
    const int ch = wgetch(stdscr);  // never waits: nodelay
    if (ch != ERR) {
      empty_reads_ = 0;
      return translate(ch);
    }
    if (input_ended_) return {KeyKind::kEndOfInput, 0};
    pollfd fds[2] = {{fd_, POLLIN, 0}, {g_wake[0], POLLIN, 0}};
    const int ready = poll(fds, g_wake[0] >= 0 ? 2 : 1, -1);
    if (ready < 0) {
      if (errno == EINTR) continue;
      return {KeyKind::kEndOfInput, 0};
    }
    if (fds[1].revents != 0) drain_wake_pipe();
    // A hang-up ends the input once what was typed before it is read. A
    // terminal that reports input but yields no key sees end of file or a
    // failing read: a few of those in a row end the input too.
    if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) input_ended_ = true;
    if ((fds[0].revents & POLLIN) && ++empty_reads_ > 2) input_ended_ = true;
  }
}

void CursesTerminal::suspend() {
  if (screen_ == nullptr) return;
  curs_set(1);
  endwin();
  // Stop with the default action, as if we had no handler; on return the
  // handler goes back in.
  struct sigaction stop {
  }, ours{};
  stop.sa_handler = SIG_DFL;
  sigemptyset(&stop.sa_mask);
  sigaction(SIGTSTP, &stop, &ours);
  raise(SIGTSTP);
  sigaction(SIGTSTP, &ours, nullptr);
  g_resumed = 0;  // our own resume: the caller repaints
  take_size();
}

void CursesTerminal::take_size() {
  winsize size{};
  if (screen_ != nullptr && ioctl(fd_, TIOCGWINSZ, &size) == 0 &&
      size.ws_row > 0 && size.ws_col > 0)
    resizeterm(size.ws_row, size.ws_col);
}

}  // namespace kep
