#include "frame/run.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "screen/fake_screen_layer.h"
#include "testing/story_fixture.h"

namespace kep {
namespace {

// A fake screen whose end() leaves a mark in the report stream, so the test
// sees that the terminal is given back before the report is written.
class MarkingScreen : public FakeScreenLayer {
 public:
  MarkingScreen(std::string entries, std::FILE* out)
      : FakeScreenLayer(std::move(entries)), out_(out) {}
  void end() override { std::fputs("[terminal back]", out_); }

 private:
  std::FILE* out_;
};

std::string contents(std::FILE* f) {
  std::rewind(f);
  std::string s;
  for (int c; (c = std::fgetc(f)) != EOF;) s += static_cast<char>(c);
  return s;
}

TEST(RunGame, EveryEndGivesTheTerminalBackThenReports) {
  TempDir dir;
  struct Case {
    std::string entries;
    int status;
    std::string errors;
  } cases[] = {
      {" 3", 0, "[terminal back]"},
      {" 1", 1, "[terminal back]kep: end of input\n"},
      {" 11", 1,
       "[terminal back]kep: " + dir.path() +
           "/data/story-start.dat: cannot open: No such file or directory\n"},
  };
  for (const Case& c : cases) {
    std::FILE* errors = std::tmpfile();
    MarkingScreen screen(c.entries, errors);
    FakeShell shell;
    Game game(screen, shell, dir.path() + "/data");
    EXPECT_EQ(run_game(game, screen, "kep", errors), c.status);
    EXPECT_EQ(contents(errors), c.errors);
    std::fclose(errors);
  }
}

}  // namespace
}  // namespace kep
