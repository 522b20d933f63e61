// The story files in data/ are what the game plays. These tests read them with
// the game's own record reader and play every episode the way the page loop
// does: a story id is looked up from the record after the current page, on
// round to the end of the page index and again from its first record; a
// page's text and choices are found under the page index record's episode
// digit and id. A broken link, a page nobody can reach, a page with no way
// out, a lost ending that forgets to say so, or a page text that splits a
// word at the screen margin is caught here, before a player meets it.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "data/record_file.h"
#include "data/story_files.h"
#include "testing/temp_dir.h"

namespace kep {
namespace {

constexpr std::string_view kEpisodes = "1234";
constexpr std::string_view kLostMark = "GAME OVER";
constexpr std::string_view kEndEpisode = "999";
constexpr std::string_view kEmptySlot = "998";
// A page text runs from line 7, column 19, to column 80 and on from column 1
// of each following line: 62 characters, then lines of 80, 1000 in all.
constexpr std::size_t kTextLength = 1000;
constexpr std::size_t kFirstLine = 62;
constexpr std::size_t kLine = 80;
// A choice starts at column 4 of its line.
constexpr std::size_t kChoiceWidth = 77;

// ---------------------------------------------------------------------------
// Loading

struct Line {
  std::string record;  // record_length characters, space padded
  std::size_t length;  // characters on the line in the file
  std::size_t number;  // 1-based
};

struct LoadedFile {
  std::string name;
  std::size_t record_length;
  std::string bytes;  // the whole file, for byte-level checks
  std::vector<Line> lines;
};

LoadedFile load(const std::string& dir, const FileDeclaration& file) {
  LoadedFile loaded{file.file_name, file.record_length, {}, {}};
  RecordFile reader(data_path(dir, file), file.record_length);
  reader.open();
  while (reader.read_next() == ReadOutcome::kRecord)
    loaded.lines.push_back({std::string(reader.record(), file.record_length),
                            reader.line_length(), reader.line_number()});
  reader.close();
  std::ifstream raw(data_path(dir, file), std::ios::binary);
  loaded.bytes.assign(std::istreambuf_iterator<char>(raw), {});
  return loaded;
}

struct Story {
  LoadedFile start, index, text, choice;
};

Story load_story(const std::string& dir) {
  return {load(dir, kFdStoryStartFile), load(dir, kFdStoryFile),
          load(dir, kFdStoryTextFile), load(dir, kFdStoryChoiceFile)};
}

using Problems = std::vector<std::string>;

std::string listed(const Problems& problems) {
  std::string out;
  for (const std::string& p : problems) out += "\n  " + p;
  return out;
}

bool all_digits(std::string_view s) {
  return std::all_of(s.begin(), s.end(),
                     [](char c) { return c >= '0' && c <= '9'; });
}

// "1100": an episode digit and a three-digit story id.
bool is_key(std::string_view record) {
  return record.size() >= 4 && kEpisodes.find(record[0]) != std::string::npos &&
         all_digits(record.substr(1, 3));
}

std::string at(const LoadedFile& file, const Line& line) {
  return file.name + ":" + std::to_string(line.number) + ": ";
}

// What a story must offer. The shipped one is held to the defaults; the
// small stories that test the checks themselves ask for less.
struct Expectations {
  std::size_t min_pages = 15;
  std::size_t min_won = 2;
  std::size_t min_lost = 2;
  // Every slot used, a way back to a page stored earlier, most pages with a
  // real choice: what makes an episode feel like this game.
  bool shape = true;
  // The episodes that must be there and playable.
  std::string_view episodes = kEpisodes;
};

// ---------------------------------------------------------------------------
// Records: bytes, lengths and fields

Problems record_problems(const Story& story, const Expectations& want) {
  Problems problems;
  for (const LoadedFile* file :
       {&story.start, &story.index, &story.text, &story.choice}) {
    if (file->bytes.empty() || file->bytes.back() != '\n')
      problems.push_back(file->name + ": does not end with a line feed");
    std::size_t line = 1;
    for (unsigned char c : file->bytes) {
      if (c == '\n') {
        ++line;
      } else if (c < ' ' || c > '~') {
        problems.push_back(file->name + ":" + std::to_string(line) +
                           ": byte " + std::to_string(c) +
                           " is not printable ASCII");
        break;  // one is enough to say the file is wrong
      }
    }
    for (const Line& l : file->lines) {
      if (l.length > file->record_length)
        problems.push_back(at(*file, l) + "line of " +
                           std::to_string(l.length) +
                           " characters is longer than its record");
      if (!is_key(l.record))
        problems.push_back(at(*file, l) +
                           "does not start with an episode digit 1-4 and a "
                           "three-digit story id");
    }
  }

  std::map<char, int> starts;
  for (const Line& l : story.start.lines) ++starts[l.record[0]];
  for (char e : want.episodes)
    if (starts[e] != 1)
      problems.push_back("episode " + std::string(1, e) + " has " +
                         std::to_string(starts[e]) +
                         " start records; it needs exactly one");

  std::map<std::string, std::size_t> line_of_id;
  std::set<std::string> pages;
  for (const Line& l : story.index.lines) {
    std::string id = l.record.substr(1, 3);
    if (id == "000" || id == kEmptySlot || id == kEndEpisode)
      problems.push_back(at(story.index, l) + "story id " + id +
                         " cannot be a page");
    auto [it, fresh] = line_of_id.emplace(id, l.number);
    if (!fresh)
      problems.push_back(at(story.index, l) + "story id " + id +
                         " is also on line " + std::to_string(it->second) +
                         "; page ids must differ across all episodes");
    pages.insert(l.record.substr(0, 4));
  }

  std::map<std::string, int> texts;
  for (const Line& l : story.text.lines) {
    std::string key = l.record.substr(0, 4);
    if (!pages.count(key))
      problems.push_back(at(story.text, l) + "text " + key +
                         " belongs to no page");
    if (++texts[key] == 2)
      problems.push_back(at(story.text, l) + "second text for page " + key);
  }
  for (const std::string& key : pages)
    if (!texts.count(key)) problems.push_back("page " + key + " has no text");

  std::set<std::string> slots;
  for (const Line& l : story.choice.lines) {
    std::string key = l.record.substr(0, 4);
    std::string dest = l.record.substr(4, 3);
    char slot = l.record[7];
    if (!pages.count(key))
      problems.push_back(at(story.choice, l) + "choice " + key +
                         " belongs to no page");
    if (!all_digits(dest) || dest == "000" || dest == kEmptySlot)
      problems.push_back(at(story.choice, l) + "destination " + dest +
                         " is not allowed");
    else if (dest != kEndEpisode && !line_of_id.count(dest))
      problems.push_back(at(story.choice, l) + "destination " + dest +
                         " is not in the page index");
    if (slot < '1' || slot > '4')
      problems.push_back(at(story.choice, l) + "choice number '" +
                         std::string(1, slot) + "' is not 1-4");
    else if (!slots.insert(key + slot).second)
      problems.push_back(at(story.choice, l) + "second choice " +
                         std::string(1, slot) + " for page " + key +
                         " hides the first");
  }
  return problems;
}

// ---------------------------------------------------------------------------
// Screen: the text breaks at fixed positions, so a word must end before one

Problems screen_problems(const Story& story) {
  Problems problems;
  for (const Line& l : story.text.lines) {
    std::string_view text = std::string_view(l.record).substr(4, kTextLength);
    for (std::size_t end = kFirstLine; end < kTextLength; end += kLine)
      if (text[end - 1] != ' ' && text[end] != ' ') {
        std::size_t from = end >= 8 ? end - 8 : 0;
        problems.push_back(at(story.text, l) + "page " +
                           l.record.substr(0, 4) +
                           " splits a word at text positions " +
                           std::to_string(end) + "|" +
                           std::to_string(end + 1) + ": \"" +
                           std::string(text.substr(from, 16)) + "\"");
      }
  }
  for (const Line& l : story.choice.lines) {
    std::string_view text = std::string_view(l.record).substr(8);
    std::size_t length = text.find_last_not_of(' ') + 1;  // 0 when blank
    if (length > kChoiceWidth)
      problems.push_back(at(story.choice, l) + "choice text of " +
                         std::to_string(length) +
                         " characters runs off its line");
    if (length == 0)
      problems.push_back(at(story.choice, l) + "choice text is empty");
  }
  return problems;
}

// ---------------------------------------------------------------------------
// Play: the game's lookups, and a walk over every place a player can be

struct Page {
  std::string key;   // episode digit and story id, from the page index
  std::string text;  // 1000 characters
  std::array<std::string, 4> dest{std::string(kEmptySlot),
                                  std::string(kEmptySlot),
                                  std::string(kEmptySlot),
                                  std::string(kEmptySlot)};
};

class Game {
 public:
  explicit Game(const Story& story) : story_(story) {}

  // The last start record of the episode names its first page.
  std::optional<std::string> start_id(char episode) const {
    std::optional<std::string> id;
    for (const Line& l : story_.start.lines)
      if (l.record[0] == episode) id = l.record.substr(1, 3);
    return id;
  }

  // Reads the page index from position `from` on, starting again at its
  // first record after the last; the first record with the id is the page.
  // Only the id is compared, not the episode digit.
  std::optional<std::size_t> find(std::size_t from,
                                  std::string_view id) const {
    const std::vector<Line>& index = story_.index.lines;
    for (std::size_t n = 0; n < index.size(); ++n) {
      std::size_t pos = (from + n) % index.size();
      if (std::string_view(index[pos].record).substr(1, 3) == id) return pos;
    }
    return std::nullopt;
  }

  Page page_at(std::size_t position) const {
    Page page;
    page.key = story_.index.lines[position].record.substr(0, 4);
    for (const Line& l : story_.text.lines)
      if (l.record.compare(0, 4, page.key) == 0) {
        page.text = l.record.substr(4);
        break;
      }
    for (const Line& l : story_.choice.lines) {
      char slot = l.record[7];
      if (l.record.compare(0, 4, page.key) == 0 && slot >= '1' && slot <= '4')
        page.dest[slot - '1'] = l.record.substr(4, 3);
    }
    return page;
  }

  std::size_t pages() const { return story_.index.lines.size(); }
  char episode_at(std::size_t position) const {
    return story_.index.lines[position].record[0];
  }

 private:
  const Story& story_;
};

Problems play_problems(const Story& story, const Expectations& want) {
  Problems problems;
  Game game(story);
  for (char e : want.episodes) {
    const std::string episode = "episode " + std::string(1, e);
    std::optional<std::string> start = game.start_id(e);
    if (!start) {
      problems.push_back(episode + " has no start page");
      continue;
    }
    std::optional<std::size_t> first = game.find(0, *start);
    if (!first) {
      problems.push_back(episode + " starts at " + *start +
                         ", which is not in the page index");
      continue;
    }

    // The place a player is at is the page index position of the current
    // page, since the next lookup starts from there.
    std::map<std::size_t, std::vector<std::size_t>> next;
    std::set<std::size_t> endings;
    std::set<std::string> won, lost;
    std::set<int> slots_used;
    bool goes_back = false;
    std::size_t real_choices = 0;
    std::vector<std::size_t> todo{*first};
    next[*first];
    while (!todo.empty()) {
      std::size_t pos = todo.back();
      todo.pop_back();
      Page page = game.page_at(pos);
      std::string id = page.key.substr(1);
      if (page.key[0] != e)
        problems.push_back(episode + " reaches page " + id + " of episode " +
                           page.key.substr(0, 1));
      int offered = 0;
      for (int slot = 0; slot < 4; ++slot) {
        const std::string& dest = page.dest[slot];
        if (dest == kEmptySlot) continue;
        ++offered;
        slots_used.insert(slot + 1);
        if (dest == kEndEpisode) {
          endings.insert(pos);
          (page.text.find(kLostMark) == std::string::npos ? won : lost)
              .insert(id);
          continue;
        }
        std::optional<std::size_t> to = game.find(pos + 1, dest);
        if (!to) {
          problems.push_back(episode + ": page " + id + " choice " +
                             std::to_string(slot + 1) + " leads to " + dest +
                             ", which is not in the page index");
          continue;
        }
        if (*to <= pos) goes_back = true;
        next[pos].push_back(*to);
        if (next.emplace(*to, std::vector<std::size_t>{}).second)
          todo.push_back(*to);
      }
      if (offered == 0)
        problems.push_back(episode + ": page " + id + " offers no choice");
      if (offered >= 2) ++real_choices;
    }

    for (std::size_t pos = 0; pos < game.pages(); ++pos)
      if (game.episode_at(pos) == e && !next.count(pos))
        problems.push_back(episode + ": page " +
                           game.page_at(pos).key.substr(1) +
                           " cannot be reached from the start");

    // From every place a player can be, some path must end the episode.
    std::set<std::size_t> finishing = endings;
    for (bool grew = true; grew;) {
      grew = false;
      for (const auto& [pos, to] : next)
        if (!finishing.count(pos) &&
            std::any_of(to.begin(), to.end(),
                        [&](std::size_t t) { return finishing.count(t); })) {
          finishing.insert(pos);
          grew = true;
        }
    }
    for (const auto& [pos, to] : next)
      if (!finishing.count(pos))
        problems.push_back(episode + ": from page " +
                           game.page_at(pos).key.substr(1) +
                           " no ending can be reached");

    if (won.size() < want.min_won || lost.size() < want.min_lost)
      problems.push_back(episode + " has " + std::to_string(won.size()) +
                         " won and " + std::to_string(lost.size()) +
                         " lost endings; it wants at least " +
                         std::to_string(want.min_won) + " and " +
                         std::to_string(want.min_lost));
    if (next.size() < want.min_pages)
      problems.push_back(episode + " has " + std::to_string(next.size()) +
                         " pages to play; it wants at least " +
                         std::to_string(want.min_pages));
    if (want.shape) {
      if (slots_used.size() != 4)
        problems.push_back(episode + " never uses all four choice slots");
      if (!goes_back)
        problems.push_back(episode +
                           " has no choice back to a page stored earlier");
      if (real_choices * 2 <= next.size())
        problems.push_back(episode +
                           ": most pages offer fewer than two choices");
    }
  }
  return problems;
}

Problems all_problems(const std::string& dir, const Expectations& want) {
  Story story = load_story(dir);
  Problems problems = record_problems(story, want);
  for (Problems more : {screen_problems(story), play_problems(story, want)})
    problems.insert(problems.end(), more.begin(), more.end());
  return problems;
}

// ---------------------------------------------------------------------------
// The shipped story

const std::string kShipped = std::string(KEP_SOURCE_DIR) + "/data";

TEST(ShippedEpisodes, RecordsAreWellFormed) {
  Problems problems = record_problems(load_story(kShipped), Expectations{});
  EXPECT_TRUE(problems.empty()) << listed(problems);
}

TEST(ShippedEpisodes, PagesFitTheScreen) {
  Problems problems = screen_problems(load_story(kShipped));
  EXPECT_TRUE(problems.empty()) << listed(problems);
}

TEST(ShippedEpisodes, EveryEpisodePlaysThrough) {
  Problems problems = play_problems(load_story(kShipped), Expectations{});
  EXPECT_TRUE(problems.empty()) << listed(problems);
}

// ---------------------------------------------------------------------------
// The checks above must notice a broken story, or a clean result means
// nothing. Each case breaks a small, otherwise sound one-episode story.

struct Files {
  std::vector<std::string> start{"1101"};
  std::vector<std::string> index{"1101", "1102", "1103"};
  std::vector<std::string> text{"1101Off you go.", "1102You win.",
                                "1103You lose. GAME OVER"};
  std::vector<std::string> choice{"11011021Win.", "11011032Lose.",
                                  "11029991The end.", "11039991The end."};
};

std::string joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\n";
  return out;
}

Problems problems_of(const Files& files) {
  TempDir dir;
  dir.write("story-start.dat", joined(files.start));
  dir.write("story.dat", joined(files.index));
  dir.write("story-text.dat", joined(files.text));
  dir.write("story-choice.dat", joined(files.choice));
  Expectations small{1, 1, 1, false, "1"};
  return all_problems(dir.path(), small);
}

bool mentions(const Problems& problems, std::string_view what) {
  return std::any_of(problems.begin(), problems.end(), [&](const auto& p) {
    return p.find(what) != std::string::npos;
  });
}

TEST(ShippedEpisodesCheck, NoticesBrokenStories) {
  struct Case {
    const char* name;
    void (*breakage)(Files&);
    const char* expected;
  } cases[] = {
      {"page nobody can reach",
       [](Files& f) {
         f.index.push_back("1104");
         f.text.push_back("1104Lonely.");
         f.choice.push_back("11049991The end.");
       },
       "page 104 cannot be reached"},
      {"page that only leads to itself",
       [](Files& f) {
         f.index.push_back("1104");
         f.text.push_back("1104Round and round.");
         f.choice.push_back("11011043Loop.");
         f.choice.push_back("11041041Again.");
       },
       "from page 104 no ending can be reached"},
      {"destination missing from the page index",
       [](Files& f) { f.choice.push_back("11011053Nowhere."); },
       "leads to 105, which is not in the page index"},
      {"empty slot used as a destination",
       [](Files& f) { f.choice.push_back("11019983Empty."); },
       "destination 998 is not allowed"},
      {"page filed under another episode",
       [](Files& f) {
         f.index[1] = "2102";
         f.text[1] = "2102You win.";
         f.choice[2] = "21029991The end.";
       },
       "episode 1 reaches page 102 of episode 2"},
      {"text under another episode digit than its page",
       [](Files& f) { f.text[0] = "2101Off you go."; },
       "page 1101 has no text"},
      {"lost ending that does not say so",
       [](Files& f) { f.text[2] = "1103You lose. Game over."; },
       "2 won and 0 lost endings"},
      {"story id used by two episodes",
       [](Files& f) { f.index.push_back("2102"); },
       "story id 102 is also on line 2"},
      {"word across the first margin",
       [](Files& f) { f.text[0] = "1101" + std::string(61, ' ') + "ab"; },
       "splits a word at text positions 62|63"},
      {"word across a later margin",
       [](Files& f) { f.text[0] = "1101" + std::string(141, ' ') + "ab"; },
       "splits a word at text positions 142|143"},
      {"choice too long for its line",
       [](Files& f) { f.choice[0] = "11011021" + std::string(78, 'x'); },
       "choice text of 78 characters"},
      {"choice number out of range",
       [](Files& f) { f.choice.push_back("11011025Five."); },
       "choice number '5' is not 1-4"},
      {"CR LF line ends",
       [](Files& f) { f.choice[0] += "\r"; },
       "story-choice.dat:1: byte 13"},
      {"line longer than its record",
       [](Files& f) { f.index[0] += "x"; },
       "story.dat:1: line of 5 characters"},
  };
  EXPECT_TRUE(problems_of(Files{}).empty()) << listed(problems_of(Files{}));
  for (const Case& c : cases) {
    Files files;
    c.breakage(files);
    Problems problems = problems_of(files);
    EXPECT_TRUE(mentions(problems, c.expected))
        << c.name << ": expected \"" << c.expected << "\" among:"
        << listed(problems);
  }
}

TEST(ShippedEpisodesCheck, FindsAnEarlierPageByStartingAgain) {
  // Page 102 is stored before 101, so 101's choice is found only by reading
  // on to the end of the page index and starting again from its top.
  Files files;
  files.index = {"1102", "1101", "1103"};
  EXPECT_TRUE(problems_of(files).empty()) << listed(problems_of(files));
}

}  // namespace
}  // namespace kep
