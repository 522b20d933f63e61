// Whole games of kep in a terminal emulator, on tiny fixture stories.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "pty_game.h"

namespace kep::e2e {
namespace {

using Lines = std::vector<std::string>;

const std::string kTiny = std::string(KEP_E2E_FIXTURES) + "/tiny";
const std::string kPressEnter = "          PRESS ENTER KEY TO GO TO THE MENU";
const std::string kQuit = "                      3) QUIT";
const std::string kLocked = "                  4) Topsyturvy (LOCKED)";
const std::string kUnlocked = "                  4) Topsyturvy (UNLOCKED)";
const std::string kAboutPrompt = "    Press enter to return to the main menu.";

// Keys as a terminal sends them (keypad in application mode).
const std::string kEnter = "\r";
const std::string kBackspace = "\x7f";
const std::string kUp = "\x1bOA";
const std::string kPageUp = "\x1b[5~";
const std::string kPageDown = "\x1b[6~";
const std::string kF1 = "\x1bOP";

// Trace of one page: found in the page index, its text and its choices
// loaded, then shown.
Lines page_trace(int choices) {
  Lines lines = {"Found story record", "Reading story text for page.",
                 "Found story text.", "Reading story choices for page."};
  for (int i = 0; i < choices; ++i) lines.push_back("Found choice");
  lines.push_back("Displaying story page");
  return lines;
}

Lines concat(std::initializer_list<Lines> parts) {
  Lines all;
  for (const Lines& part : parts)
    all.insert(all.end(), part.begin(), part.end());
  return all;
}

void expect_terminal_given_back(const PtyGame& game) {
  EXPECT_FALSE(game.alternate_screen());
  EXPECT_TRUE(game.cursor_visible());
  termios modes = game.modes();
  EXPECT_TRUE(modes.c_lflag & ICANON);
  EXPECT_TRUE(modes.c_lflag & ECHO);
  EXPECT_TRUE(modes.c_lflag & ISIG);
}

// An empty working directory: no data/ at all.
struct EmptyDir {
  EmptyDir() {
    char pattern[] = "/tmp/kep-e2e-XXXXXX";
    path = mkdtemp(pattern);
  }
  ~EmptyDir() { rmdir(path.c_str()); }
  std::string path;
};

TEST(WholeGame, AboutLockedFourAWonEpisodeUnlocksFourThenQuit) {
  PtyGame game({.directory = kTiny});
  ASSERT_TRUE(game.wait_for_input(19, kPressEnter, 31, 1)) << game.screen();
  EXPECT_TRUE(game.alternate_screen());
  EXPECT_EQ(game.line(1), "                    Brolt Enterprises");
  EXPECT_EQ(game.cursor_line(), 31);
  EXPECT_EQ(game.cursor_column(), 1);

  game.type(kEnter);
  ASSERT_TRUE(game.wait_for_input(16, kQuit, 18, 31)) << game.screen();
  EXPECT_EQ(game.line(19), "");  // the title is gone
  EXPECT_EQ(game.cursor_line(), 18);
  EXPECT_EQ(game.cursor_column(), 31);

  // About, and back: the menu still shows the 2.
  game.type("2" + kEnter);
  ASSERT_TRUE(game.wait_for_input(32, kAboutPrompt, 32, 44)) << game.screen();
  EXPECT_EQ(game.line(1), "                 ABOUT");
  EXPECT_EQ(game.cursor_line(), 32);
  EXPECT_EQ(game.cursor_column(), 44);
  game.type(kEnter);
  ASSERT_TRUE(
      game.wait_for_input(18, "                   Selection: 2", 18, 31))
      << game.screen();

  // New game; 4 is refused while locked, an F1 key and a letter are ignored.
  game.type(kBackspace + "1" + kEnter);
  ASSERT_TRUE(game.wait_for_input(18, kLocked, 20, 31)) << game.screen();
  game.type("4" + kEnter + kF1 + "x");
  ASSERT_TRUE(
      game.wait_for_input(20, "                   Selection: 4", 20, 31));
  game.type("1" + kEnter);
  ASSERT_TRUE(game.wait_for_input(5, "STORY ID: 101", 40, 13)) << game.screen();
  EXPECT_EQ(game.line(3), "CURRENT EPISODE: 1");
  EXPECT_EQ(game.line(7),
            std::string(18, ' ') + "A door with a cake painted on it.");
  EXPECT_EQ(game.line(23), "   Open the door");
  EXPECT_EQ(game.line(27), "   Eat the door");
  EXPECT_EQ(game.line(31), "");
  EXPECT_EQ(game.line(40), " Selection:");
  EXPECT_EQ(game.cursor_line(), 40);
  EXPECT_EQ(game.cursor_column(), 13);

  // 3 names an empty slot: the page is shown again, without a trace.
  game.type("3" + kEnter + kBackspace + "1" + kEnter);
  ASSERT_TRUE(game.wait_for_input(5, "STORY ID: 102", 40, 13)) << game.screen();
  game.type("1" + kEnter);  // 999 from a page without GAME OVER: won
  ASSERT_TRUE(game.wait_for_input(16, kQuit, 18, 31)) << game.screen();
  EXPECT_EQ(game.line(3),
            "        #############################################");

  game.type("1" + kEnter);
  ASSERT_TRUE(game.wait_for_input(18, kUnlocked, 20, 31)) << game.screen();
  game.type("4" + kEnter);
  ASSERT_TRUE(game.wait_for_input(5, "STORY ID: 401", 40, 13)) << game.screen();
  EXPECT_EQ(game.line(23), "   Hooray");
  game.type("1" + kEnter);
  ASSERT_TRUE(game.wait_for_input(16, kQuit, 18, 31)) << game.screen();
  game.type("3" + kEnter);
  EXPECT_EQ(game.wait_exit(), 0);
  EXPECT_EQ(game.errors(), "");
  expect_terminal_given_back(game);

  const Lines episode_start = {"setting start info", "Running story",
                               "Reading story page"};
  const Lines won = {"Episode won! Unlock!"};
  EXPECT_EQ(split_lines(game.trace()),
            concat({episode_start, page_trace(2), page_trace(1), won,  // 1
                    episode_start, page_trace(1), won}));              // 4
}

TEST(WholeGame, WithoutADataFolderTheMenusWorkAndAnEpisodeStops) {
  EmptyDir empty;
  PtyGame game({.directory = empty.path});
  ASSERT_TRUE(game.wait_for_input(19, kPressEnter, 31, 1)) << game.screen();
  game.type(kEnter);
  ASSERT_TRUE(game.wait_for_input(16, kQuit, 18, 31));
  game.type("2" + kEnter);
  ASSERT_TRUE(game.wait_for_input(32, kAboutPrompt, 32, 44));
  game.type(kEnter);
  ASSERT_TRUE(game.wait_for_input(16, kQuit, 18, 31));
  game.type("1" + kEnter);
  ASSERT_TRUE(game.wait_for_input(18, kLocked, 20, 31));
  game.type("2" + kEnter);
  EXPECT_EQ(game.wait_exit(), 1);
  EXPECT_NE(game.errors().find("kep: ./data/story-start.dat: cannot open"),
            std::string::npos)
      << game.errors();
  EXPECT_EQ(split_lines(game.errors()).size(), 1u) << game.errors();
  EXPECT_EQ(game.trace(), "");
  expect_terminal_given_back(game);
}

TEST(Terminal, WithoutAUsableTerminalNothingIsDrawn) {
  struct Case {
    GameOptions options;
    std::string report;
  };
  for (const Case& c :
       {Case{{.directory = kTiny, .term = "dumb"},
             "kep: the terminal type \"dumb\" cannot move the cursor\n"},
        Case{{.directory = kTiny, .term = "no-such-terminal"},
             "kep: unknown terminal type \"no-such-terminal\" (set TERM)\n"},
        Case{{.directory = kTiny, .detach = true},
             "kep: cannot open the terminal /dev/tty: No such device or "
             "address\n"}}) {
    PtyGame game(c.options);
    EXPECT_EQ(game.wait_exit(), 1) << c.report;
    EXPECT_EQ(game.errors(), c.report);
    EXPECT_EQ(game.screen(), std::string(40, '\n'));
    EXPECT_FALSE(game.alternate_screen());
  }
}

TEST(Terminal, SignalsEndTheRunAndGiveTheTerminalBack) {
  struct Case {
    int signal_number;
    std::string report;
  };
  for (const Case& c :
       {Case{SIGINT, "kep: stopped by SIGINT\n"},
        Case{SIGTERM, "kep: stopped by SIGTERM\n"},
        Case{SIGQUIT, "kep: stopped by SIGQUIT\n"},
        Case{SIGHUP, "kep: stopped by SIGHUP: the terminal hung up\n"}}) {
    PtyGame game({.directory = kTiny});
    ASSERT_TRUE(game.wait_for_input(19, kPressEnter, 31, 1)) << game.screen();
    game.type(kEnter);
    ASSERT_TRUE(game.wait_for_input(16, kQuit, 18, 31));
    if (c.signal_number == SIGINT) {
      game.type("\x03");  // Ctrl-C: the terminal raises it
    } else if (c.signal_number == SIGQUIT) {
      game.type("\x1c");  // Ctrl-backslash
    } else {
      kill(game.pid(), c.signal_number);
    }
    EXPECT_EQ(game.wait_exit(), 128 + c.signal_number) << c.report;
    EXPECT_EQ(game.errors(), c.report);
    expect_terminal_given_back(game);
  }
}

TEST(Terminal, AClosedTerminalEndsTheRunWithoutSpinning) {
  const std::string hung_up = "kep: stopped by SIGHUP: the terminal hung up\n";
  const std::string gone = "kep: end of input: the terminal is gone\n";
  // The closing terminal sends SIGHUP and fails the reads; whichever the
  // game sees first ends the run. With SIGHUP ignored only the reads do.
  for (bool ignore_sighup : {false, true}) {
    PtyGame game({.directory = kTiny, .ignore_sighup = ignore_sighup});
    ASSERT_TRUE(game.wait_for_input(19, kPressEnter, 31, 1)) << game.screen();
    game.close_terminal();
    const int status = game.wait_exit();
    EXPECT_FALSE(game.running());
    if (ignore_sighup || status == 1) {
      EXPECT_EQ(status, 1);
      EXPECT_EQ(game.errors(), gone);
    } else {
      EXPECT_EQ(status, 129);
      EXPECT_EQ(game.errors(), hung_up);
    }
  }
}

TEST(Terminal, ControlBytesInAPageTextShowAsQuestionMarks) {
  PtyGame game({.directory = kTiny});
  ASSERT_TRUE(game.wait_for_input(19, kPressEnter, 31, 1));
  game.type(kEnter + "1" + kEnter + "2" + kEnter);
  ASSERT_TRUE(game.wait_for_input(5, "STORY ID: 201", 40, 13)) << game.screen();
  // ESC, BEL and the two bytes of a UTF-8 letter: one "?" each; the
  // escape sequence did not clear the screen.
  EXPECT_EQ(game.line(7),
            std::string(18, ' ') + "Beware ?[2J of the? escape ??");
  // The start record field holds the start file's last record.
  EXPECT_EQ(game.line(1), "STORY START RECORD ID: 401");
  EXPECT_EQ(game.line(23), "   Leave");
}

TEST(Terminal, KeyBurstCtrlDAndAResizeStormLeaveThePagePlayable) {
  PtyGame game({.directory = kTiny});
  ASSERT_TRUE(game.wait_for_input(19, kPressEnter, 31, 1)) << game.screen();
  game.type(kEnter + "1" + kEnter + "1" + kEnter);
  ASSERT_TRUE(game.wait_for_input(5, "STORY ID: 101", 40, 13)) << game.screen();

  // A thousand bytes of everything a keyboard can send but Enter and the
  // keys the terminal itself acts on (Ctrl-C, Ctrl-Z, Ctrl-\ raise
  // signals; Ctrl-S and Ctrl-Q pause and resume output).
  std::string burst;
  unsigned seed = 12345;
  while (burst.size() < 1000) {
    seed = seed * 1103515245u + 12345u;
    char b = static_cast<char>((seed >> 16) & 0xff);
    if (std::string("\r\n\x03\x1a\x1c\x13\x11").find(b) != std::string::npos)
      continue;
    burst += b;
  }
  burst += "\x04";  // Ctrl-D last: it is no end of input in a full screen
  game.type(burst);
  for (int i = 0; i < 40; ++i) game.resize(i % 2 ? 24 : 40, i % 3 ? 80 : 100);
  game.resize(40, 80);
  game.type(kBackspace);
  ASSERT_TRUE(game.wait_for_input(40, " Selection:", 40, 13)) << game.screen();
  EXPECT_EQ(game.line(5), "STORY ID: 101");
  EXPECT_EQ(game.line(23), "   Open the door");

  game.type("1" + kEnter);
  ASSERT_TRUE(game.wait_for_input(5, "STORY ID: 102", 40, 13)) << game.screen();
  game.type("1" + kEnter);
  ASSERT_TRUE(game.wait_for_input(16, kQuit, 18, 31)) << game.screen();
  game.type("3" + kEnter);
  EXPECT_EQ(game.wait_exit(), 0);
  expect_terminal_given_back(game);
}

TEST(Terminal, SmallTerminalKeepsTheInputInViewScrollsAndRedrawsOnResize) {
  PtyGame game({.directory = kTiny, .lines = 24, .columns = 80});
  // The title needs 31 lines: the window ends on its input line.
  ASSERT_TRUE(game.wait_for_input(12, kPressEnter, 24, 1)) << game.screen();
  game.type(kEnter);
  ASSERT_TRUE(game.wait_for_input(16, kQuit, 18, 31)) << game.screen();
  EXPECT_EQ(game.line(1), "                    Brolt Enterprises");  // fits
  game.type("1" + kEnter + "1" + kEnter);
  // Page lines 17-40: the choices and the selection line.
  ASSERT_TRUE(game.wait_for_input(24, " Selection:", 24, 13)) << game.screen();
  EXPECT_EQ(game.line(7), "   Open the door");

  auto scrolled_to = [&](int line, const std::string& text) {
    return game.wait_for(
        [&] { return game.line(line) == text && !game.cursor_visible(); });
  };
  game.type(kPageUp);
  ASSERT_TRUE(scrolled_to(1, "STORY START RECORD ID: 401")) << game.screen();
  game.type(kPageDown);
  ASSERT_TRUE(game.wait_for_input(24, " Selection:", 24, 13)) << game.screen();
  EXPECT_TRUE(game.cursor_visible());
  game.type(kUp);
  ASSERT_TRUE(scrolled_to(8, "   Open the door")) << game.screen();
  // Typing brings the input cell back into view.
  game.type("2");
  ASSERT_TRUE(game.wait_for_input(24, " Selection: 2", 24, 13))
      << game.screen();
  EXPECT_TRUE(game.cursor_visible());

  // Taller: the whole page at once, at the top left.
  game.resize(40, 100);
  ASSERT_TRUE(game.wait_for_input(40, " Selection: 2", 40, 13))
      << game.screen();
  EXPECT_EQ(game.line(1), "STORY START RECORD ID: 401");
  EXPECT_EQ(game.line(23), "   Open the door");
  game.type("\x03");
  EXPECT_EQ(game.wait_exit(), 130);
}

}  // namespace
}  // namespace kep::e2e
