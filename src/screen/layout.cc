// Drawing screen definitions onto the logical grid.
#include "screen/layout.h"

#include <algorithm>
#include <cstring>

namespace kep {

void Grid::clear() {
  std::memset(cells_, ' ', sizeof cells_);
  extent_ = 0;
}

char Grid::at(int line, int column) const {
  if (line < 1 || line > kScreenLines || column < 1 || column > kScreenColumns)
    return ' ';
  return cells_[line - 1][column - 1];
}

void Grid::put(int line, int column, char c) {
  if (line < 1 || line > kScreenLines || column < 1 || column > kScreenColumns)
    return;
  unsigned char byte = static_cast<unsigned char>(c);
  cells_[line - 1][column - 1] = byte >= 0x20 && byte <= 0x7e ? c : '?';
  reach(line);
}

std::string Grid::text(int line) const {
  std::string row(kScreenColumns, ' ');
  for (int column = 1; column <= kScreenColumns; ++column)
    row[column - 1] = at(line, column);
  return row;
}

void Grid::reach(int line) {
  extent_ = std::max(extent_, std::min(line, kScreenLines));
}

namespace {

// Writes characters from the cursor on, wrapping after the last column.
void write(Grid& grid, Cell& cursor, std::string_view chars) {
  for (char c : chars) {
    grid.put(cursor.line, cursor.column, c);
    if (cursor.column >= kScreenColumns) {
      cursor = {cursor.line + 1, 1};
    } else {
      ++cursor.column;
    }
  }
}

}  // namespace

Drawing draw_screen(const ScreenDefinition& screen, Grid& grid) {
  Drawing drawing;
  Cell cursor{1, 1};
  std::span<const ScreenItem> items = screen.items();
  for (std::size_t i = 0; i < items.size(); ++i) {
    const ScreenItem& item = items[i];
    if (item.kind == ItemKind::kBlankScreen) {
      grid.clear();
      cursor = {1, 1};
      drawing.cleared = true;
      continue;
    }
    switch (item.line_clause) {
      case LineClause::kAbsolute: cursor.line = item.line; break;
      case LineClause::kRelative: cursor.line += item.line; break;
      case LineClause::kNone: break;
    }
    if (item.column != 0) cursor.column = item.column;
    grid.reach(cursor.line);
    switch (item.kind) {
      case ItemKind::kLiteral: write(grid, cursor, item.text); break;
      case ItemKind::kInputField:
        drawing.input = cursor;
        write(grid, cursor, screen.content(i));
        break;
      case ItemKind::kOutputField:
        write(grid, cursor, screen.content(i));
        break;
      case ItemKind::kPosition:
      case ItemKind::kBlankScreen: break;
    }
  }
  return drawing;
}

}  // namespace kep
