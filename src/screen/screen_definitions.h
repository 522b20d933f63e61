// The seven screen definitions of Kep and the contents of their fields.
//
// The item lists are constant data, built once; a ScreenDefinition pairs one
// list with the contents of its fields, which last for the whole run. A
// content starts empty (all spaces) and changes only by the copy-in at the
// start of an accept (output fields) and by the player's typing (the input
// field), so an input field still shows the last character typed into it
// when its screen is accepted again.
//
//   screen                    items  lines at 80 columns  input cell
//   CLEAR-SCREEN                  1  none                 none
//   TITLE-SCREEN                 44  1-31                 31/1   character
//   MAIN-MENU-SCREEN             32  1-18                 18/31  digit
//   EPISODE-SCREEN-LOCKED        34  1-20                 20/31  digit
//   EPISODE-SCREEN-UNLOCKED      34  1-20                 20/31  digit
//   ABOUT-SCREEN                 57  1-32                 32/44  character
//   STORY-SCREEN                 35  1-40                 40/13  digit
#ifndef KEP_SCREEN_SCREEN_DEFINITIONS_H_
#define KEP_SCREEN_SCREEN_DEFINITIONS_H_

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "screen/screen_item.h"
#include "screen/screen_layer.h"
#include "state/game_state.h"

namespace kep {

/// The constant item list of a screen.
std::span<const ScreenItem> screen_items(ScreenId screen);

/// The eight banner lines that spell Kep on the title and menu screens.
std::span<const std::string_view> banner_lines();

/// The About prose: 25 lines in three paragraphs (14, 4 and 7 lines).
std::span<const std::string_view> about_lines();

class ScreenDefinition {
 public:
  ScreenDefinition(ScreenId id, std::span<const ScreenItem> items);

  ScreenId id() const { return id_; }
  std::span<const ScreenItem> items() const { return items_; }

  /// The content of item `index`: `width` characters for a field, empty for
  /// any other item.
  std::string_view content(std::size_t index) const { return contents_[index]; }

  /// Whether the screen has an input field; there is at most one.
  bool has_input() const { return input_ >= 0; }
  /// REQUIRES: has_input().
  const ScreenItem& input_item() const { return items_[input_]; }
  /// The input field's one character; a space when empty.
  char input() const { return contents_[input_][0]; }
  void set_input(char c) { contents_[input_][0] = c; }

  /// Step 1 of an accept: each output field takes its bound working field.
  void copy_in(GameState& ws);
  /// Step 4 of an accept: the input field's content goes to its bound
  /// working field. An empty digit field delivers 0, an empty character
  /// field a space.
  void copy_out(GameState& ws) const;

 private:
  ScreenId id_;
  std::span<const ScreenItem> items_;
  std::vector<std::string> contents_;  // one per item, sized once
  int input_ = -1;
};

/// The seven definitions with their field contents, for one run.
class ScreenDefinitions {
 public:
  ScreenDefinitions();
  ScreenDefinition& operator[](ScreenId id) {
    return screens_[static_cast<std::size_t>(id)];
  }

 private:
  std::vector<ScreenDefinition> screens_;
};

}  // namespace kep

#endif  // KEP_SCREEN_SCREEN_DEFINITIONS_H_
