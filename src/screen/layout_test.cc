// The seven screens drawn onto the logical grid, cell by cell.
#include "screen/layout.h"

#include <gtest/gtest.h>

#include <string>

#include "state/copy_rules.h"

namespace kep {
namespace {

// A line of the grid without its trailing spaces.
std::string row(const Grid& grid, int line) {
  std::string text = grid.text(line);
  return text.erase(text.find_last_not_of(' ') + 1);
}

// Draws one screen on a blank grid, as an accept does: copy-in, then draw.
struct Drawn {
  explicit Drawn(ScreenId id, GameState ws = GameState()) {
    ScreenDefinition& screen = screens[id];
    screen.copy_in(ws);
    drawing = draw_screen(screen, grid);
  }
  ScreenDefinitions screens;
  Grid grid;
  Drawing drawing;
};

TEST(Layout, MainMenuWritesOnlyItsLiterals) {
  Drawn d(ScreenId::kMainMenuScreen);
  std::vector<std::string> lines;
  for (int line = 1; line <= kScreenLines; ++line)
    lines.push_back(row(d.grid, line));
  std::vector<std::string> want(kScreenLines);
  want[0] = "                    Brolt Enterprises";
  for (int i = 0; i < 8; ++i) want[2 + i] = std::string(banner_lines()[i]);
  want[11] = "                 D    R    A    V    O";
  want[13] = "                      1) NEW GAME";
  want[14] = "                      2) ABOUT";
  want[15] = "                      3) QUIT";
  want[17] = "                   Selection:";  // the input cell stays blank
  EXPECT_EQ(lines, want);
  EXPECT_EQ(d.drawing.input, (Cell{18, 31}));
  EXPECT_EQ(d.grid.extent(), 18);
}

TEST(Layout, InputCellOfEveryScreen) {
  struct Case {
    ScreenId screen;
    Cell input;
    int lines_used;
  };
  for (Case c : {Case{ScreenId::kTitleScreen, {31, 1}, 31},
                 Case{ScreenId::kMainMenuScreen, {18, 31}, 18},
                 Case{ScreenId::kEpisodeScreenLocked, {20, 31}, 20},
                 Case{ScreenId::kEpisodeScreenUnlocked, {20, 31}, 20},
                 Case{ScreenId::kAboutScreen, {32, 44}, 32},
                 Case{ScreenId::kStoryScreen, {40, 13}, 40}}) {
    Drawn d(c.screen);
    EXPECT_EQ(d.drawing.input, c.input) << screen_name(c.screen);
    EXPECT_EQ(d.grid.extent(), c.lines_used) << screen_name(c.screen);
    EXPECT_FALSE(d.drawing.cleared);
  }
  // Twelve lines below the line that says to press Enter.
  Drawn title(ScreenId::kTitleScreen);
  EXPECT_EQ(row(title.grid, 19), "          PRESS ENTER KEY TO GO TO THE MENU");
  EXPECT_EQ(row(title.grid, 14), "                 A TEXTED BASED COMEDY");
  EXPECT_EQ(row(title.grid, 15), "                       Ver. 1.0");
  Drawn about(ScreenId::kAboutScreen);
  EXPECT_EQ(row(about.grid, 32), "    Press enter to return to the main menu.");
}

TEST(Layout, ClearScreenBlanksTheGrid) {
  ScreenDefinitions screens;
  Grid grid;
  draw_screen(screens[ScreenId::kAboutScreen], grid);
  Drawing drawing = draw_screen(screens[ScreenId::kClearScreen], grid);
  EXPECT_TRUE(drawing.cleared);
  EXPECT_EQ(drawing.input.line, 0);
  EXPECT_EQ(grid.extent(), 0);
  for (int line = 1; line <= kScreenLines; ++line)
    EXPECT_EQ(row(grid, line), "");
}

TEST(Layout, EpisodeScreensDifferOnlyOnLine18) {
  Drawn locked(ScreenId::kEpisodeScreenLocked);
  Drawn unlocked(ScreenId::kEpisodeScreenUnlocked);
  for (int line = 1; line <= kScreenLines; ++line) {
    if (line == 18) continue;
    EXPECT_EQ(locked.grid.text(line), unlocked.grid.text(line)) << line;
  }
  EXPECT_EQ(row(locked.grid, 18), "                  4) Topsyturvy (LOCKED)");
  EXPECT_EQ(row(unlocked.grid, 18),
            "                  4) Topsyturvy (UNLOCKED)");
  EXPECT_EQ(row(locked.grid, 13), "");
  EXPECT_EQ(row(locked.grid, 14), "                   SELECT AN EPISODE");
  EXPECT_EQ(row(locked.grid, 17), "                  3) Brain Fog Blues");
  EXPECT_EQ(row(locked.grid, 19), "");
  EXPECT_EQ(row(locked.grid, 20), "                   Selection:");
}

// The page text fills line 7 from column 19 to line 19 column 58 and the
// choices start at lines 23, 27, 31 and 35, column 4, however long the
// texts are: fields write all their cells.
TEST(Layout, StoryScreenPlacesTextAndChoicesWhateverTheirLength) {
  for (std::size_t length :
       {std::size_t{0}, std::size_t{5}, std::size_t{1000}}) {
    GameState ws;
    std::string text(length, 'x');
    move_text(ws.ws_story_text.ws_story_text_body, text);
    move_text(ws.ws_story.slot(1).ws_choice_text, "Open the door");
    // Slot 2 stays all spaces and still takes its four lines.
    move_text(ws.ws_story.slot(3).ws_choice_text, "Run");
    move_text(ws.ws_story.slot(4).ws_choice_text, std::string(255, 'd'));
    move_number(ws.ws_story.ws_story_id, 7);
    Drawn d(ScreenId::kStoryScreen, ws);

    std::string cells;  // line 7 column 19 to line 19 column 58
    for (int line = 7; line <= 19; ++line)
      for (int column = line == 7 ? 19 : 1; column <= (line == 19 ? 58 : 80);
           ++column)
        cells += d.grid.at(line, column);
    EXPECT_EQ(cells, text + std::string(1000 - length, ' ')) << length;
    EXPECT_EQ(row(d.grid, 19).size(), length == 1000 ? 58u : 0u);
    for (int line : {20, 21, 22, 39}) EXPECT_EQ(row(d.grid, line), "") << line;

    EXPECT_EQ(row(d.grid, 23), "   Open the door");
    for (int line = 27; line <= 30; ++line) EXPECT_EQ(row(d.grid, line), "");
    EXPECT_EQ(row(d.grid, 31), "   Run");
    EXPECT_EQ(row(d.grid, 35), "   " + std::string(77, 'd'));
    EXPECT_EQ(row(d.grid, 38), std::string(18, 'd'));  // 77 + 80 + 80 + 18
    EXPECT_EQ(row(d.grid, 40), " Selection:");
    EXPECT_EQ(d.drawing.input, (Cell{40, 13}));

    EXPECT_EQ(row(d.grid, 1), "STORY START RECORD ID: 000");
    EXPECT_EQ(row(d.grid, 2), "STORY START EPISODE RECORD ID: 0");
    EXPECT_EQ(row(d.grid, 5), "STORY ID: 007");
    EXPECT_EQ(row(d.grid, 6), "STORY TEXT ID: 000");
  }
}

TEST(Layout, StoryScreenShowsEachHeaderFieldFromItsOwnBinding) {
  GameState ws;
  move_text(ws.ws_story_start.ws_story_start_id, "101");
  move_text(ws.ws_story_start.ws_story_start_episode, "2");
  move_text(ws.ws_story.ws_story_episode, "3");
  move_text(ws.ws_current_story_id, "404");
  move_text(ws.ws_current_episode, "9");  // not shown: the page's own digit is
  move_text(ws.ws_story.ws_story_id, "505");
  move_text(ws.ws_story_text.ws_story_text_id, "606");
  Drawn d(ScreenId::kStoryScreen, ws);
  EXPECT_EQ(row(d.grid, 1), "STORY START RECORD ID: 101");
  EXPECT_EQ(row(d.grid, 2), "STORY START EPISODE RECORD ID: 2");
  EXPECT_EQ(row(d.grid, 3), "CURRENT EPISODE: 3");
  EXPECT_EQ(row(d.grid, 4), "CURRENT RECORD: 404");
  EXPECT_EQ(row(d.grid, 5), "STORY ID: 505");
  EXPECT_EQ(row(d.grid, 6), "STORY TEXT ID: 606");
}

TEST(Layout, BytesThatAreNotPrintableShowAsOneQuestionMarkEach) {
  GameState ws;
  move_text(ws.ws_story_text.ws_story_text_body,
            std::string("a\x1b[2Jb\x7f\x80\xff\tc\0d", 13));
  move_text(ws.ws_story.slot(1).ws_choice_text, "\x07go");
  Drawn d(ScreenId::kStoryScreen, ws);
  EXPECT_EQ(row(d.grid, 7), std::string(18, ' ') + "a?[2Jb????c?d");
  EXPECT_EQ(row(d.grid, 23), "   ?go");
}

TEST(Layout, OutputFieldsShowTheRecordAsItIsAtEachAccept) {
  ScreenDefinitions screens;
  ScreenDefinition& story = screens[ScreenId::kStoryScreen];
  Grid grid;
  GameState ws;
  move_text(ws.ws_story.slot(1).ws_choice_text, "Open the door");
  story.copy_in(ws);
  draw_screen(story, grid);
  move_text(ws.ws_story.slot(1).ws_choice_text, "Eat the key");
  story.copy_in(ws);
  draw_screen(story, grid);
  EXPECT_EQ(row(grid, 23), "   Eat the key");
}

TEST(Layout, AcceptingAgainDrawsOnTheSameCellsAndKeepsTheTypedCharacter) {
  ScreenDefinitions screens;
  ScreenDefinition& menu = screens[ScreenId::kMainMenuScreen];
  Grid once;
  draw_screen(menu, once);
  menu.set_input('2');
  GameState ws;
  menu.copy_out(ws);
  EXPECT_EQ(ws.ws_menu_input[0], '2');
  // The working field is reset; the screen's field keeps the 2 and the
  // next draw shows it, on a grid holding the same cells as before.
  move_number(ws.ws_menu_input, 0);
  Grid twice = once;
  draw_screen(menu, twice);
  draw_screen(menu, twice);
  for (int line = 1; line <= kScreenLines; ++line) {
    std::string want = once.text(line);
    if (line == 18) want[30] = '2';
    EXPECT_EQ(twice.text(line), want) << line;
  }
  EXPECT_EQ(ws.ws_menu_input[0], '0');
}

TEST(Layout, EmptyInputDeliversZeroToADigitAndASpaceToACharacter) {
  ScreenDefinitions screens;
  GameState ws;
  move_text(ws.ws_story_selection, "7");
  move_text(ws.ws_about_input, "x");
  screens[ScreenId::kStoryScreen].copy_out(ws);
  screens[ScreenId::kAboutScreen].copy_out(ws);
  EXPECT_EQ(ws.ws_story_selection[0], '0');
  EXPECT_EQ(ws.ws_about_input[0], ' ');
  screens[ScreenId::kClearScreen].copy_out(ws);  // no input field: nothing
}

TEST(ScreenDefinitions, BindingsPairFieldsOfTheSameWidth) {
  GameState ws;
  for (int id = 0; id <= static_cast<int>(ScreenId::kStoryScreen); ++id) {
    ScreenId screen = static_cast<ScreenId>(id);
    int inputs = 0;
    for (const ScreenItem& item : screen_items(screen)) {
      if (!item.is_field()) continue;
      ASSERT_NE(item.binding, nullptr);
      EXPECT_EQ(item.binding(ws).size(), static_cast<std::size_t>(item.width))
          << screen_name(screen);
      if (item.kind != ItemKind::kInputField) continue;
      ++inputs;
      EXPECT_EQ(&screen_items(screen).back(), &item)
          << "input field comes last";
      EXPECT_EQ(item.binding(ws).data(), input_binding(screen, ws));
      EXPECT_EQ(item.field_class == FieldClass::kDigits,
                input_is_digit(screen));
    }
    EXPECT_EQ(inputs, screen == ScreenId::kClearScreen ? 0 : 1);
  }
}

TEST(ScreenDefinitions, BannerIsEightLinesOfTheGivenWidths) {
  std::vector<std::size_t> widths;
  for (std::string_view line : banner_lines()) {
    widths.push_back(line.size());
    EXPECT_EQ(line.find_first_not_of("*# "), std::string_view::npos) << line;
    EXPECT_NE(line.back(), ' ') << line;
  }
  EXPECT_EQ(widths, (std::vector<std::size_t>{53, 52, 51, 49, 48, 47, 46, 45}));
  // Written from column 1 on lines 3 to 10 of the four header screens.
  Drawn d(ScreenId::kTitleScreen);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(row(d.grid, 3 + i), banner_lines()[i]);
}

TEST(ScreenDefinitions, AboutProseHasTheGivenLineWidthsAndIndents) {
  const std::vector<std::vector<std::size_t>> paragraphs = {
      {43, 50, 50, 49, 50, 46, 46, 48, 48, 47, 50, 47, 50, 35},
      {58, 49, 58, 48},
      {58, 58, 56, 58, 53, 49, 55}};
  const std::size_t indents[] = {3, 2, 2};
  const int first_lines[] = {3, 18, 23};
  Drawn d(ScreenId::kAboutScreen);
  std::span<const std::string_view> prose = about_lines();
  ASSERT_EQ(prose.size(), 25u);
  std::size_t at = 0;
  for (std::size_t p = 0; p < paragraphs.size(); ++p) {
    for (std::size_t i = 0; i < paragraphs[p].size(); ++i, ++at) {
      std::string_view line = prose[at];
      EXPECT_EQ(line.size(), paragraphs[p][i]) << line;
      EXPECT_EQ(line.find_first_not_of(' '), i == 0 ? indents[p] : 0) << line;
      EXPECT_NE(line.back(), ' ') << line;
      EXPECT_EQ(row(d.grid, first_lines[p] + static_cast<int>(i)), line);
    }
  }
  for (int blank : {17, 22, 30, 31}) EXPECT_EQ(row(d.grid, blank), "") << blank;
  EXPECT_EQ(row(d.grid, 1), "                 ABOUT");
  EXPECT_EQ(row(d.grid, 2), "                -------");
  // Paragraph 2 ends with the unlock rule.
  EXPECT_EQ(prose[17], "Beat any of episodes 1 to 3 to unlock episode 4.");
}

}  // namespace
}  // namespace kep
