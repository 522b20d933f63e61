// The layout engine: draws a screen definition onto a logical grid 80
// columns wide by the cursor rules, with no I/O. The terminal backend only
// presents the grid; tests read it cell by cell.
//
// Cursor rules, for each item in order:
//   blank screen  clear the grid, cursor to line 1, column 1
//   line          absolute n -> n; relative +n -> cursor line + n; none ->
//                 cursor line
//   column        absolute n -> n; none -> cursor column (so a line clause
//                 alone keeps the column)
//   then write the item's characters; each moves the cursor one column to
//   the right, and after column 80 to column 1 of the next line.
// A draw starts at line 1, column 1 and clears nothing by itself.
#ifndef KEP_SCREEN_LAYOUT_H_
#define KEP_SCREEN_LAYOUT_H_

#include <string>

#include "screen/screen_definitions.h"

namespace kep {

inline constexpr int kScreenColumns = 80;
/// Lines of the logical grid: the tallest screen uses 40 at 80 columns.
/// Anything below is dropped.
inline constexpr int kScreenLines = 48;

/// A position on the grid, counting from 1. Line 0 means no position.
struct Cell {
  int line = 0;
  int column = 0;
  bool operator==(const Cell&) const = default;
};

/// The logical screen: kScreenLines x kScreenColumns character cells.
class Grid {
 public:
  Grid() { clear(); }

  /// All cells blank; nothing drawn.
  void clear();
  /// The character of a cell; a space outside the grid.
  char at(int line, int column) const;
  /// Writes one character. A byte that is not printable ASCII is stored as
  /// "?", so no data byte can reach the terminal as a control. Positions
  /// outside the grid are dropped.
  void put(int line, int column, char c);
  /// The 80 cells of a line.
  std::string text(int line) const;
  /// The lowest line that a drawing has reached since the last clear (0
  /// when none): the height of what is on the screen.
  int extent() const { return extent_; }
  void reach(int line);

 private:
  char cells_[kScreenLines][kScreenColumns];
  int extent_ = 0;
};

struct Drawing {
  bool cleared = false;  // a blank-screen item ran
  Cell input;            // the input field's cell; line 0 when none
};

/// Draws `screen` with its current field contents onto `grid`.
Drawing draw_screen(const ScreenDefinition& screen, Grid& grid);

}  // namespace kep

#endif  // KEP_SCREEN_LAYOUT_H_
