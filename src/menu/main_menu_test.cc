// The title, the menus, About and how a run ends from them.
#include <gtest/gtest.h>

#include "testing/story_fixture.h"

namespace kep {
namespace {

using Screens = std::vector<std::string>;

const char* kClear = "display CLEAR-SCREEN";
const char* kTitle = "accept TITLE-SCREEN";
const char* kMenu = "accept MAIN-MENU-SCREEN";
const char* kLocked = "accept EPISODE-SCREEN-LOCKED";
const char* kAbout = "accept ABOUT-SCREEN";

TEST(MainMenu, QuitRightAwayEndsWithStatusZeroAndNoTrace) {
  // No data folder at all: the title and the menus need none.
  StoryData none{std::nullopt, std::nullopt, std::nullopt, std::nullopt};
  Played p = play(none, " 3", 7);
  EXPECT_EQ(p.status, 0);
  EXPECT_EQ(p.report, "");
  EXPECT_TRUE(p.traces.empty());
  EXPECT_EQ(p.screens, (Screens{kTitle, kClear, kMenu}));
}

TEST(MainMenu, RefusedEntriesAskAgainWithoutAClear) {
  StoryData none{std::nullopt, std::nullopt, std::nullopt, std::nullopt};
  Played p = play(none, " 0492" "x" "3", 7);
  EXPECT_EQ(p.status, 0);
  EXPECT_EQ(p.screens, (Screens{kTitle, kClear, kMenu, kMenu, kMenu, kMenu,
                                kClear, kAbout,  // About
                                kClear, kMenu}));
  EXPECT_EQ(p.end_state.ws_about_input[0], 'x');
}

TEST(MainMenu, LockedFourIsRefusedLikeAnyOtherDigit) {
  StoryData none{std::nullopt, std::nullopt, std::nullopt, std::nullopt};
  // 4, 0, 7 refused on the locked episode menu; the fourth accept finds
  // the input at its end.
  Played p = play(none, " 1" "407");
  EXPECT_EQ(p.status, 1);
  EXPECT_EQ(p.report, "end of input");
  EXPECT_EQ(p.screens, (Screens{kTitle, kClear, kMenu, kClear, kLocked,
                                kLocked, kLocked, kLocked}));
  EXPECT_EQ(p.end_state.ws_episode_input[0], '7');
}

TEST(MainMenu, ChoosingAnEpisodeWithoutDataStopsNamingTheStartFile) {
  StoryData none{std::nullopt, std::nullopt, std::nullopt, std::nullopt};
  Played p = play(none, " 12");
  EXPECT_EQ(p.status, 1);
  EXPECT_NE(p.report.find("/data/story-start.dat: cannot open: No such file"),
            std::string::npos)
      << p.report;
}

}  // namespace
}  // namespace kep
