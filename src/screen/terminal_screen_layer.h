// The screen layer of the game: draws the seven screen definitions onto the
// logical grid and shows a window of it on a Terminal; takes the player's
// keys during an accept.
//
// Keys in an accept:
//   digit field      a digit fills the field; a new one replaces the shown one
//   character field  a printable character fills the field
//   Backspace/Delete empty the field
//   Enter            ends the accept; an empty digit field delivers 0, an
//                    empty character field a space. A digit field shows the
//                    digit left from its last accept, but Enter without a
//                    key typed in this accept empties it and delivers 0
//   Up/Down/PgUp/PgDn  scroll the window when the terminal is smaller than
//                    the screen; typing brings the input cell back into view
//   anything else    ignored
// Events: a resize and a resume redraw everything; Ctrl-Z suspends and
// redraws on return; a stop signal N ends the run with status 128+N; the
// end of input ends it with status 1.
//
// Full-screen mode begins at the first display or accept. A blank-screen
// item makes the next present repaint every cell, which also wipes the trace
// lines the shell may have written to the same terminal in between.
#ifndef KEP_SCREEN_TERMINAL_SCREEN_LAYER_H_
#define KEP_SCREEN_TERMINAL_SCREEN_LAYER_H_

#include "screen/layout.h"
#include "screen/screen_definitions.h"
#include "screen/screen_layer.h"
#include "screen/terminal.h"

namespace kep {

class TerminalScreenLayer : public ScreenLayer {
 public:
  explicit TerminalScreenLayer(Terminal& terminal) : terminal_(terminal) {}
  ~TerminalScreenLayer() override { end(); }

  void display(ScreenId screen) override;
  void accept(ScreenId screen, GameState& ws) override;
  void end() override { terminal_.end(); }

  /// The logical screen as last drawn.
  const Grid& grid() const { return grid_; }
  /// The first grid line shown on the terminal.
  int top() const { return top_; }

 private:
  void start_once();
  void draw(ScreenId screen);
  void read_input(ScreenDefinition& screen);
  void fill_input(ScreenDefinition& screen, char c);
  void present();
  void keep_in_view(Cell cell);
  void scroll(int lines);
  void clamp_window();

  Terminal& terminal_;
  ScreenDefinitions screens_;
  Grid grid_;
  bool started_ = false;
  bool repaint_ = false;
  int top_ = 1;   // window: first grid line and column shown
  int left_ = 1;
  Cell input_;    // the input cell while an accept reads; line 0 otherwise
};

/// The report of a run ended by a signal: "stopped by SIGINT".
std::string signal_report(int signal_number);

}  // namespace kep

#endif  // KEP_SCREEN_TERMINAL_SCREEN_LAYER_H_
