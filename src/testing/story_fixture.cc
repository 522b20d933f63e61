#include "testing/story_fixture.h"

#include "frame/game.h"
#include "frame/run_stop.h"

namespace kep {

std::string choice_line(const std::string& page, const std::string& destination,
                        char number, const std::string& text) {
  return page + destination + number + text;
}

namespace {

std::string lines(const std::vector<std::string>& v) {
  std::string s;
  for (const std::string& line : v) s += line + "\n";
  return s;
}

}  // namespace

std::string write_story(const TempDir& dir, const StoryData& data) {
  std::string data_dir = dir.path() + "/data";
  if (data.start) dir.write("data/story-start.dat", lines(*data.start));
  if (data.index) dir.write("data/story.dat", lines(*data.index));
  if (data.text) dir.write("data/story-text.dat", lines(*data.text));
  if (data.choice) dir.write("data/story-choice.dat", lines(*data.choice));
  return data_dir;
}

Played play(const StoryData& data, const std::string& entries,
            int shell_status) {
  TempDir dir;
  return play_in(write_story(dir, data), entries, shell_status);
}

Played play_in(const std::string& data_dir, const std::string& entries,
               int shell_status) {
  FakeScreenLayer screen(entries);
  FakeShell shell;
  shell.default_status_ = shell_status;
  Game game(screen, shell, data_dir);
  Played played;
  try {
    game.p000_main_procedure();
  } catch (const RunStop& stop) {
    played.status = stop.status();
    played.report = stop.report();
  }
  for (const std::string& command : shell.commands_ran_) {
    std::string message = command.substr(5);
    message.erase(message.find_last_not_of(' ') + 1);
    played.traces.push_back(message);
  }
  played.screens = screen.log();
  played.story_screens = screen.story_screens_;
  played.end_state = game.ws;
  return played;
}

std::string field(const char* chars, std::size_t length) {
  return std::string(chars, length);
}

}  // namespace kep
