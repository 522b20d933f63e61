// The terminal seam: what the screen layer needs of a real terminal. It
// presents a window onto the logical grid and reads keys; the layer decides
// what the keys mean. The real one is CursesTerminal (ncurses on /dev/tty);
// FakeTerminal holds a grid and a key script for tests.
#ifndef KEP_SCREEN_TERMINAL_H_
#define KEP_SCREEN_TERMINAL_H_

#include "screen/layout.h"

namespace kep {

struct TerminalSize {
  int lines = 0;
  int columns = 0;
};

/// What read_key() reports: a key the player pressed, or an event the
/// reading loop must act on (signals arrive this way, as flags the terminal
/// turns into events; their handlers do nothing else).
enum class KeyKind {
  kCharacter,   // value: the byte typed
  kEnter,
  kErase,       // Backspace or Delete
  kLineUp,
  kLineDown,
  kPageUp,
  kPageDown,
  kOther,       // any other key, function keys and escape sequences included
  kResized,     // the terminal changed size; size() has the new one
  kSuspend,     // the player asked to suspend (Ctrl-Z)
  kResumed,     // the process was continued after a stop it did not ask for
  kStopSignal,  // value: the signal that ends the run
  kEndOfInput,  // the terminal is gone: reads fail or see end of file
};

struct Key {
  KeyKind kind = KeyKind::kOther;
  int value = 0;
};

/// A full-screen terminal. Abstract so it can be mocked out for tests.
class Terminal {
 public:
  virtual ~Terminal() = default;

  /// Enters full-screen mode on a blank screen. When that cannot be done
  /// (no terminal, a terminal that cannot move the cursor) the run ends
  /// through stop_run(1, report) with nothing drawn.
  virtual void start() = 0;
  /// Gives the terminal back: primary screen, cursor shown, echo and line
  /// mode restored. Safe to call more than once and before start().
  virtual void end() = 0;

  virtual TerminalSize size() const = 0;

  /// Shows grid lines top.. and columns left.. in the terminal's top left
  /// corner; what lies outside the grid shows blank. `cursor` is where the
  /// cursor stands on the terminal, counting from line 1, column 1 of the
  /// terminal; line 0 hides it. `repaint` redraws every cell, whatever the
  /// terminal is believed to show (after other output or a suspend).
  virtual void present(const Grid& grid, int top, int left, Cell cursor,
                       bool repaint) = 0;

  /// Waits for the next key or event.
  virtual Key read_key() = 0;

  /// Gives the terminal back, stops the process until it is continued, then
  /// takes the terminal again. The caller repaints.
  virtual void suspend() = 0;
};

}  // namespace kep

#endif  // KEP_SCREEN_TERMINAL_H_
