// The seven screens, item by item, and the field contents they own.
#include "screen/screen_definitions.h"

#include <algorithm>
#include <cstring>

namespace kep {

namespace {

constexpr FieldClass kChars = FieldClass::kCharacters;
constexpr FieldClass kDigits = FieldClass::kDigits;

// Banner: "Kep" in block letters on a sign that leans to the right. Eight
// literals written from column 1, 53, 52, 51, 49, 48, 47, 46 and 45
// characters wide.
constexpr std::array<std::string_view, 8> kBanner = {
    "        #############################################",
    "       #    ***    ***     *******     ********    #",
    "      #    ***  ***      ***   ***    ***   ***   #",
    "    #    ******        *********    ********    #",
    "   #    ***  ***      ***          ***         #",
    "  #    ***    ***     *******     ***         #",
    " #                               ***         #",
    "#############################################",
};

// About prose. Paragraph 1 (14 lines) the history, paragraph 2 (4 lines)
// the story texts and the unlock rule, paragraph 3 (7 lines) the story
// files. Line widths are fixed by the screen:
//   1: 43 50 50 49 50 46 46 48 48 47 50 47 50 35
//   2: 58 49 58 48
//   3: 58 58 56 58 53 49 55
constexpr std::array<std::string_view, 25> kAbout = {
    // Paragraph 1.
    "   Kep was born on a wet Tuesday afternoon,",
    "when the office coffee machine broke down, and the",
    "staff of Brolt Enterprises found nothing better to",
    "do than argue about what a computer game was for.",
    "Half of them wanted dragons. The other half wanted",
    "a game about filing. They settled for one with",
    "neither, which upset everybody equally and was",
    "therefore declared a fair result. The first copy",
    "ran on a terminal so old that its letters had to",
    "be warmed up before use; the second copy ran on",
    "the same terminal, after somebody found the fuses.",
    "Since then Kep has been played by several dozen",
    "people, quite a few of them on purpose, and it has",
    "been ported to exactly one machine.",
    // Paragraph 2.
    "  Every page of every episode was written by a real person",
    "who really should have been doing something else.",
    "Spelling mistakes and plot holes come free with each page.",
    "Beat any of episodes 1 to 3 to unlock episode 4.",
    // Paragraph 3.
    "  Episodes live in four fixed-width text files in ./data/,",
    "one record per line: where episodes start, the page index,",
    "the page texts and the choices. Story authors type every",
    "record by hand, counting the columns on their fingers, and",
    "then run the kep-check tool. It counts them again and",
    "points out every page that leads nowhere, well in",
    "advance of any player getting lost. The typos stay put.",
};

// Helpers that build runs of items at compile time.

template <std::size_t... N>
constexpr auto join(const std::array<ScreenItem, N>&... parts) {
  std::array<ScreenItem, (N + ...)> all{};
  std::size_t at = 0;
  ((std::copy(parts.begin(), parts.end(), all.begin() + at), at += N), ...);
  return all;
}

constexpr std::array<ScreenItem, 1> one(ScreenItem item) { return {item}; }

/// `Count` position items with line +1 each.
template <std::size_t Count>
constexpr std::array<ScreenItem, Count> lines_down() {
  std::array<ScreenItem, Count> items{};
  items.fill(line_plus(1));
  return items;
}

/// `Count` pairs: a position item with line +1, then lines[first + i] as a
/// literal at column 1.
template <std::size_t Count, std::size_t N>
constexpr std::array<ScreenItem, 2 * Count> next_lines(
    const std::array<std::string_view, N>& lines, std::size_t first) {
  std::array<ScreenItem, 2 * Count> items{};
  for (std::size_t i = 0; i < Count; ++i) {
    items[2 * i] = line_plus(1);
    items[2 * i + 1] = literal_at(1, lines[first + i]);
  }
  return items;
}

// Bindings.
std::span<char> title_input(GameState& ws) { return ws.ws_title_input; }
std::span<char> menu_input(GameState& ws) { return ws.ws_menu_input; }
std::span<char> episode_input(GameState& ws) { return ws.ws_episode_input; }
std::span<char> about_input(GameState& ws) { return ws.ws_about_input; }
std::span<char> story_selection(GameState& ws) {
  return ws.ws_story_selection;
}
std::span<char> story_start_id(GameState& ws) {
  return ws.ws_story_start.ws_story_start_id;
}
std::span<char> story_start_episode(GameState& ws) {
  return ws.ws_story_start.ws_story_start_episode;
}
std::span<char> story_episode(GameState& ws) {
  return ws.ws_story.ws_story_episode;
}
std::span<char> current_story_id(GameState& ws) {
  return ws.ws_current_story_id;
}
std::span<char> story_id(GameState& ws) { return ws.ws_story.ws_story_id; }
std::span<char> story_text_id(GameState& ws) {
  return ws.ws_story_text.ws_story_text_id;
}
std::span<char> story_text_body(GameState& ws) {
  return ws.ws_story_text.ws_story_text_body;
}
template <int N>
std::span<char> choice_text(GameState& ws) {
  return ws.ws_story.slot(N).ws_choice_text;
}

// CLEAR-SCREEN.
constexpr auto kClearScreen = one(blank_screen());

// Items 1-21 of the title, main menu and both episode screens: lines 1-12.
constexpr auto kHeaderBlock = join(
    one(literal("                    Brolt Enterprises")),  // 1
    lines_down<2>(),                                      // 2-3
    one(literal_at(1, kBanner[0])),                       // 4
    next_lines<7>(kBanner, 1),                            // 5-18
    lines_down<2>(),                                      // 19-20
    one(literal_at(1, "                 D    R    A    V    O")));  // 21

constexpr auto kTitleScreen = join(
    kHeaderBlock,                                                    // 1-21
    lines_down<2>(),                                                 // 22-23
    one(literal_at(1, "                 A TEXTED BASED COMEDY")),   // 24
    lines_down<1>(),                                                 // 25
    one(literal_at(1, "                       Ver. 1.0")),          // 26
    lines_down<4>(),                                                 // 27-30
    one(literal_at(1, "          PRESS ENTER KEY TO GO TO THE MENU")),  // 31
    lines_down<11>(),                                                // 32-42
    one(line_plus_column(1, 1)),                                     // 43
    one(input_field(kChars, title_input)));                          // 44

constexpr auto kMainMenuScreen = join(
    kHeaderBlock,                                           // 1-21
    lines_down<2>(),                                        // 22-23
    one(literal_at(1, "                      1) NEW GAME")),  // 24
    lines_down<1>(),                                        // 25
    one(literal_at(1, "                      2) ABOUT")),     // 26
    lines_down<1>(),                                        // 27
    one(literal_at(1, "                      3) QUIT")),      // 28
    lines_down<2>(),                                        // 29-30
    one(literal_at(20, "Selection: ")),                     // 31
    one(input_field(kDigits, menu_input)));                 // 32

// The two episode screens differ only in item 31, the line of episode 4.
constexpr auto episode_screen(std::string_view episode_4_line) {
  return join(
      kHeaderBlock,                                                 // 1-21
      one(line_plus(2)),                                            // 22
      one(literal_at(1, "                   SELECT AN EPISODE")),   // 23
      lines_down<1>(),                                              // 24
      one(literal_at(1, "                  1) Odd Jests")),         // 25
      lines_down<1>(),                                              // 26
      one(literal_at(1, "                  2) The Lost Parcel")),   // 27
      lines_down<1>(),                                              // 28
      one(literal_at(1, "                  3) Brain Fog Blues")),   // 29
      lines_down<1>(),                                              // 30
      one(literal_at(1, episode_4_line)),                           // 31
      one(line_plus(2)),                                            // 32
      one(literal_at(20, "Selection: ")),                           // 33
      one(input_field(kDigits, episode_input)));                    // 34
}
constexpr auto kEpisodeScreenLocked =
    episode_screen("                  4) Topsyturvy (LOCKED)");
constexpr auto kEpisodeScreenUnlocked =
    episode_screen("                  4) Topsyturvy (UNLOCKED)");

constexpr auto kAboutScreen = join(
    one(line_at(1)),                                          // 1
    one(literal_at(1, "                 ABOUT")),             // 2
    lines_down<1>(),                                          // 3
    one(literal_at(1, "                -------")),            // 4
    next_lines<14>(kAbout, 0),                                // 5-32
    one(line_plus(2)),                                        // 33
    one(literal_at(1, kAbout[14])),                           // 34
    next_lines<3>(kAbout, 15),                                // 35-40
    one(line_plus(2)),                                        // 41
    one(literal_at(1, kAbout[18])),                           // 42
    next_lines<6>(kAbout, 19),                                // 43-54
    one(line_plus(3)),                                        // 55
    one(literal_at(5, "Press enter to return to the main menu.")),  // 56
    one(input_field(kChars, about_input)));                   // 57

// A choice below the one before it: line +1, column 4, then 255 cells.
template <int N>
constexpr auto next_choice() {
  return join(lines_down<1>(), one(column_at(4)),
              one(output_field(255, kChars, choice_text<N>)));
}

constexpr auto kStoryScreen = join(
    one(line_at(1)),                                            // 1
    one(literal_at(1, "STORY START RECORD ID: ")),              // 2
    one(output_field(3, kDigits, story_start_id)),              // 3
    lines_down<1>(),                                            // 4
    one(literal_at(1, "STORY START EPISODE RECORD ID: ")),      // 5
    one(output_field(1, kDigits, story_start_episode)),         // 6
    lines_down<1>(),                                            // 7
    one(literal_at(1, "CURRENT EPISODE: ")),                    // 8
    one(output_field(1, kDigits, story_episode)),               // 9
    lines_down<1>(),                                            // 10
    one(literal_at(1, "CURRENT RECORD: ")),                     // 11
    one(output_field(3, kDigits, current_story_id)),            // 12
    lines_down<1>(),                                            // 13
    one(literal_at(1, "STORY ID: ")),                           // 14
    one(output_field(3, kDigits, story_id)),                    // 15
    lines_down<1>(),                                            // 16
    one(literal_at(1, "STORY TEXT ID: ")),                      // 17
    one(output_field(3, kDigits, story_text_id)),               // 18
    lines_down<1>(),                                            // 19
    one(output_field(1000, kChars, story_text_body)),           // 20
    one(line_plus(4)),                                          // 21
    one(column_at(4)),                                          // 22
    one(output_field(255, kChars, choice_text<1>)),             // 23
    next_choice<2>(),                                           // 24-26
    next_choice<3>(),                                           // 27-29
    next_choice<4>(),                                           // 30-32
    one(line_plus(2)),                                          // 33
    one(literal_at(2, "Selection: ")),                          // 34
    one(input_field(kDigits, story_selection)));                // 35

static_assert(kTitleScreen.size() == 44);
static_assert(kMainMenuScreen.size() == 32);
static_assert(kEpisodeScreenLocked.size() == 34);
static_assert(kAboutScreen.size() == 57);
static_assert(kStoryScreen.size() == 35);

}  // namespace

std::span<const ScreenItem> screen_items(ScreenId screen) {
  switch (screen) {
    case ScreenId::kClearScreen: return kClearScreen;
    case ScreenId::kTitleScreen: return kTitleScreen;
    case ScreenId::kMainMenuScreen: return kMainMenuScreen;
    case ScreenId::kEpisodeScreenLocked: return kEpisodeScreenLocked;
    case ScreenId::kEpisodeScreenUnlocked: return kEpisodeScreenUnlocked;
    case ScreenId::kAboutScreen: return kAboutScreen;
    case ScreenId::kStoryScreen: return kStoryScreen;
  }
  return kClearScreen;
}

std::span<const std::string_view> banner_lines() { return kBanner; }
std::span<const std::string_view> about_lines() { return kAbout; }

ScreenDefinition::ScreenDefinition(ScreenId id,
                                   std::span<const ScreenItem> items)
    : id_(id), items_(items), contents_(items.size()) {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const ScreenItem& item = items_[i];
    if (!item.is_field()) continue;
    contents_[i].assign(static_cast<std::size_t>(item.width), ' ');
    if (item.kind == ItemKind::kInputField) input_ = static_cast<int>(i);
  }
}

void ScreenDefinition::copy_in(GameState& ws) {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const ScreenItem& item = items_[i];
    if (item.kind != ItemKind::kOutputField) continue;
    std::span<const char> from = item.binding(ws);
    std::string& to = contents_[i];
    // Bindings pair fields of the same width; a copy never goes beyond
    // either of them.
    std::memcpy(to.data(), from.data(), std::min(to.size(), from.size()));
  }
}

void ScreenDefinition::copy_out(GameState& ws) const {
  if (!has_input()) return;
  const ScreenItem& item = input_item();
  char c = input();
  if (c == ' ' && item.field_class == FieldClass::kDigits) c = '0';
  item.binding(ws)[0] = c;
}

ScreenDefinitions::ScreenDefinitions() {
  for (ScreenId id :
       {ScreenId::kClearScreen, ScreenId::kTitleScreen,
        ScreenId::kMainMenuScreen, ScreenId::kEpisodeScreenLocked,
        ScreenId::kEpisodeScreenUnlocked, ScreenId::kAboutScreen,
        ScreenId::kStoryScreen})
    screens_.emplace_back(id, screen_items(id));
}

}  // namespace kep
