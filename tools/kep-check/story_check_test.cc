#include "story_check.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "kep_check.h"
#include "testing/temp_dir.h"

namespace kep::check {
namespace {

// The four files of a story directory; nullopt leaves a file out.
struct Files {
  std::optional<std::string> start, pages, texts, choices;
};

// A small clean story. Episode 1: page 001 offers page 002 (lost) or a won
// ending; episodes 2-4 are one page with a won ending each.
//   story-choice.dat line 1: 1001 -> 002 slot 1, line 2: 1001 -> 999 slot 2
Files clean_story() {
  return Files{
      "1001\n2101\n3201\n4301\n",
      "1001\n1002\n2101\n3201\n4301\n",
      "1001You stand at a fork in the road.\n"
      "1002The dragon eats you. GAME OVER\n"
      "2101You find the treasure.\n"
      "3201A quiet day by the river.\n"
      "4301The end of everything.\n",
      "10010021Go left\n"
      "10019992Go home\n"
      "10029991Start again\n"
      "21019991Take it\n"
      "32019991Rest\n"
      "43019991Leave\n",
  };
}

struct Outcome {
  int status;
  std::vector<std::string> lines;  // findings and notes, paths without dir
  std::string summary;
  std::string out;
};

std::string without(std::string text, const std::string& prefix) {
  for (std::size_t at; (at = text.find(prefix)) != std::string::npos;)
    text.erase(at, prefix.size());
  return text;
}

Outcome run_in(const TempDir& dir, const std::vector<std::string>& args) {
  std::ostringstream out, err;
  Outcome o;
  o.status = run_kep_check(args, out, err);
  std::istringstream lines(without(err.str(), dir.path() + "/"));
  for (std::string line; std::getline(lines, line);) o.lines.push_back(line);
  if (!o.lines.empty()) {
    o.summary = o.lines.back();
    o.lines.pop_back();
  }
  o.out = out.str();
  return o;
}

void write_story(const TempDir& dir, const Files& f) {
  if (f.start) dir.write("story-start.dat", *f.start);
  if (f.pages) dir.write("story.dat", *f.pages);
  if (f.texts) dir.write("story-text.dat", *f.texts);
  if (f.choices) dir.write("story-choice.dat", *f.choices);
}

Outcome check(const Files& f) {
  TempDir dir;
  write_story(dir, f);
  return run_in(dir, {dir.path()});
}

// Each expected line is a prefix of the line printed: location, kind and
// the start of the message.
void expect_findings(const Outcome& o, const std::vector<std::string>& want,
                     const std::string& name) {
  ASSERT_EQ(o.lines.size(), want.size()) << name << "\n"
                                         << ::testing::PrintToString(o.lines);
  for (std::size_t i = 0; i < want.size(); ++i)
    EXPECT_EQ(o.lines[i].substr(0, want[i].size()), want[i])
        << name << ": line " << i;
}

TEST(KepCheck, CleanStoryHasNoFindings) {
  Outcome o = check(clean_story());
  EXPECT_EQ(o.status, 0);
  EXPECT_TRUE(o.lines.empty()) << ::testing::PrintToString(o.lines);
  EXPECT_EQ(o.summary, "kep-check: 0 errors, 0 warnings");
}

TEST(KepCheck, OneFixturePerFinding) {
  struct Case {
    const char* name;
    Files files;
    int status;
    std::vector<std::string> findings;
  };
  Files s = clean_story();
  auto with = [&s](auto member, std::string content) {
    Files f = s;
    f.*member = std::move(content);
    return f;
  };
  auto without_file = [&s](auto member) {
    Files f = s;
    f.*member = std::nullopt;
    return f;
  };
  using F = Files;
  const Case cases[] = {
      // Errors: the game stops, hangs or traps the player.
      {"missing file",
       without_file(&F::choices),
       1,
       {"story-choice.dat: error: cannot open: No such file or directory"}},
      {"no start record",
       with(&F::start, "1001\n2101\n4301\n"),
       1,
       {"story-start.dat: error: episode 3 has no start record: choosing it "
        "stops the game",
        "story.dat:4: warning: page 201 (episode 3) is never reached"}},
      {"start id no page carries",
       with(&F::start, "1001\n2101\n3209\n4301\n"),
       1,
       {"story-start.dat:3: error: episode 3 starts at page 209, which no "
        "page index record carries",
        "story.dat:4: warning: page 201 (episode 3) is never reached"}},
      {"choice number outside 1-4 on a reached page",
       with(&F::choices, *s.choices + "10020025Fly away\n"),
       1,
       {"story-choice.dat:7: error: choice number \"5\" is not 1-4: the game "
        "stops when it shows page 002 (episode 1)",
        "story-start.dat:1: note: reached in episode 1: 001 -> 002 (choice "
        "1)"}},
      {"page with no choice that can be taken",
       with(&F::choices,
            "10010021Go left\n10019992Go home\n"
            "10029981Wait\n21019991Take it\n"
            "32019991Rest\n43019991Leave\n"),
       1,
       {"story.dat:2: error: page 002 (episode 1) has no choice that can be "
        "taken",
        "story-start.dat:1: note: reached in episode 1: 001 -> 002 (choice 1)",
        "story-choice.dat:3: warning: choice 1 of page 002 (episode 1) leads "
        "to 998"}},
      {"episode that can never end",
       with(&F::choices,
            "10010021Go left\n10019992Go home\n"
            "10029991Start again\n21019991Take it\n"
            "32012011Wait\n43019991Leave\n"),
       1,
       {"story-start.dat:3: error: episode 3 can never end: no ending can be "
        "reached from its start page 201"}},
      {"page from which no ending can be reached",
       F{s.start, "1001\n1002\n1003\n2101\n3201\n4301\n", s.texts,
         "10010021Go left\n10019992Go home\n10020031On\n"
         "10030021Back\n21019991Take it\n32019991Rest\n43019991Leave\n"},
       1,
       {"story.dat:2: error: no ending can be reached from page 002 (episode "
        "1)",
        "story-start.dat:1: note: reached in episode 1: 001 -> 002 (choice 1)",
        "story.dat:3: warning: page 003 (episode 1) has no text record"}},
      {"destination no page carries",
       with(&F::choices,
            "10010501Go left\n10019992Go home\n"
            "10029991Start again\n21019991Take it\n"
            "32019991Rest\n43019991Leave\n"),
       1,
       {"story.dat:2: warning: page 002 (episode 1) is never reached",
        "story-choice.dat:1: error: choice 1 of page 001 (episode 1) leads "
        "to page 050, which no page index record carries",
        "story-start.dat:1: note: reached in episode 1: 001"}},

      // Warnings: legal, but probably not meant.
      {"episode with no won ending",
       with(&F::texts,
            "1001You stand at a fork in the road.\n"
            "1002The dragon eats you. GAME OVER\n"
            "2101A trap! GAME OVER\n"
            "3201A quiet day by the river.\n"
            "4301The end of everything.\n"),
       0,
       {"story-start.dat:2: warning: episode 2 has no reachable won ending"}},
      {"episode that reaches no ending, only a stop",
       with(&F::choices,
            "10010021Go left\n10019992Go home\n10029991Start again\n"
            "21019995Take it\n32019991Rest\n43019991Leave\n"),
       1,
       {"story-start.dat:2: warning: episode 2 has no reachable won ending: "
        "it reaches no ending at all",
        "story-choice.dat:4: error: choice number \"5\" is not 1-4",
        "story-start.dat:2: note: reached in episode 2: 101"}},
      {"several start records",
       with(&F::start, "1002\n1001\n2101\n3201\n4301\n"),
       0,
       {"story-start.dat:1: warning: episode 1 has a later start record on "
        "line 2, which wins"}},
      {"start record of no episode",
       with(&F::start, *s.start + "5001\n"),
       0,
       {"story-start.dat:5: warning: start record for episode 5 is never "
        "used"}},
      {"reached page without a text record",
       with(&F::texts,
            "1001You stand at a fork in the road.\n"
            "1002The dragon eats you. GAME OVER\n"
            "2101You find the treasure.\n"
            "4301The end of everything.\n"),
       0,
       {"story.dat:4: warning: page 201 (episode 3) has no text record: it "
        "shows the text of the last text record, line 4"}},
      {"page no episode reaches",
       with(&F::pages, *s.pages + "1099\n"),
       0,
       {"story.dat:6: warning: page 099 (episode 1) is never reached"}},
      {"duplicate page id",
       with(&F::pages, *s.pages + "2002\n"),
       0,
       {"story.dat:6: warning: story id 002 is also on line 2",
        "story.dat:6: warning: page 002 (episode 2) is never reached"}},
      {"destination 998",
       with(&F::choices, *s.choices + "10019983Wait\n"),
       0,
       {"story-choice.dat:7: warning: choice 3 of page 001 (episode 1) leads "
        "to 998, which marks an empty slot: it can never be taken"}},
      {"line longer than its record",
       with(&F::pages, "1001\n10027\n2101\n3201\n4301\n"),
       0,
       {"story.dat:2: warning: line is 5 characters long but the record is "
        "4: the characters after column 4 are cut"}},
      {"non-digits in the key columns",
       with(&F::texts, *s.texts + "1 2 Lost words\n"),
       0,
       {"story-text.dat:6: warning: columns 1-4 \"1 2 \" are not an episode "
        "digit and a three-digit id"}},
      {"non-digits in a destination",
       with(&F::choices,
            "1001 2 1Go left\n10019992Go home\n"
            "10029991Start again\n21019991Take it\n"
            "32019991Rest\n43019991Leave\n"),
       1,
       {"story.dat:2: warning: page 002 (episode 1) is never reached",
        "story-choice.dat:1: warning: destination \" 2 \" in columns 5-7 is "
        "not three digits",
        "story-choice.dat:1: error: choice 1 of page 001 (episode 1) leads "
        "to page  2 ,",
        "story-start.dat:1: note: reached in episode 1: 001"}},
      {"blank line",
       with(&F::pages, "1001\n\n1002\n2101\n3201\n4301\n"),
       0,
       {"story.dat:2: warning: blank record: it matches nothing"}},
      {"control and non-ASCII bytes",
       with(&F::texts,
            "1001You stand\tat a fork in the caf\xc3\xa9.\n"
            "1002The dragon eats you. GAME OVER\n"
            "2101You find the treasure.\n"
            "3201A quiet day by the river.\n"
            "4301The end of everything.\n"),
       0,
       {"story-text.dat:1: warning: byte 0x09 in column 14 is not printable "
        "ASCII: the page shows it as \"?\" (and 2 more bytes)"}},
      {"word split at the right margin",
       // Columns 5-66 are the first line of the page: "river" runs from
       // column 64 to 68.
       with(&F::texts, "1001" + std::string(59, ' ') + "river bank\n" +
                           s.texts->substr(s.texts->find('\n') + 1)),
       0,
       {"story-text.dat:1: warning: the word \"river\" is split over two "
        "lines of the page: the text wraps after column 66"}},
      {"choice text longer than a line",
       with(&F::choices, *s.choices + "10029982" + std::string(78, 'y') + "\n"),
       0,
       {"story-choice.dat:7: warning: choice text is 78 characters long",
        "story-choice.dat:7: warning: choice 2 of page 002 (episode 1) leads "
        "to 998"}},
      {"text and choice of no page",
       F{s.start, s.pages, *s.texts + "1007Unused.\n",
         *s.choices + "10070011Unused\n"},
       0,
       {"story-text.dat:6: warning: text for page 007 (episode 1) is never "
        "shown: no page index record is \"1007\"",
        "story-choice.dat:7: warning: choice for page 007 (episode 1) is "
        "never offered"}},
      {"second text record of a page",
       with(&F::texts,
            "1001You stand at a fork in the road.\n"
            "1001Another fork.\n"
            "1002The dragon eats you. GAME OVER\n"
            "2101You find the treasure.\n"
            "3201A quiet day by the river.\n"
            "4301The end of everything.\n"),
       0,
       {"story-text.dat:2: warning: the text of page 001 (episode 1) is on "
        "line 1 already: this one is never shown"}},
      {"slot set twice",
       with(&F::choices, "10019991Go home\n" + *s.choices),
       0,
       {"story-choice.dat:1: warning: choice 1 of page 001 (episode 1) is "
        "set again on line 2, which wins: this record is ignored"}},
      {"choice number outside 1-4 on a page never reached",
       F{s.start, *s.pages + "1099\n", s.texts, *s.choices + "10990010Odd\n"},
       0,
       {"story.dat:6: warning: page 099 (episode 1) is never reached",
        "story-choice.dat:7: warning: choice number \"0\" is not 1-4"}},
  };
  for (const Case& c : cases) {
    Outcome o = check(c.files);
    EXPECT_EQ(o.status, c.status) << c.name;
    expect_findings(o, c.findings, c.name);
  }
}

// The walk, for the rules of play that findings only show indirectly.
CheckResult play(const Files& f) {
  TempDir dir;
  write_story(dir, f);
  return check_story(dir.path());
}

TEST(KepCheckPlay, PageFoundByIdAloneKeysTextAndChoicesByItsOwnEpisode) {
  // Page 001 leads to 002; the next record carrying 002 is episode 2's, so
  // episode 1 shows its text and choices and ends lost there.
  CheckResult r = play({"1001\n", "1001\n2002\n1002\n",
                        "1001Fork.\n2002Trap. GAME OVER\n1002Gold.\n",
                        "10010021Go\n20029991End\n10029991End\n"});
  ASSERT_TRUE(r.walk);
  const EpisodeWalk& e1 = r.walk->episodes[0];
  EXPECT_EQ(e1.reached, (std::vector<bool>{true, true, false}));
  EXPECT_FALSE(r.walk->pages[1].ending_won);
  EXPECT_TRUE(r.walk->pages[2].ending_won);
  EXPECT_FALSE(e1.can_win);
}

TEST(KepCheckPlay, DestinationSearchStartsAfterThePageAndWraps) {
  // Records: 0 "1005", 1 "1006", 2 "2005", 3 "1001", 4 "2001".
  CheckResult r = play({"1005\n", "1005\n1006\n2005\n1001\n2001\n", "",
                        "10050061a\n10060051b\n20050061c\n20059992d\n"
                        "10010011e\n20019991f\n"});
  ASSERT_TRUE(r.walk);
  const std::vector<PageState>& p = r.walk->pages;
  EXPECT_EQ(p[0].slots[0].target, 1);  // 005 -> the 006 after it
  EXPECT_EQ(p[1].slots[0].target, 2);  // 006 -> the next 005, not the first
  EXPECT_EQ(p[2].slots[0].target, 1);  // 005 -> 006, wrapping to the start
  EXPECT_EQ(p[3].slots[0].target, 4);  // 001 -> itself finds the later 001
  EXPECT_EQ(p[4].slots[0].kind, SlotKind::kEnding);
}

TEST(KepCheckPlay, PageWithoutTextShowsTheLastTextRecord) {
  // Page 002 has no text: it shows line 2, which holds "GAME OVER".
  CheckResult r = play({"1001\n", "1001\n1002\n", "1001A.\n1009GAME OVER\n",
                        "10010021a\n10029991b\n"});
  ASSERT_TRUE(r.walk);
  EXPECT_EQ(r.walk->pages[1].shown_text, 1);
  EXPECT_FALSE(r.walk->episodes[0].can_win);

  // With no text record at all the page shows blanks: the ending is won.
  CheckResult blank = play({"1001\n", "1001\n", "", "10019991b\n"});
  ASSERT_TRUE(blank.walk);
  EXPECT_TRUE(blank.walk->episodes[0].can_win);
}

TEST(KepCheckPlay, LastRecordForASlotWinsAndABadNumberStopsThePage) {
  CheckResult r = play({"1001\n", "1001\n1002\n1003\n", "",
                        "10010021a\n10019991b\n10010032c\n10030020x\n"});
  ASSERT_TRUE(r.walk);
  const std::vector<PageState>& p = r.walk->pages;
  EXPECT_EQ(p[0].slots[0].kind, SlotKind::kEnding);  // line 2 wins slot 1
  EXPECT_EQ(p[2].bad_choice, 3);
  // Page 002 is behind page 003, where the game stops.
  EXPECT_EQ(r.walk->episodes[0].reached,
            (std::vector<bool>{true, false, true}));
}

TEST(KepCheckCommand, HelpVersionAndUsage) {
  TempDir dir;
  Outcome help = run_in(dir, {"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("Usage: kep-check [--map FILE] [DIR]\n", 0), 0u);
  Outcome version = run_in(dir, {"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("kep-check ", 0), 0u);

  const std::vector<std::string> bad[] = {
      {"--bogus"}, {"a", "b"}, {"--map"}, {"--map="}};
  for (const std::vector<std::string>& args : bad) {
    Outcome o = run_in(dir, args);
    EXPECT_EQ(o.status, 2) << args[0];
    ASSERT_FALSE(o.lines.empty()) << args[0];
    EXPECT_EQ(o.lines[0].rfind("kep-check: ", 0), 0u) << args[0];
  }
}

TEST(KepCheckCommand, MapThatCannotBeWritten) {
  TempDir dir;
  write_story(dir, clean_story());
  Outcome o =
      run_in(dir, {"--map", dir.path() + "/no/such/map.dot", dir.path()});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.lines, (std::vector<std::string>{
                         "no/such/map.dot: error: cannot write the map: No "
                         "such file or directory"}));

  Files f = clean_story();
  f.texts = std::nullopt;
  TempDir broken;
  write_story(broken, f);
  o = run_in(broken, {"--map", "-", broken.path()});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.out, "");
  ASSERT_EQ(o.lines.size(), 2u);
  EXPECT_EQ(o.lines[1],
            "-: note: no map written: the story files could not "
            "all be read");
}

TEST(KepCheckCommand, ProgramExitStatus) {
  TempDir dir;
  write_story(dir, clean_story());
  std::string program = KEP_CHECK_BINARY;
  auto status = [&](const std::string& args) {
    int raw = std::system((program + " " + args + " 2>/dev/null").c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  };
  EXPECT_EQ(status("'" + dir.path() + "'"), 0);
  EXPECT_EQ(status("--bogus"), 2);
  EXPECT_EQ(status("'" + dir.path() + "/none'"), 1);
}

// The largest story the format allows: 998 pages of full text, each with
// four choices. It must come out clean, like any well-made story.
TEST(KepCheck, LargestStoryIsClean) {
  Files f{"1000\n2000\n3000\n4000\n", "", "", ""};
  for (int k = 0; k < 998; ++k) {
    char id[4];
    std::snprintf(id, sizeof id, "%03d", k);
    *f.pages += std::string("1") + id + "\n";
    std::string body(1000, 'w');
    for (std::size_t at = 5; at < body.size(); at += 6) body[at] = ' ';
    for (int wrap = kFirstTextLine; wrap < 1000; wrap += kScreenWidth)
      body[wrap - 1] = body[wrap] = ' ';
    *f.texts += std::string("1") + id + body + "\n";
    int next[3] = {(k + 1) % 998, (k + 2) % 998, (k * 7) % 998};
    for (int slot = 1; slot <= 4; ++slot) {
      char dest[4];
      std::snprintf(dest, sizeof dest, "%03d",
                    slot == 4 ? 999 : next[slot - 1]);
      *f.choices += std::string("1") + id + dest + std::to_string(slot) +
                    std::string(70, 'c') + "\n";
    }
  }
  Outcome o = check(f);
  EXPECT_EQ(o.status, 0);
  EXPECT_TRUE(o.lines.empty())
      << o.lines.size()
      << " findings, first: " << (o.lines.empty() ? "" : o.lines[0]);
}

}  // namespace
}  // namespace kep::check
