// Tiny stories for tests: the four data files written into a temporary
// directory, and a whole run of the game over them with the fake screen
// layer and the fake shell.
#ifndef KEP_TESTING_STORY_FIXTURE_H_
#define KEP_TESTING_STORY_FIXTURE_H_

#include <optional>
#include <string>
#include <vector>

#include "frame/shell.h"
#include "screen/fake_screen_layer.h"
#include "testing/temp_dir.h"

namespace kep {

/// The lines of the four files; a file left as std::nullopt is not written.
struct StoryData {
  std::optional<std::vector<std::string>> start = std::vector<std::string>{};
  std::optional<std::vector<std::string>> index = std::vector<std::string>{};
  std::optional<std::vector<std::string>> text = std::vector<std::string>{};
  std::optional<std::vector<std::string>> choice = std::vector<std::string>{};
};

/// A choice record line: "<episode><id><destination><number><text>".
std::string choice_line(const std::string& page, const std::string& destination,
                        char number, const std::string& text);

/// Writes the files into `dir`/data and returns that data directory.
std::string write_story(const TempDir& dir, const StoryData& data);

/// What a whole run did.
struct Played {
  int status = -1;
  std::string report;
  std::vector<std::string> traces;  // messages, trailing spaces removed
  std::vector<std::string> screens; // FakeScreenLayer::log()
  std::vector<GameState> story_screens;
  GameState end_state;
};

/// Runs p000_main_procedure over `data` with the player's `entries` until
/// the run stops (quit, a failure stop, or the entries running out).
Played play(const StoryData& data, const std::string& entries,
            int shell_status = 0);

/// The same over a data directory that is already in place.
Played play_in(const std::string& data_dir, const std::string& entries,
               int shell_status = 0);

/// The text shown on a STORY-SCREEN snapshot: its bound fields by name.
std::string field(const char* chars, std::size_t length);

}  // namespace kep

#endif  // KEP_TESTING_STORY_FIXTURE_H_
