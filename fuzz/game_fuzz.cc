// A whole game over arbitrary story files and an arbitrary key script, with
// the fake screen layer and the fake shell. Every run must end (each pass
// over the page index either shows a page, which takes a key, or stops the
// run; the key script runs out), must not crash, and must keep the record's
// invariants at every page shown:
//   - WS-EOF and WS-TEXT-FOUND are back at N after the scans;
//   - slot n holds the text and destination of the last choice record of the
//     page with choice number n, or spaces and 998 when there is none;
//   - the page text is the page's first text record when it has one;
// and at the end: every trace command line is "echo " and 295 more
// characters, and the report is one line of printable characters.
//
// Input: the four files and the keys, separated by the line "~~~":
//   story-start.dat \n~~~\n story.dat \n~~~\n story-text.dat \n~~~\n
//   story-choice.dat \n~~~\n keys (one byte per accepted screen)
// A file whose part is missing is not written, so its open fails. Only the
// first 1024 keys are played.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "data/story_files.h"
#include "frame/game.h"
#include "frame/run_stop.h"
#include "frame/shell.h"
#include "fuzz/line_records.h"
#include "screen/fake_screen_layer.h"
#include "testing/temp_dir.h"

namespace kep::fuzz {

void fail(const char* what) {
  std::fprintf(stderr, "game fuzz: %s\n", what);
  std::abort();
}

namespace {

constexpr std::string_view kSeparator = "\n~~~\n";
// Every page turn re-reads the files, so a run costs up to keys x file
// sizes; the cap keeps a run well inside the time limit.
constexpr std::size_t kMaxKeys = 1024;
const FileDeclaration* const kFiles[] = {
    &kFdStoryStartFile, &kFdStoryFile, &kFdStoryTextFile, &kFdStoryChoiceFile};

const char* bytes_of(const void* area) {
  return static_cast<const char*>(area);
}

// What the page shown on `screen` must hold, from the files as written.
void check_page(const GameState& screen, const std::vector<std::string>& texts,
                const std::vector<std::string>& choices) {
  static const std::string kSpaces(255, ' ');
  // The page's key: the episode digit and story id of its index record.
  const char* page = bytes_of(&screen.ws_story);

  const std::string* slot_record[4] = {};  // the last choice record per slot
  for (const std::string& record : choices) {
    if (std::memcmp(record.data(), page, 4) != 0) continue;
    int n = record[7] - '1';
    check(n >= 0 && n < 4, "a page with a bad choice number was shown");
    slot_record[n] = &record;
  }
  for (int n = 0; n < 4; ++n) {
    const WsChoice& slot = screen.ws_story.ws_choice[n];
    const char* destination =
        slot_record[n] ? slot_record[n]->data() + 4 : "998";
    const char* text =
        slot_record[n] ? slot_record[n]->data() + 8 : kSpaces.data();
    check(std::memcmp(slot.ws_choice_destination, destination, 3) == 0,
          "a slot's destination is neither 998 nor its choice record's");
    check(std::memcmp(slot.ws_choice_text, text, 255) == 0,
          "a slot's text is not its choice record's");
  }

  for (const std::string& record : texts) {
    if (std::memcmp(record.data(), page, 4) != 0) continue;
    check(
        std::memcmp(bytes_of(&screen.ws_story_text), record.data(), 1004) == 0,
        "the page text is not the page's first text record");
    break;
  }
}

// The fake screen layer, checking each page as it is shown instead of
// keeping every snapshot, and checking a page again only when it changed (a
// refused selection shows the same page again): long key scripts stay cheap.
class CheckingScreen : public FakeScreenLayer {
 public:
  CheckingScreen(std::string keys, const std::vector<std::string>& texts,
                 const std::vector<std::string>& choices)
      : FakeScreenLayer(std::move(keys)), texts_(texts), choices_(choices) {}

  void accept(ScreenId screen, GameState& ws) override {
    if (screen == ScreenId::kStoryScreen) {
      check(ws.ws_eof[0] == 'N' && ws.ws_text_found[0] == 'N',
            "a scan flag is not N while a page is shown");
      if (!checked_ ||
          std::memcmp(&ws.ws_story, &shown_.ws_story, sizeof ws.ws_story) ||
          std::memcmp(&ws.ws_story_text, &shown_.ws_story_text,
                      sizeof ws.ws_story_text)) {
        check_page(ws, texts_, choices_);
        shown_.ws_story = ws.ws_story;
        shown_.ws_story_text = ws.ws_story_text;
        checked_ = true;
      }
    }
    FakeScreenLayer::accept(screen, ws);
    story_screens_.clear();
  }

 private:
  const std::vector<std::string>& texts_;
  const std::vector<std::string>& choices_;
  bool checked_ = false;
  GameState shown_;
};

void check_end(const RunStop& stop, const FakeShell& shell) {
  check(stop.status() >= 0 && stop.status() <= 255, "exit status out of range");
  for (char c : stop.report())
    check(c >= ' ' && c <= '~', "the report carries a control character");
  for (const std::string& command : shell.commands_ran_) {
    check(command.size() == 300, "a trace command line is not 300 characters");
    check(command.compare(0, 5, "echo ") == 0,
          "a trace command line is not echo");
    check(command.find_first_not_of(' ', 260) == std::string::npos,
          "positions 261-300 of a trace command line are not spaces");
  }
}

}  // namespace
}  // namespace kep::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  using namespace kep;
  using namespace kep::fuzz;
  static TempDir dir;
  static const std::string data_dir = dir.path() + "/data";

  // Split the input: four files, then the keys.
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> parts;
  while (parts.size() < 4) {
    std::size_t at = input.find(kSeparator);
    if (at == std::string_view::npos) break;
    parts.push_back(input.substr(0, at));
    input.remove_prefix(at + kSeparator.size());
  }
  std::string keys;
  if (parts.size() == 4)
    keys = std::string(input.substr(0, kMaxKeys));
  else
    parts.push_back(input);

  for (std::size_t i = 0; i < 4; ++i) {
    std::string name = std::string("data/") + kFiles[i]->file_name;
    if (i < parts.size())
      dir.write(name, std::string(parts[i]));
    else
      std::filesystem::remove(dir.path() + "/" + name);
  }
  std::vector<std::string> texts, choices;
  if (parts.size() > 2)
    texts = records_of(parts[2], kFdStoryTextFile.record_length);
  if (parts.size() > 3)
    choices = records_of(parts[3], kFdStoryChoiceFile.record_length);

  CheckingScreen screen(keys, texts, choices);
  FakeShell shell;
  Game game(screen, shell, data_dir);
  try {
    game.p000_main_procedure();
  } catch (const RunStop& stop) {
    check_end(stop, shell);
    if (stop.report().empty()) {  // the quit choice: back at the menu
      check(game.ws.ws_eof[0] == 'N', "WS-EOF is not N after the game");
      check(game.ws.ws_text_found[0] == 'N',
            "WS-TEXT-FOUND is not N after the game");
    }
  }
  return 0;
}
