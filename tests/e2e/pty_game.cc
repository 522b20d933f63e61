#include "pty_game.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vterm.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#ifndef KEP_BINARY
#error "KEP_BINARY must name the kep executable"
#endif

namespace kep::e2e {

// The emulator: a libvterm screen fed with everything kep writes to the
// terminal, answering the terminal's replies back into it.
struct PtyGame::Emulator {
  VTerm* vterm = nullptr;
  VTermScreen* screen = nullptr;
  VTermScreenCallbacks callbacks{};
  bool cursor_visible = true;
  bool alternate_screen = false;
  int master = -1;

  static int on_termprop(VTermProp prop, VTermValue* value, void* user) {
    auto* self = static_cast<Emulator*>(user);
    if (prop == VTERM_PROP_CURSORVISIBLE) self->cursor_visible = value->boolean;
    if (prop == VTERM_PROP_ALTSCREEN) self->alternate_screen = value->boolean;
    return 1;
  }
  static void on_output(const char* bytes, size_t length, void* user) {
    auto* self = static_cast<Emulator*>(user);
    if (self->master >= 0) [[maybe_unused]]
      ssize_t n = write(self->master, bytes, length);
  }
};

namespace {

void set_nonblocking(int fd) {
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}

}  // namespace

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return lines;
}

PtyGame::PtyGame(const GameOptions& options) : emulator_(new Emulator) {
  int out[2], err[2];
  if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0)
    throw std::runtime_error("pipe");
  winsize size{};
  size.ws_row = static_cast<unsigned short>(options.lines);
  size.ws_col = static_cast<unsigned short>(options.columns);
  pid_ = forkpty(&master_, nullptr, nullptr, &size);
  if (pid_ < 0) throw std::runtime_error("forkpty");
  if (pid_ == 0) {
    // The child: its controlling terminal is the pty, so kep's /dev/tty is
    // the emulator; standard output and error go to the pipes.
    dup2(out[1], STDOUT_FILENO);
    dup2(err[1], STDERR_FILENO);
    if (chdir(options.directory.c_str()) != 0) _exit(126);
    setenv("TERM", options.term.c_str(), 1);
    unsetenv("LINES");
    unsetenv("COLUMNS");
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGTSTP, SIGWINCH, SIGCONT,
                  SIGPIPE})
      signal(s, SIG_DFL);
    if (options.detach) {
      // Giving up the terminal hangs up our own process group: ignore that.
      signal(SIGHUP, SIG_IGN);
      ioctl(STDIN_FILENO, TIOCNOTTY);
      signal(SIGHUP, SIG_DFL);
    }
    if (options.ignore_sighup) signal(SIGHUP, SIG_IGN);
    execl(KEP_BINARY, "kep", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  stdout_fd_ = out[0];
  stderr_fd_ = err[0];
  set_nonblocking(master_);
  set_nonblocking(stdout_fd_);
  set_nonblocking(stderr_fd_);

  Emulator& e = *emulator_;
  e.master = master_;
  e.vterm = vterm_new(options.lines, options.columns);
  vterm_set_utf8(e.vterm, 1);
  vterm_output_set_callback(e.vterm, &Emulator::on_output, &e);
  e.screen = vterm_obtain_screen(e.vterm);
  e.callbacks.settermprop = &Emulator::on_termprop;
  vterm_screen_set_callbacks(e.screen, &e.callbacks, &e);
  vterm_screen_enable_altscreen(e.screen, 1);
  vterm_screen_reset(e.screen, 1);
}

PtyGame::~PtyGame() {
  if (running()) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  for (int fd : {master_, stdout_fd_, stderr_fd_})
    if (fd >= 0) close(fd);
  vterm_free(emulator_->vterm);
}

void PtyGame::type(const std::string& keys) {
  if (master_ >= 0) [[maybe_unused]]
    ssize_t n = write(master_, keys.data(), keys.size());
}

void PtyGame::pump(int timeout_ms) {
  pollfd fds[3] = {
      {master_, POLLIN, 0}, {stdout_fd_, POLLIN, 0}, {stderr_fd_, POLLIN, 0}};
  poll(fds, 3, timeout_ms);
  char buffer[8192];
  ssize_t n;
  if (master_ >= 0)
    while ((n = read(master_, buffer, sizeof buffer)) > 0)
      vterm_input_write(emulator_->vterm, buffer, static_cast<size_t>(n));
  if (stdout_fd_ >= 0)
    while ((n = read(stdout_fd_, buffer, sizeof buffer)) > 0)
      stdout_.append(buffer, n);
  if (stderr_fd_ >= 0)
    while ((n = read(stderr_fd_, buffer, sizeof buffer)) > 0)
      stderr_.append(buffer, n);
  reap();
}

void PtyGame::reap() {
  if (exited_ || pid_ <= 0) return;
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) == pid_ &&
      (WIFEXITED(status) || WIFSIGNALED(status))) {
    exited_ = true;
    status_ = status;
  }
}

bool PtyGame::wait_for(const std::function<bool()>& done, double seconds) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
  for (;;) {
    if (done()) return true;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - Clock::now());
    if (left.count() <= 0) return false;
    // Short slices: a child that ends makes no output to wake the poll.
    pump(static_cast<int>(std::min<long>(left.count(), 20)));
  }
}

bool PtyGame::wait_for_line(int line_number, const std::string& text,
                            double seconds) {
  return wait_for([&] { return line(line_number) == text; }, seconds);
}

bool PtyGame::wait_for_input(int line_number, const std::string& text,
                             int cursor_line_number, int cursor_column_number,
                             double seconds) {
  return wait_for(
      [&] {
        return line(line_number) == text &&
               cursor_line() == cursor_line_number &&
               cursor_column() == cursor_column_number;
      },
      seconds);
}

int PtyGame::wait_exit(double seconds) {
  // Read what is left on the pipes too: the report comes last.
  bool ended = wait_for([&] { return exited_; }, seconds);
  pump(0);
  if (!ended || !WIFEXITED(status_)) return -1;
  return WEXITSTATUS(status_);
}

std::string PtyGame::line(int line_number) const {
  int lines = 0, columns = 0;
  vterm_get_size(emulator_->vterm, &lines, &columns);
  std::string text;
  for (int column = 0; column < columns; ++column) {
    VTermScreenCell cell{};
    vterm_screen_get_cell(emulator_->screen, VTermPos{line_number - 1, column},
                          &cell);
    uint32_t ch = cell.chars[0];
    if (ch == 0) {
      text += ' ';
    } else if (ch < 0x80) {
      text += static_cast<char>(ch);
    } else {
      text += '\x01';  // kep sends nothing beyond ASCII: make it stand out
    }
  }
  return text.erase(text.find_last_not_of(' ') + 1);
}

std::string PtyGame::screen() const {
  int lines = 0, columns = 0;
  vterm_get_size(emulator_->vterm, &lines, &columns);
  std::string text;
  for (int l = 1; l <= lines; ++l) text += line(l) + "\n";
  return text;
}

int PtyGame::cursor_line() const {
  VTermPos pos{};
  vterm_state_get_cursorpos(vterm_obtain_state(emulator_->vterm), &pos);
  return pos.row + 1;
}

int PtyGame::cursor_column() const {
  VTermPos pos{};
  vterm_state_get_cursorpos(vterm_obtain_state(emulator_->vterm), &pos);
  return pos.col + 1;
}

bool PtyGame::cursor_visible() const { return emulator_->cursor_visible; }
bool PtyGame::alternate_screen() const { return emulator_->alternate_screen; }

termios PtyGame::modes() const {
  termios modes{};
  tcgetattr(master_, &modes);
  return modes;
}

void PtyGame::resize(int lines, int columns) {
  winsize size{};
  size.ws_row = static_cast<unsigned short>(lines);
  size.ws_col = static_cast<unsigned short>(columns);
  vterm_set_size(emulator_->vterm, lines, columns);
  ioctl(master_, TIOCSWINSZ, &size);
}

void PtyGame::close_terminal() {
  // Read what is there first, so the screen shows what kep drew.
  pump(0);
  close(master_);
  master_ = -1;
  emulator_->master = -1;
}

}  // namespace kep::e2e
