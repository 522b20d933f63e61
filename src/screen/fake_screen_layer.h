// A screen layer for tests: records every display and accept in order, plays
// a script of entries (one character per accepted screen with an input
// field) and keeps a snapshot of the record at every accept of STORY-SCREEN,
// so tests can check what the player saw. When the script runs out, the run
// ends as it does when a real terminal reaches the end of input.
#ifndef KEP_SCREEN_FAKE_SCREEN_LAYER_H_
#define KEP_SCREEN_FAKE_SCREEN_LAYER_H_

#include <string>
#include <vector>

#include "screen/screen_layer.h"

namespace kep {

class FakeScreenLayer : public ScreenLayer {
 public:
  struct Operation {
    bool accept;  // else display
    ScreenId screen;
  };

  /// `entries`: what the player types on each accepted screen that has an
  /// input field, one character each ('\n' is not used: Enter is implied).
  explicit FakeScreenLayer(std::string entries = "") : entries_(std::move(entries)) {}

  void display(ScreenId screen) override;
  void accept(ScreenId screen, GameState& ws) override;
  void end() override { ++ends_; }

  /// "display CLEAR-SCREEN", "accept MAIN-MENU-SCREEN", ...
  std::vector<std::string> log() const;

  std::string entries_;
  std::size_t next_entry_ = 0;
  std::vector<Operation> operations_;
  std::vector<GameState> story_screens_;  // the record at each STORY-SCREEN
  int ends_ = 0;
};

}  // namespace kep

#endif  // KEP_SCREEN_FAKE_SCREEN_LAYER_H_
