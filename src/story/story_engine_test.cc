// The story engine over tiny stories: the start lookup, the page loop over
// the page index, a page's text and choices, the page shown and answered,
// endings and the lock on episode 4.
#include <gtest/gtest.h>

#include <algorithm>

#include "testing/story_fixture.h"

namespace kep {
namespace {

using Lines = std::vector<std::string>;

std::string text(const std::string& page, const std::string& body) {
  return page + body;
}

// Three pages of episode 1 stored in order: 001 -> 002 -> 003 -> 999.
StoryData three_pages() {
  StoryData d;
  d.start = Lines{"1001"};
  d.index = Lines{"1001", "1002", "1003"};
  d.text = Lines{text("1001", "Page one."), text("1002", "Page two."),
                 text("1003", "Page three.")};
  d.choice = Lines{choice_line("1001", "002", '1', "On"),
                   choice_line("1002", "003", '1', "On"),
                   choice_line("1003", "999", '1', "The end")};
  return d;
}

// What one page found and shown sends, with `choices` choice records.
Lines page_traces(int choices, bool text_found = true) {
  Lines t{"Found story record", "Reading story text for page."};
  if (text_found) t.push_back("Found story text.");
  t.push_back("Reading story choices for page.");
  for (int i = 0; i < choices; ++i) t.push_back("Found choice");
  t.push_back("Displaying story page");
  return t;
}

Lines concat(std::initializer_list<Lines> parts) {
  Lines all;
  for (const Lines& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

const Lines kPass{"Running story", "Reading story page"};

std::string body(const GameState& s) {
  std::string b = field(s.ws_story_text.ws_story_text_body, 1000);
  return b.substr(0, b.find_last_not_of(' ') + 1);
}
std::string slot_text(const GameState& s, int n) {
  std::string t = field(s.ws_story.slot(n).ws_choice_text, 255);
  return t.substr(0, t.find_last_not_of(' ') + 1);
}
std::string slot_dest(const GameState& s, int n) {
  return field(s.ws_story.slot(n).ws_choice_destination, 3);
}
std::string current(const GameState& s) {
  return field(s.ws_current_story_id, 3);
}

TEST(StoryEngine, WholeEpisodeInOnePass) {
  Played p = play(three_pages(), " 11" "111" "3", 42);
  EXPECT_EQ(p.traces, concat({{"setting start info"}, kPass, page_traces(1),
                              page_traces(1), page_traces(1),
                              {"Episode won! Unlock!"}}));
  EXPECT_EQ(p.status, 42);  // the last trace command's status
  ASSERT_EQ(p.story_screens.size(), 3u);
  EXPECT_EQ(body(p.story_screens[1]), "Page two.");
  // Back at the menu the story fields are reset; WS-STORY keeps the last page.
  EXPECT_EQ(current(p.end_state), "000");
  EXPECT_EQ(p.end_state.ws_story_over[0], 'N');
  EXPECT_EQ(field(p.end_state.ws_story.ws_story_id, 3), "003");
  EXPECT_EQ(p.end_state.ws_menu_input[0], '3');
}

TEST(StoryEngine, EarlierDestinationWrapsAroundWithANewPass) {
  StoryData d = three_pages();
  d.choice->push_back(choice_line("1003", "001", '2', "Again"));
  Played p = play(d, " 11" "112" "111" "3");
  EXPECT_EQ(p.traces,
            concat({{"setting start info"}, kPass, page_traces(1),
                    page_traces(1), page_traces(2), kPass, page_traces(1),
                    page_traces(1), page_traces(2),
                    {"Episode won! Unlock!"}}));
}

TEST(StoryEngine, PageLeadingToItselfIsShownAgainAfterAReopen) {
  StoryData d = three_pages();
  (*d.choice)[0] = choice_line("1001", "001", '1', "Stay");
  d.choice->push_back(choice_line("1001", "002", '2', "Go"));
  Played p = play(d, " 11" "1" "2" "11" "3");
  ASSERT_EQ(p.story_screens.size(), 4u);
  EXPECT_EQ(field(p.story_screens[1].ws_story.ws_story_id, 3), "001");
  EXPECT_EQ(std::count(p.traces.begin(), p.traces.end(), "Running story"), 2);
}

TEST(StoryEngine, DuplicateIdsAreTakenFromTheCurrentPosition) {
  // Two index records carry 005; a choice on the first leads to 005 and
  // finds the second, which has its own text under episode 3.
  StoryData d;
  d.start = Lines{"1005"};
  d.index = Lines{"1005", "3005"};
  d.text = Lines{text("1005", "First five."), text("3005", "Second five.")};
  d.choice = Lines{choice_line("1005", "005", '1', "Onward"),
                   choice_line("3005", "999", '1', "End")};
  Played p = play(d, " 11" "11" "3");
  ASSERT_EQ(p.story_screens.size(), 2u);
  EXPECT_EQ(body(p.story_screens[0]), "First five.");
  EXPECT_EQ(body(p.story_screens[1]), "Second five.");
  EXPECT_EQ(p.story_screens[1].ws_story.ws_story_episode[0], '3');
  EXPECT_EQ(std::count(p.traces.begin(), p.traces.end(), "Running story"), 1);
}

TEST(StoryEngine, IndexMatchesIdAloneButTextAndChoicesUseItsEpisode) {
  StoryData d;
  d.start = Lines{"1050", "2070", "3080", "4090"};
  d.index = Lines{"2050"};
  d.text = Lines{text("1050", "Wrong episode."), text("2050", "Right one.")};
  d.choice = Lines{choice_line("1050", "999", '1', "Wrong"),
                   choice_line("2050", "999", '2', "Right")};
  Played p = play(d, " 11" "12" "3");
  ASSERT_EQ(p.story_screens.size(), 2u);
  const GameState& s = p.story_screens[0];
  EXPECT_EQ(body(s), "Right one.");
  EXPECT_EQ(slot_dest(s, 1), "998");
  EXPECT_EQ(slot_text(s, 2), "Right");
  // The header fields as the player sees them: the start area holds the
  // start file's last record, the current episode the index record's digit.
  EXPECT_EQ(field(s.ws_story_start.ws_story_start_id, 3), "090");
  EXPECT_EQ(s.ws_story_start.ws_story_start_episode[0], '4');
  EXPECT_EQ(s.ws_story.ws_story_episode[0], '2');
  EXPECT_EQ(current(s), "050");
  EXPECT_EQ(field(s.ws_story_text.ws_story_text_id, 3), "050");
}

TEST(StoryEngine, ChoicesLandInTheSlotTheirNumberNames) {
  StoryData d = three_pages();
  d.choice = Lines{choice_line("1001", "003", '3', "Three"),
                   choice_line("1002", "999", '4', "Other page"),
                   choice_line("1001", "999", '1', "One"),
                   choice_line("1001", "002", '2', "Two, first"),
                   choice_line("1001", "003", '2', "Two, last wins")};
  Played p = play(d, " 11" "4" "2" "3");  // slot 4 is empty; 2 goes to 003
  ASSERT_GE(p.story_screens.size(), 3u);
  const GameState& s = p.story_screens[0];
  EXPECT_EQ(slot_text(s, 1), "One");
  EXPECT_EQ(slot_text(s, 2), "Two, last wins");
  EXPECT_EQ(slot_text(s, 3), "Three");
  EXPECT_EQ(slot_text(s, 4), "");
  EXPECT_EQ(slot_dest(s, 4), "998");
  // Slot 4 shows the page again with 998 as the current record, then 2.
  EXPECT_EQ(current(p.story_screens[1]), "998");
  EXPECT_EQ(field(p.story_screens[2].ws_story.ws_story_id, 3), "003");
}

TEST(StoryEngine, RefusedSelectionsShowThePageAgainUnchanged) {
  Played p = play(three_pages(), " 11" "056789" "1" "11" "3");
  // One "Displaying story page" for the first page, shown 7 times.
  ASSERT_EQ(p.story_screens.size(), 9u);
  for (int i = 1; i < 7; ++i) EXPECT_EQ(current(p.story_screens[i]), "001");
  Lines first_page = concat({{"setting start info"}, kPass, page_traces(1)});
  EXPECT_TRUE(std::equal(first_page.begin(), first_page.end(), p.traces.begin()));
  EXPECT_EQ(p.traces[first_page.size()], "Found story record");
  // Each showing is preceded by a clear.
  int clears_before_story = 0;
  for (std::size_t i = 1; i < p.screens.size(); ++i)
    if (p.screens[i] == "accept STORY-SCREEN" &&
        p.screens[i - 1] == "display CLEAR-SCREEN")
      ++clears_before_story;
  EXPECT_EQ(clears_before_story, 9);
}

TEST(StoryEngine, DestinationNineNineEightInDataCountsAsEmpty) {
  StoryData d = three_pages();
  d.choice->push_back(choice_line("1001", "998", '2', "A door painted on"));
  Played p = play(d, " 11" "2" "1" "11" "3");
  ASSERT_GE(p.story_screens.size(), 2u);
  EXPECT_EQ(slot_text(p.story_screens[0], 2), "A door painted on");
  EXPECT_EQ(current(p.story_screens[1]), "998");
}

TEST(StoryEngine, PageWithoutTextShowsTheTextFilesLastRecord) {
  StoryData d = three_pages();
  d.text = Lines{text("1002", "Two."), text("1003", "Three, last record.")};
  Played p = play(d, " 11" "111" "3");
  ASSERT_EQ(p.story_screens.size(), 3u);
  EXPECT_EQ(body(p.story_screens[0]), "Three, last record.");
  EXPECT_EQ(field(p.story_screens[0].ws_story_text.ws_story_text_id, 3), "003");
  EXPECT_EQ(p.traces[3], "Found story record");
  EXPECT_EQ(p.traces[5], "Reading story choices for page.");
}

TEST(StoryEngine, EmptyTextFileShowsStartUpSpacesAndTheStartId) {
  StoryData d = three_pages();
  d.start = Lines{"1002"};
  d.text = Lines{};
  Played p = play(d, " 11" "11" "3");
  ASSERT_EQ(p.story_screens.size(), 2u);
  EXPECT_EQ(body(p.story_screens[0]), "");
  EXPECT_EQ(field(p.story_screens[1].ws_story_text.ws_story_text_id, 3), "002");
}

TEST(StoryEngine, SeveralStartRecordsTheLastWins) {
  StoryData d = three_pages();
  d.start = Lines{"1001", "2001", "", " 003", "1002"};
  Played p = play(d, " 11" "11" "3");
  EXPECT_EQ(std::count(p.traces.begin(), p.traces.end(), "setting start info"), 2);
  ASSERT_FALSE(p.story_screens.empty());
  EXPECT_EQ(field(p.story_screens[0].ws_story.ws_story_id, 3), "002");
  // One clear per matching start record, before the page loop's own.
  EXPECT_EQ(p.screens[5], "accept CLEAR-SCREEN");
  EXPECT_EQ(p.screens[6], "accept CLEAR-SCREEN");
  EXPECT_EQ(p.screens[7], "display CLEAR-SCREEN");
}

TEST(StoryEngine, EndingsWonAndLost) {
  struct Case {
    std::string last_text;
    bool won;
  } cases[] = {
      {"You lose. GAME OVER", false},
      {"game over, but in lower case", true},
      {"GAME  OVER with two spaces", true},
      {std::string(60, '.') + "GAME OVER split by the margin", false},
      {[] {
         std::string t;
         for (int i = 0; i < 111; ++i) t += "GAME OVER";
         return t;
       }(),
       false},  // 111 occurrences: the count saturates at 99, never 00
  };
  for (const Case& c : cases) {
    StoryData d = three_pages();
    (*d.text)[2] = text("1003", c.last_text);
    Played p = play(d, " 11" "111" "1", 0);
    bool traced_win = std::count(p.traces.begin(), p.traces.end(),
                                 "Episode won! Unlock!") == 1;
    EXPECT_EQ(traced_win, c.won) << c.last_text;
    // The next episode menu shows whether 4 is unlocked.
    EXPECT_EQ(p.screens.back(), c.won ? "accept EPISODE-SCREEN-UNLOCKED"
                                      : "accept EPISODE-SCREEN-LOCKED")
        << c.last_text;
  }
}

TEST(StoryEngine, UnlockLastsForTheRunAndNotBeyond) {
  // Episode 4 reuses the three pages; ending 003 -> 999 is lost via slot 2.
  StoryData d = three_pages();
  d.start = Lines{"1001", "4001"};
  (*d.text)[2] = text("1003", "The end.");
  d.choice->push_back(choice_line("1003", "999", '2', "Lose"));
  d.text->push_back(text("1003", "unused"));
  // Win episode 1, then play 4 and lose it, then the menu is still unlocked.
  Played p = play(d, " 11" "111" "14" "112" "1", 0);
  ASSERT_EQ(p.story_screens.size(), 6u);
  EXPECT_EQ(p.screens.back(), "accept EPISODE-SCREEN-UNLOCKED");
  EXPECT_EQ(p.end_state.ws_episode_4_unlocked[0], 'Y');
  // A fresh run starts locked again.
  Played fresh = play(d, " 14");
  EXPECT_EQ(fresh.screens.back(), "accept EPISODE-SCREEN-LOCKED");
}

TEST(StoryEngine, LostEndingLeavesFourLocked) {
  StoryData d = three_pages();
  (*d.text)[2] = text("1003", "Splat. GAME OVER.");
  Played p = play(d, " 11" "111" "14");
  EXPECT_EQ(p.screens.back(), "accept EPISODE-SCREEN-LOCKED");
  EXPECT_EQ(field(p.end_state.ws_game_over_count, 2), "01");
}

TEST(StoryEngine, BadChoiceNumberStopsAfterItsTrace) {
  struct Case {
    char number;
    std::string shown;
  } cases[] = {{'5', "5"}, {'0', "0"}, {'x', "x"}, {'\x1b', "?"}};
  for (const Case& c : cases) {
    StoryData d = three_pages();
    d.choice->insert(d.choice->begin(), choice_line("1002", "999", c.number, "Elsewhere"));
    d.choice->push_back(choice_line("1001", "003", c.number, "Bad"));
    Played p = play(d, " 11" "1");
    EXPECT_EQ(p.status, 1);
    EXPECT_NE(p.report.find("story-choice.dat: choice number \"" + c.shown +
                            "\" on page 001 of episode 1 is not 1-4: "
                            "WS-CHOICE-TEXT"),
              std::string::npos)
        << p.report;
    EXPECT_EQ(p.traces.back(), "Found choice");
    EXPECT_TRUE(p.story_screens.empty());
  }
}

TEST(StoryEngine, MissingPageEndsTheRunInsteadOfLooping) {
  struct Case {
    const char* name;
    StoryData data;
    std::string report_ends;
  };
  StoryData to_nowhere = three_pages();
  (*to_nowhere.choice)[1] = choice_line("1002", "077", '1', "Off the map");
  StoryData empty_index = three_pages();
  empty_index.index = Lines{};
  StoryData no_start = three_pages();
  no_start.start = Lines{"2001"};
  StoryData start_to_nowhere = three_pages();
  start_to_nowhere.start = Lines{"1000"};
  Case cases[] = {
      {"destination without a record", to_nowhere,
       "/data/story.dat: no page with story id 077 (episode 1)"},
      {"empty page index", empty_index,
       "/data/story.dat: no page with story id 001 (episode 1)"},
      {"no start record", no_start,
       "/data/story-start.dat: episode 1 has no start record"},
      {"start record naming 000", start_to_nowhere,
       "/data/story.dat: no page with story id 000 (episode 1)"},
  };
  for (const Case& c : cases) {
    Played p = play(c.data, " 11" "11111");
    EXPECT_EQ(p.status, 1) << c.name;
    ASSERT_GE(p.report.size(), c.report_ends.size()) << c.name;
    EXPECT_EQ(p.report.substr(p.report.size() - c.report_ends.size()),
              c.report_ends)
        << c.name;
  }
}

TEST(StoryEngine, MissingFileStopsAtItsFirstScan) {
  struct Case {
    const char* file;
    std::size_t pages_shown;
    Lines last_traces;
  } cases[] = {
      {"story-start.dat", 0, {}},
      {"story.dat", 0, {"setting start info", "Running story", "Reading story page"}},
      {"story-text.dat", 0, {"Found story record", "Reading story text for page."}},
      {"story-choice.dat", 0,
       {"Reading story text for page.", "Found story text.",
        "Reading story choices for page."}},
  };
  for (const Case& c : cases) {
    StoryData d = three_pages();
    std::string f = c.file;
    if (f == "story-start.dat") d.start.reset();
    if (f == "story.dat") d.index.reset();
    if (f == "story-text.dat") d.text.reset();
    if (f == "story-choice.dat") d.choice.reset();
    Played p = play(d, " 11" "111" "3");
    EXPECT_EQ(p.status, 1) << f;
    EXPECT_NE(p.report.find("/data/" + f + ": cannot open: No such file"),
              std::string::npos)
        << p.report;
    EXPECT_EQ(p.story_screens.size(), c.pages_shown) << f;
    ASSERT_GE(p.traces.size(), c.last_traces.size());
    EXPECT_TRUE(std::equal(c.last_traces.begin(), c.last_traces.end(),
                           p.traces.end() - c.last_traces.size()))
        << f;
  }
}

TEST(StoryEngine, ScanFlagsAreBackAtNAfterEveryScan) {
  Played p = play(three_pages(), " 11" "111" "3");
  for (const GameState& s : p.story_screens) {
    EXPECT_EQ(s.ws_eof[0], 'N');
    EXPECT_EQ(s.ws_text_found[0], 'N');
  }
}

}  // namespace
}  // namespace kep
