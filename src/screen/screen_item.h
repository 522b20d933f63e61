// Screen items: the constant building blocks of a screen definition. A
// screen is a flat, ordered list of items; the layout engine places each one
// from its line and column clauses and the cursor left by the item before.
//
//   kind          content                    clauses that occur
//   literal       its text, every character  column n (or none when first)
//   output field  `width` cells, shows its    none
//                 bound working field
//   input field   one cell, fills its bound   none
//                 working field
//   position      nothing: moves the cursor  line n, line +n, column n, or
//                                            line +n with column n
//   blank screen  clears the whole screen    none
//
// Lines and columns count from 1. A line clause alone keeps the cursor's
// column; a missing column clause keeps the column too.
#ifndef KEP_SCREEN_SCREEN_ITEM_H_
#define KEP_SCREEN_SCREEN_ITEM_H_

#include <span>
#include <string_view>

#include "state/game_state.h"

namespace kep {

enum class ItemKind : unsigned char {
  kLiteral,
  kOutputField,
  kInputField,
  kPosition,
  kBlankScreen,
};

/// Whether a field holds characters or unsigned decimal digits.
enum class FieldClass : unsigned char { kCharacters, kDigits };

enum class LineClause : unsigned char { kNone, kAbsolute, kRelative };

/// The working field a field shows or fills, as a span of the record so its
/// width can be checked against the field's.
using Binding = std::span<char> (*)(GameState& ws);

struct ScreenItem {
  ItemKind kind = ItemKind::kPosition;
  std::string_view text;  // literals only
  int width = 0;          // fields only: number of cells
  FieldClass field_class = FieldClass::kCharacters;
  LineClause line_clause = LineClause::kNone;
  int line = 0;    // absolute line, or lines down for a relative clause
  int column = 0;  // absolute column; 0 = no column clause
  Binding binding = nullptr;  // fields only

  bool is_field() const {
    return kind == ItemKind::kOutputField || kind == ItemKind::kInputField;
  }
};

// Constructors that read like the item lists of the screens.

/// A literal with no clauses: it goes on right where the cursor stands.
constexpr ScreenItem literal(std::string_view text) {
  ScreenItem item;
  item.kind = ItemKind::kLiteral;
  item.text = text;
  return item;
}
/// A literal with a column clause.
constexpr ScreenItem literal_at(int column, std::string_view text) {
  ScreenItem item = literal(text);
  item.column = column;
  return item;
}
/// Position item: line +n and, when given, column n.
constexpr ScreenItem line_plus_column(int n, int column) {
  ScreenItem item;
  item.line_clause = LineClause::kRelative;
  item.line = n;
  item.column = column;
  return item;
}
/// Position item: line +n, column unchanged.
constexpr ScreenItem line_plus(int n) { return line_plus_column(n, 0); }
/// Position item: line n, column unchanged.
constexpr ScreenItem line_at(int n) {
  ScreenItem item;
  item.line_clause = LineClause::kAbsolute;
  item.line = n;
  return item;
}
/// Position item: column n on the cursor's line.
constexpr ScreenItem column_at(int column) {
  ScreenItem item;
  item.column = column;
  return item;
}
constexpr ScreenItem output_field(int width, FieldClass field_class,
                                  Binding binding) {
  ScreenItem item;
  item.kind = ItemKind::kOutputField;
  item.width = width;
  item.field_class = field_class;
  item.binding = binding;
  return item;
}
/// Every input field is one cell wide.
constexpr ScreenItem input_field(FieldClass field_class, Binding binding) {
  ScreenItem item = output_field(1, field_class, binding);
  item.kind = ItemKind::kInputField;
  return item;
}
constexpr ScreenItem blank_screen() {
  ScreenItem item;
  item.kind = ItemKind::kBlankScreen;
  return item;
}

}  // namespace kep

#endif  // KEP_SCREEN_SCREEN_ITEM_H_
