// Display and accept on a real (or fake) terminal.
#include "screen/terminal_screen_layer.h"

#include <algorithm>
#include <csignal>
#include <string>

#include "frame/run_stop.h"

namespace kep {

std::string signal_report(int signal_number) {
  switch (signal_number) {
    case SIGINT: return "stopped by SIGINT";
    case SIGTERM: return "stopped by SIGTERM";
    case SIGHUP: return "stopped by SIGHUP: the terminal hung up";
    case SIGQUIT: return "stopped by SIGQUIT";
  }
  return "stopped by signal " + std::to_string(signal_number);
}

void TerminalScreenLayer::display(ScreenId screen) {
  start_once();
  draw(screen);
  present();
}

void TerminalScreenLayer::accept(ScreenId screen, GameState& ws) {
  start_once();
  ScreenDefinition& definition = screens_[screen];
  // 1. Copy-in.
  definition.copy_in(ws);
  // 2. Draw.
  draw(screen);
  // 3. Read the input field; a screen without one does not wait.
  if (definition.has_input()) {
    read_input(definition);
  } else {
    present();
  }
  // 4. Copy-out.
  definition.copy_out(ws);
}

void TerminalScreenLayer::start_once() {
  if (started_) return;
  started_ = true;
  terminal_.start();
}

void TerminalScreenLayer::draw(ScreenId screen) {
  Drawing drawing = draw_screen(screens_[screen], grid_);
  if (drawing.cleared) {
    // A new screen: show it from its top left, and repaint every cell,
    // whatever was written to the terminal since the last present.
    repaint_ = true;
    top_ = 1;
    left_ = 1;
  }
  input_ = drawing.input;
  if (input_.line != 0) keep_in_view(input_);
  clamp_window();
}

void TerminalScreenLayer::read_input(ScreenDefinition& screen) {
  const bool digit = screen.input_item().field_class == FieldClass::kDigits;
  bool typed = false;  // a key changed the field during this accept
  present();
  for (;;) {
    Key key = terminal_.read_key();
    const int page = std::max(1, terminal_.size().lines - 1);
    switch (key.kind) {
      case KeyKind::kCharacter:
        if (digit ? key.value >= '0' && key.value <= '9'
                  : key.value >= 0x20 && key.value <= 0x7e) {
          fill_input(screen, static_cast<char>(key.value));
          typed = true;
        }
        break;
      case KeyKind::kErase:
        fill_input(screen, ' ');
        typed = true;
        break;
      case KeyKind::kEnter:
        // A digit left from an earlier accept is shown, but Enter alone
        // does not choose it again: the field empties and delivers 0, which
        // every caller refuses, so a stray Enter never repeats an old choice
        // or turns a page.
        if (digit && !typed) screen.set_input(' ');
        input_ = {};
        return;
      case KeyKind::kLineUp: scroll(-1); break;
      case KeyKind::kLineDown: scroll(1); break;
      case KeyKind::kPageUp: scroll(-page); break;
      case KeyKind::kPageDown: scroll(page); break;
      case KeyKind::kOther: break;
      case KeyKind::kSuspend: terminal_.suspend(); [[fallthrough]];
      case KeyKind::kResized:
      case KeyKind::kResumed:
        keep_in_view(input_);
        repaint_ = true;
        present();
        break;
      case KeyKind::kStopSignal:
        stop_run(128 + key.value, signal_report(key.value));
      case KeyKind::kEndOfInput:
        stop_run(1, "end of input: the terminal is gone");
    }
  }
}

void TerminalScreenLayer::fill_input(ScreenDefinition& screen, char c) {
  screen.set_input(c);
  grid_.put(input_.line, input_.column, c);
  keep_in_view(input_);
  present();
}

void TerminalScreenLayer::present() {
  Cell cursor;  // hidden unless the input cell is in the window
  TerminalSize size = terminal_.size();
  if (input_.line >= top_ && input_.line < top_ + size.lines &&
      input_.column >= left_ && input_.column < left_ + size.columns)
    cursor = {input_.line - top_ + 1, input_.column - left_ + 1};
  terminal_.present(grid_, top_, left_, cursor, repaint_);
  repaint_ = false;
}

void TerminalScreenLayer::keep_in_view(Cell cell) {
  if (cell.line == 0) return;
  TerminalSize size = terminal_.size();
  const int lines = std::max(1, size.lines);
  const int columns = std::max(1, size.columns);
  if (cell.line < top_) top_ = cell.line;
  if (cell.line >= top_ + lines) top_ = cell.line - lines + 1;
  if (cell.column < left_) left_ = cell.column;
  if (cell.column >= left_ + columns) left_ = cell.column - columns + 1;
  clamp_window();
}

void TerminalScreenLayer::scroll(int lines) {
  top_ += lines;
  clamp_window();
  present();
}

void TerminalScreenLayer::clamp_window() {
  TerminalSize size = terminal_.size();
  const int height = std::max(grid_.extent(), input_.line);
  const int max_top = std::max(1, height - std::max(1, size.lines) + 1);
  const int max_left =
      std::max(1, kScreenColumns - std::max(1, size.columns) + 1);
  top_ = std::clamp(top_, 1, max_top);
  left_ = std::clamp(left_, 1, max_left);
}

}  // namespace kep
