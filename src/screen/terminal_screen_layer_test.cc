// Display and accept against a fake terminal: the keys of an accept, the
// window on a small terminal, and the events that end or resume a run.
#include "screen/terminal_screen_layer.h"

#include <gtest/gtest.h>

#include <csignal>

#include "frame/run_stop.h"
#include "screen/fake_terminal.h"
#include "state/copy_rules.h"

namespace kep {
namespace {

struct Layer {
  explicit Layer(TerminalSize size = {40, 80}) : terminal(size) {}
  FakeTerminal terminal;
  TerminalScreenLayer layer{terminal};
  GameState ws;
};

TEST(TerminalScreenLayer, KeysOfAnAccept) {
  struct Case {
    ScreenId screen;
    std::vector<Key> keys;  // Enter is added at the end
    char delivered;
  };
  const Key bs{KeyKind::kErase, 0};
  auto c = [](char ch) {
    return Key{KeyKind::kCharacter, static_cast<unsigned char>(ch)};
  };
  const ScreenId menu = ScreenId::kMainMenuScreen;
  const ScreenId about = ScreenId::kAboutScreen;
  const std::vector<Case> cases = {
      {menu, {c('5')}, '5'},
      {menu, {c('5'), c('7')}, '7'},  // a new digit replaces the shown one
      {menu, {c('a'), c('5'), c('x'), c(' '), c('\x1b')}, '5'},
      {menu, {c('5'), bs}, '0'},  // emptied: Enter delivers 0
      {menu, {}, '0'},
      {menu, {{KeyKind::kOther, 0}, {KeyKind::kLineUp, 0}, c('\xb2')}, '0'},
      {about, {c('x')}, 'x'},
      {about, {c('x'), c('Y')}, 'Y'},
      {about, {c('x'), bs}, ' '},
      {about, {}, ' '},
      {about, {c('\x01'), c('\x7f'), c('\xe9'), c('\t')}, ' '},
  };
  for (const Case& t : cases) {
    Layer l;
    l.terminal.keys_.assign(t.keys.begin(), t.keys.end());
    l.terminal.push(KeyKind::kEnter);
    l.layer.accept(t.screen, l.ws);
    char* field = input_binding(t.screen, l.ws);
    EXPECT_EQ(field[0], t.delivered)
        << screen_name(t.screen) << " " << t.keys.size();
    EXPECT_TRUE(l.terminal.keys_.empty());
  }
}

TEST(TerminalScreenLayer,
     TypedCharacterShowsAtTheInputCellAndStaysForTheNextAccept) {
  Layer l;
  l.terminal.type("2\n");
  l.layer.accept(ScreenId::kMainMenuScreen, l.ws);
  EXPECT_EQ(l.terminal.line(18), "                   Selection: 2");
  EXPECT_EQ(l.terminal.cursor_, (Cell{18, 31}));
  EXPECT_EQ(l.ws.ws_menu_input[0], '2');

  // About and back: the menu's field still holds the 2 and shows it, but
  // Enter alone delivers 0 rather than choosing About again.
  move_number(l.ws.ws_menu_input, 0);
  l.terminal.type("\n");
  l.layer.display(ScreenId::kClearScreen);
  l.layer.accept(ScreenId::kAboutScreen, l.ws);
  l.layer.display(ScreenId::kClearScreen);
  l.terminal.type("\n");
  l.layer.accept(ScreenId::kMainMenuScreen, l.ws);
  EXPECT_EQ(l.terminal.line(18), "                   Selection: 2");
  EXPECT_EQ(l.ws.ws_menu_input[0], '0');
  // Asked again, the cell is empty; a digit typed and Enter chooses it.
  l.terminal.type("3\n");
  l.layer.accept(ScreenId::kMainMenuScreen, l.ws);
  EXPECT_EQ(l.ws.ws_menu_input[0], '3');
}

TEST(TerminalScreenLayer, StartsOnceAndClearsWithoutWaiting) {
  Layer l;
  l.layer.accept(ScreenId::kClearScreen, l.ws);  // no key: it does not read
  l.layer.display(ScreenId::kClearScreen);
  EXPECT_EQ(l.terminal.starts_, 1);
  EXPECT_EQ(l.terminal.repaints_, 2);  // each blank screen repaints fully
  EXPECT_EQ(l.terminal.line(1), "");
  EXPECT_EQ(l.terminal.cursor_.line, 0);

  // A screen accepted again in place is not repainted in full.
  l.terminal.type("9\n9\n");
  l.layer.accept(ScreenId::kMainMenuScreen, l.ws);
  l.layer.accept(ScreenId::kMainMenuScreen, l.ws);
  EXPECT_EQ(l.terminal.repaints_, 2);
  l.layer.end();
  l.layer.end();
  EXPECT_EQ(l.terminal.ends_, 2);  // the terminal makes a second end harmless
}

TEST(TerminalScreenLayer, SmallTerminalKeepsTheInputCellInViewAndScrolls) {
  Layer l({24, 80});
  move_text(l.ws.ws_story_text.ws_story_text_body, "Once upon a time");
  l.layer.display(ScreenId::kClearScreen);
  for (KeyKind kind :
       {KeyKind::kLineUp, KeyKind::kPageUp, KeyKind::kPageUp,
        KeyKind::kPageDown, KeyKind::kLineDown, KeyKind::kPageUp})
    l.terminal.push(kind);
  l.terminal.type("3\n");
  const std::size_t first = l.terminal.windows_.size();
  l.layer.accept(ScreenId::kStoryScreen, l.ws);
  std::vector<int> tops;
  for (std::size_t i = first; i < l.terminal.windows_.size(); ++i)
    tops.push_back(l.terminal.windows_[i].top);
  // The page needs 40 lines: the window first ends on the input line (top
  // 17); Up, PgUp (23 lines), PgUp at the top, PgDn back to the bottom,
  // Down at the bottom, PgUp, then typing brings the input cell back.
  EXPECT_EQ(tops, (std::vector<int>{17, 16, 1, 1, 17, 17, 1, 17}));
  EXPECT_EQ(l.terminal.windows_[first].cursor, (Cell{24, 13}));
  EXPECT_EQ(l.terminal.windows_[first + 1].cursor, (Cell{}));  // out of view
  EXPECT_EQ(l.terminal.line(24), " Selection: 3");
  EXPECT_EQ(l.ws.ws_story_selection[0], '3');
  // Scrolled to the top, the terminal showed the page from its first line.
  EXPECT_EQ(l.terminal.windows_[first + 2].first_line,
            "STORY START RECORD ID: 000");
}

TEST(TerminalScreenLayer, WindowPositionsOnSmallAndLargeTerminals) {
  struct Case {
    TerminalSize size;
    ScreenId screen;
    int top, left;
    Cell cursor;
  };
  for (Case c : {Case{{24, 80}, ScreenId::kTitleScreen, 8, 1, {24, 1}},
                 Case{{24, 80}, ScreenId::kMainMenuScreen, 1, 1, {18, 31}},
                 Case{{20, 40}, ScreenId::kAboutScreen, 13, 5, {20, 40}},
                 Case{{60, 132}, ScreenId::kStoryScreen, 1, 1, {40, 13}}}) {
    Layer l(c.size);
    l.terminal.type("\n");
    l.layer.display(ScreenId::kClearScreen);
    l.layer.accept(c.screen, l.ws);
    EXPECT_EQ(l.terminal.top_, c.top) << screen_name(c.screen);
    EXPECT_EQ(l.terminal.left_, c.left) << screen_name(c.screen);
    EXPECT_EQ(l.terminal.cursor_, c.cursor) << screen_name(c.screen);
  }
}

TEST(TerminalScreenLayer, ResizeSuspendAndResumeRepaint) {
  Layer l({24, 80});
  l.layer.display(ScreenId::kClearScreen);
  const int repaints = l.terminal.repaints_;
  l.terminal.push(KeyKind::kSuspend);
  l.terminal.push(KeyKind::kResumed);
  l.terminal.push(KeyKind::kResized);
  l.terminal.type("\n");
  // Grow the terminal before the resize event is read.
  l.terminal.size_ = {50, 100};
  l.layer.accept(ScreenId::kTitleScreen, l.ws);
  EXPECT_EQ(l.terminal.suspends_, 1);
  EXPECT_EQ(l.terminal.repaints_, repaints + 3);
  EXPECT_EQ(l.terminal.top_, 1);
  EXPECT_EQ(l.terminal.cursor_, (Cell{31, 1}));
  EXPECT_EQ(l.terminal.line(19), "          PRESS ENTER KEY TO GO TO THE MENU");
}

TEST(TerminalScreenLayer, StopSignalsAndTheEndOfInputEndTheRun) {
  struct Case {
    Key key;
    int status;
    std::string report;
  };
  for (const Case& c :
       {Case{{KeyKind::kStopSignal, SIGINT}, 130, "stopped by SIGINT"},
        Case{{KeyKind::kStopSignal, SIGTERM}, 143, "stopped by SIGTERM"},
        Case{{KeyKind::kStopSignal, SIGQUIT}, 131, "stopped by SIGQUIT"},
        Case{{KeyKind::kStopSignal, SIGHUP},
             129,
             "stopped by SIGHUP: the terminal hung up"},
        Case{{KeyKind::kEndOfInput, 0},
             1,
             "end of input: the terminal is gone"}}) {
    Layer l;
    l.terminal.type("7");
    l.terminal.keys_.push_back(c.key);
    l.terminal.type("\n");  // never read
    try {
      l.layer.accept(ScreenId::kMainMenuScreen, l.ws);
      ADD_FAILURE() << "the accept returned";
    } catch (const RunStop& stop) {
      EXPECT_EQ(stop.status(), c.status);
      EXPECT_EQ(stop.report(), c.report);
    }
    EXPECT_EQ(l.terminal.keys_.size(), 1u);
  }
}

}  // namespace
}  // namespace kep
