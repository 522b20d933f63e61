// Hostile inputs against a whole game: story files full of binary garbage, a
// 100 MB line, NUL and ESC bytes in key columns and texts, data paths that
// are directories, FIFOs or devices, an unreadable file, a burst of typed
// characters and Ctrl-D. Each run must end cleanly (a RunStop with status 0
// or 1 and a one-line printable report) or play on, never hang or crash, and
// every page shown must have WS-EOF and WS-TEXT-FOUND back at N.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <ostream>
#include <string>

#include "frame/game.h"
#include "frame/run_stop.h"
#include "frame/shell.h"
#include "screen/fake_screen_layer.h"
#include "testing/story_fixture.h"
#include "testing/temp_dir.h"

namespace kep {
namespace {

// Three pages of episode 1 stored in order: 001 -> 002 -> 003 -> 999, and
// 003 -> 001 (a wrap around the page index).
const char kStart[] = "1001\n";
const char kIndex[] = "1001\n1002\n1003\n";
const char kText[] = "1001Page one.\n1002Page two.\n1003Page three.\n";
const char kChoice[] =
    "10010021On\n10020031On\n10039991The end\n10030012Again\n";

void write_files(const TempDir& dir, const std::string& start,
                 const std::string& index, const std::string& text,
                 const std::string& choice) {
  dir.write("data/story-start.dat", start);
  dir.write("data/story.dat", index);
  dir.write("data/story-text.dat", text);
  dir.write("data/story-choice.dat", choice);
}

void write_three_pages(const TempDir& dir) {
  write_files(dir, kStart, kIndex, kText, kChoice);
}

// Bytes of every value from a fixed seed, lines and all.
std::string garbage(std::size_t size, std::uint32_t seed) {
  std::string bytes(size, '\0');
  for (char& c : bytes) {
    seed = seed * 1664525u + 1013904223u;
    c = static_cast<char>(seed >> 24);
  }
  return bytes;
}

// Replaces a data file by something else at its path.
void replace_file(const TempDir& dir, const char* name,
                  const std::function<void(const std::string&)>& make) {
  std::string path = dir.path() + "/data/" + name;
  ::unlink(path.c_str());
  make(path);
}

struct Hostile {
  const char* name;
  std::function<void(const TempDir&)> write;
  std::string entries;
  int status;          // -1: 0 or 1
  std::string report;  // a part of the report; "" when any will do
  std::function<void(const Played&)> more = nullptr;
  // A data file the case makes unreadable; skipped when it can be read all
  // the same (root reads without permission).
  const char* unreadable = nullptr;
};

void PrintTo(const Hostile& c, std::ostream* os) { *os << c.name; }

std::string body(const GameState& s) {
  std::string b = field(s.ws_story_text.ws_story_text_body, 1000);
  return b.substr(0, b.find_last_not_of(' ') + 1);
}

const Hostile kCases[] = {
    {"GarbageInEveryFile",
     [](const TempDir& d) {
       write_files(d, garbage(65536, 1), garbage(65536, 2), garbage(65536, 3),
                   garbage(65536, 4));
     },
     " 11" "1234" "1234" "3", -1, ""},
    {"GarbageStartFile",
     [](const TempDir& d) {
       write_files(d, garbage(65536, 5), kIndex, kText, kChoice);
     },
     " 11" "111" "3", 1, "story-start.dat: episode 1 has no start record"},
    {"GarbageIndexFile",
     [](const TempDir& d) {
       write_files(d, kStart, garbage(65536, 6), kText, kChoice);
     },
     " 11" "111" "3", 1, "story.dat: no page with story id 001"},
    {"GarbageTextFileShowsItsLastRecord",
     [](const TempDir& d) {
       write_files(d, kStart, kIndex, garbage(65536, 7), kChoice);
     },
     " 11" "111" "3", 0, "",
     [](const Played& p) { EXPECT_EQ(p.story_screens.size(), 3u); }},
    {"GarbageChoiceFileLeavesNoChoice",
     [](const TempDir& d) {
       write_files(d, kStart, kIndex, kText, garbage(65536, 8));
     },
     " 11" "1234", 1, "end of input",
     // Four selections refused, then the accept that meets the end of input.
     [](const Played& p) { EXPECT_EQ(p.story_screens.size(), 5u); }},
    {"HundredMegabyteLine",
     [](const TempDir& d) {
       write_three_pages(d);
       // The page's text record is the first 1004 characters of the long
       // line; the next line is the next record.
       std::ofstream out(d.path() + "/data/story-text.dat",
                         std::ios::binary | std::ios::trunc);
       out << "1001";
       const std::string chunk(1 << 20, 'x');
       for (int i = 0; i < 100; ++i) out << chunk;
       out << "\n1002Page two.\n1003Page three.\n";
     },
     " 11" "111" "3", 0, "",
     [](const Played& p) {
       ASSERT_EQ(p.story_screens.size(), 3u);
       EXPECT_EQ(body(p.story_screens[0]), std::string(1000, 'x'));
       EXPECT_EQ(body(p.story_screens[1]), "Page two.");
     }},
    {"NulAndEscInKeyColumnsAndTexts",
     [](const TempDir& d) {
       using namespace std::string_literals;
       const std::string key = "1\0\x1b\0"s;
       write_files(d, key + "\n", key + "\n",
                   key + "Text \x1b[2J with \0 inside.\n"s,
                   key + "9991\x1b]0;title\a\n" + key + "\x1b\0\0002Nowhere\n"s);
     },
     std::string(" \0\x1b" "11" "\0\x1b" "1" "3", 9), 0, "",
     [](const Played& p) {
       using namespace std::string_literals;
       ASSERT_EQ(p.story_screens.size(), 3u);  // NUL and ESC refused
       EXPECT_EQ(body(p.story_screens[0]), "Text \x1b[2J with \0 inside."s);
       EXPECT_EQ(p.end_state.ws_episode_4_unlocked[0], 'Y');
     }},
    {"NulAndEscDestinationLeadsNowhere",
     [](const TempDir& d) {
       using namespace std::string_literals;
       const std::string key = "1\0\x1b\0"s;
       write_files(d, key + "\n", key + "\n", key + "Text.\n",
                   key + "\x1b\0\0002Nowhere\n"s);
     },
     " 11" "2", 1, "no page with story id ???"},
    {"StartFileIsADirectory",
     [](const TempDir& d) {
       write_three_pages(d);
       replace_file(d, "story-start.dat",
                    [](const std::string& p) { ::mkdir(p.c_str(), 0755); });
     },
     " 11" "111" "3", 1, "story-start.dat: cannot open: Is a directory"},
    {"IndexFileIsADirectory",
     [](const TempDir& d) {
       write_three_pages(d);
       replace_file(d, "story.dat",
                    [](const std::string& p) { ::mkdir(p.c_str(), 0755); });
     },
     " 11" "111" "3", 1, "story.dat: cannot open: Is a directory"},
    {"TextFileIsADirectory",
     [](const TempDir& d) {
       write_three_pages(d);
       replace_file(d, "story-text.dat",
                    [](const std::string& p) { ::mkdir(p.c_str(), 0755); });
     },
     " 11" "111" "3", 1, "story-text.dat: cannot open: Is a directory"},
    {"ChoiceFileIsADirectory",
     [](const TempDir& d) {
       write_three_pages(d);
       replace_file(d, "story-choice.dat",
                    [](const std::string& p) { ::mkdir(p.c_str(), 0755); });
     },
     " 11" "111" "3", 1, "story-choice.dat: cannot open: Is a directory"},
    {"DataDirectoryIsAFile",
     [](const TempDir& d) { d.write("data", "not a directory\n"); },
     " 11" "111" "3", 1, "story-start.dat: cannot open: Not a directory"},
    {"IndexFileIsAFifo",  // would block a plain open or read forever
     [](const TempDir& d) {
       write_three_pages(d);
       replace_file(d, "story.dat",
                    [](const std::string& p) { ::mkfifo(p.c_str(), 0644); });
     },
     " 11" "111" "3", 1, "story.dat: cannot open: not a regular file"},
    {"TextFileIsAnEndlessDevice",  // /dev/zero: one line without end
     [](const TempDir& d) {
       write_three_pages(d);
       replace_file(d, "story-text.dat", [](const std::string& p) {
         ASSERT_EQ(::symlink("/dev/zero", p.c_str()), 0);
       });
     },
     " 11" "111" "3", 1, "story-text.dat: cannot open: not a regular file"},
    {"ChoiceFileWithoutReadPermission",
     [](const TempDir& d) {
       write_three_pages(d);
       ::chmod((d.path() + "/data/story-choice.dat").c_str(), 0);
     },
     " 11" "111" "3", 1, "story-choice.dat: cannot open: Permission denied",
     nullptr, "story-choice.dat"},
    {"BurstOfAThousandCharacters",
     [](const TempDir& d) { write_three_pages(d); },
     [] {
       std::string burst = " 11";
       for (int i = 0; i < 1000; ++i) burst += static_cast<char>(i * 37 % 256);
       return burst;
     }(),
     -1, "",
     [](const Played& p) {
       // Every character was taken by some screen, or a 3 quit the game.
       EXPECT_TRUE(p.report == "end of input" || p.status == 0) << p.report;
     }},
    {"CtrlDIsRefusedLikeAnyOtherCharacter",
     [](const TempDir& d) { write_three_pages(d); },
     " \x04" "1" "\x04" "1" "\x04" "1", 1, "end of input",
     [](const Played& p) { EXPECT_EQ(p.story_screens.size(), 3u); }},
};

class HostileInput : public testing::TestWithParam<Hostile> {};

TEST_P(HostileInput, EndsCleanlyOrPlaysOn) {
  const Hostile& c = GetParam();
  TempDir dir;
  c.write(dir);
  if (c.unreadable != nullptr &&
      ::access((dir.path() + "/data/" + c.unreadable).c_str(), R_OK) == 0)
    GTEST_SKIP() << "permission bits do not stop this user reading (root)";

  Played p = play_in(dir.path() + "/data", c.entries);

  if (c.status >= 0) {
    EXPECT_EQ(p.status, c.status) << p.report;
  } else {
    EXPECT_TRUE(p.status == 0 || p.status == 1) << p.status;
  }
  if (!c.report.empty()) {
    EXPECT_NE(p.report.find(c.report), std::string::npos) << p.report;
  }
  for (char ch : p.report) ASSERT_TRUE(ch >= ' ' && ch <= '~') << p.report;
  for (const GameState& s : p.story_screens) {
    EXPECT_EQ(s.ws_eof[0], 'N');
    EXPECT_EQ(s.ws_text_found[0], 'N');
  }
  if (c.more) c.more(p);
}

INSTANTIATE_TEST_SUITE_P(Game, HostileInput, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Hostile>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace kep
