// The screen seam: the procedures draw and read only through display and
// accept on one of the seven named screen definitions.
//
//   display(screen)     draws the screen; reads nothing, copies nothing. Only
//                       CLEAR-SCREEN is ever displayed.
//   accept(screen, ws)  1. copy-in: each output field takes its bound field
//                       2. draw the screen as display does
//                       3. read the input field (if any) until Enter
//                       4. copy-out: the input field's content into its bound
//                          working field
//
// Accept has no result and no failure as far as the procedures can tell; the
// end of input and signals end the run (RunStop) from inside it. Accepting
// CLEAR-SCREEN clears the terminal and returns without waiting for a key.
#ifndef KEP_SCREEN_SCREEN_LAYER_H_
#define KEP_SCREEN_SCREEN_LAYER_H_

#include "state/game_state.h"

namespace kep {

enum class ScreenId {
  kClearScreen,
  kTitleScreen,
  kMainMenuScreen,
  kEpisodeScreenLocked,
  kEpisodeScreenUnlocked,
  kAboutScreen,
  kStoryScreen,
};

/// "CLEAR-SCREEN", "TITLE-SCREEN", ...
const char* screen_name(ScreenId screen);

/// The one-character working field that a screen's input field fills, or
/// nullptr for CLEAR-SCREEN, which has no input field.
char* input_binding(ScreenId screen, GameState& ws);

/// Whether a screen's input field holds a digit (else a character).
bool input_is_digit(ScreenId screen);

/// Draws screens and takes the player's entries. Abstract so it can be
/// mocked out for tests.
class ScreenLayer {
 public:
  virtual ~ScreenLayer() = default;
  virtual void display(ScreenId screen) = 0;
  virtual void accept(ScreenId screen, GameState& ws) = 0;
  /// Gives the terminal back from full-screen mode. Safe to call more than
  /// once and before anything was drawn.
  virtual void end() {}
};

}  // namespace kep

#endif  // KEP_SCREEN_SCREEN_LAYER_H_
