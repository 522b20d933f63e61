// A terminal for tests: keeps what was last presented as lines of text, plays
// a script of keys and events, and counts what happened. When the script
// runs out, read_key() reports the end of input, as a closed terminal does.
#ifndef KEP_SCREEN_FAKE_TERMINAL_H_
#define KEP_SCREEN_FAKE_TERMINAL_H_

#include <deque>
#include <string>
#include <vector>

#include "screen/terminal.h"

namespace kep {

class FakeTerminal : public Terminal {
 public:
  explicit FakeTerminal(TerminalSize size = {40, 80}) : size_(size) {}

  void start() override { ++starts_; }
  void end() override { ++ends_; }
  TerminalSize size() const override { return size_; }
  void present(const Grid& grid, int top, int left, Cell cursor,
               bool repaint) override;
  Key read_key() override;
  void suspend() override { ++suspends_; }

  /// Queues keys: each character of `text` as typed, '\n' as Enter.
  void type(const std::string& text);
  void push(KeyKind kind, int value = 0) { keys_.push_back({kind, value}); }

  /// The terminal's lines as last presented, trailing spaces removed.
  std::string line(int terminal_line) const;

  /// One entry per present, oldest first.
  struct Window {
    int top;
    int left;
    Cell cursor;
    std::string first_line;  // the terminal's line 1, trailing spaces removed
  };

  TerminalSize size_;
  std::deque<Key> keys_;
  std::vector<std::string> screen_;  // size_.lines strings of size_.columns
  std::vector<Window> windows_;
  Cell cursor_;                      // as last presented; line 0 = hidden
  int top_ = 0;                      // the window of the last present
  int left_ = 0;
  int starts_ = 0;
  int ends_ = 0;
  int presents_ = 0;
  int repaints_ = 0;
  int suspends_ = 0;
};

}  // namespace kep

#endif  // KEP_SCREEN_FAKE_TERMINAL_H_
