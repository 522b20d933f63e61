#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "frame/game.h"
#include "screen/fake_screen_layer.h"
#include "state/copy_rules.h"
#include "testing/temp_dir.h"

namespace kep {
namespace {

TEST(DebugMessage, CommandLineIsExactlyThreeHundredCharacters) {
  FakeScreenLayer screen;
  FakeShell shell;
  shell.statuses_ = {0, 5};
  Game game(screen, shell);
  const std::string messages[] = {"Found choice", "",
                                  std::string(254, 'm') + "!"};
  for (int call = 0; call < 100; ++call) {
    const std::string& message = messages[call % 3];
    move_text(game.ws.ws_debug_message, message);
    game.p050_debug_message();
    const std::string& line = shell.commands_ran_.back();
    ASSERT_EQ(line.size(), 300u);
    EXPECT_EQ(line.substr(0, 5), "echo ");
    EXPECT_EQ(line.substr(5, 255), std::string(game.ws.ws_debug_message, 255));
    EXPECT_EQ(line.substr(260), std::string(40, ' ')) << "call " << call;
  }
  EXPECT_EQ(shell.commands_ran_[0],
            "echo Found choice" + std::string(283, ' '));
  EXPECT_EQ(game.ws.return_code, 0);  // queued statuses, then the default 0
}

// Runs `message` through the real shell with standard output sent to a
// file; returns what the shell wrote.
std::string run_real(Game& game, const std::string& message) {
  TempDir dir;
  std::string out_path = dir.path() + "/out";
  std::fflush(stdout);
  int saved = ::dup(1);
  int out = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ::dup2(out, 1);
  ::close(out);
  move_text(game.ws.ws_debug_message, message);
  game.p050_debug_message();
  ::dup2(saved, 1);
  ::close(saved);
  std::ifstream in(out_path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(DebugMessage, RealShellEchoesAndSetsReturnCode) {
  FakeScreenLayer screen;
  RealShell shell;
  Game game(screen, shell);
  EXPECT_EQ(run_real(game, "Found story record"), "Found story record\n");
  EXPECT_EQ(game.ws.return_code, 0);
  // The message reaches the shell as plain words of the command line.
  EXPECT_EQ(run_real(game, "done; exit 3"), "done\n");
  EXPECT_EQ(game.ws.return_code, 3);
  run_real(game, "x; kill -TERM $$");
  EXPECT_EQ(game.ws.return_code, 128 + 15);
  run_real(game, "x; no-such-command-here 2>/dev/null");
  EXPECT_EQ(game.ws.return_code, 127);
}

}  // namespace
}  // namespace kep
