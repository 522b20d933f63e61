#include "screen/fake_terminal.h"

namespace kep {

void FakeTerminal::present(const Grid& grid, int top, int left, Cell cursor,
                           bool repaint) {
  screen_.assign(static_cast<std::size_t>(size_.lines),
                 std::string(static_cast<std::size_t>(size_.columns), ' '));
  for (int y = 0; y < size_.lines; ++y)
    for (int x = 0; x < size_.columns; ++x)
      screen_[y][x] = grid.at(top + y, left + x);
  cursor_ = cursor;
  top_ = top;
  left_ = left;
  windows_.push_back({top, left, cursor, line(1)});
  ++presents_;
  if (repaint) ++repaints_;
}

Key FakeTerminal::read_key() {
  if (keys_.empty()) return {KeyKind::kEndOfInput, 0};
  Key key = keys_.front();
  keys_.pop_front();
  return key;
}

void FakeTerminal::type(const std::string& text) {
  for (char c : text) {
    if (c == '\n') {
      push(KeyKind::kEnter);
    } else {
      push(KeyKind::kCharacter, static_cast<unsigned char>(c));
    }
  }
}

std::string FakeTerminal::line(int terminal_line) const {
  if (terminal_line < 1 || terminal_line > static_cast<int>(screen_.size()))
    return "";
  std::string text = screen_[terminal_line - 1];
  return text.erase(text.find_last_not_of(' ') + 1);
}

}  // namespace kep
