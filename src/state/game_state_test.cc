#include "state/game_state.h"

#include <gtest/gtest.h>

#include <string>

#include "state/copy_rules.h"

namespace kep {
namespace {

std::string chars(const void* p, std::size_t n) {
  return std::string(static_cast<const char*>(p), n);
}

TEST(GameState, InitialValues) {
  GameState ws;
  EXPECT_EQ(ws.return_code, 0);
  EXPECT_EQ(chars(ws.ws_echo_command, 5), "echo ");
  EXPECT_EQ(chars(ws.ws_debug_command, 300), std::string(300, ' '));
  EXPECT_EQ(chars(ws.ws_current_story_id, 3), "000");
  EXPECT_EQ(chars(ws.ws_game_over_count, 2), "00");
  EXPECT_EQ(chars(ws.ws_episode_4_unlocked, 1), "N");
  EXPECT_EQ(chars(ws.ws_title_input, 1), " ");

  std::string slot = std::string(255, ' ') + "000";
  EXPECT_EQ(chars(&ws.ws_story, 1036), "0000" + slot + slot + slot + slot);
  EXPECT_EQ(chars(&ws.ws_story_choice, 263), "00000000" + std::string(255, ' '));
  EXPECT_EQ(chars(&ws.ws_story_text, 1004), "0000" + std::string(1000, ' '));
}

TEST(GameState, PageIndexRecordIntoStoryBlanksEverySlot) {
  GameState ws;
  move_text(reinterpret_cast<char*>(&ws.ws_story), sizeof ws.ws_story, "2017", 4);
  EXPECT_EQ(chars(ws.ws_story.ws_story_episode, 1), "2");
  EXPECT_EQ(chars(ws.ws_story.ws_story_id, 3), "017");
  EXPECT_EQ(chars(ws.ws_story.ws_choice, 1032), std::string(1032, ' '));
}

TEST(GameState, ChoiceRecordFillsItsFiveFields) {
  GameState ws;
  std::string record = "3042999" "4" + std::string(254, 'x') + "!";
  ASSERT_EQ(record.size(), 263u);
  move_record(ws.ws_story_choice, record.data());
  const WsStoryChoice& c = ws.ws_story_choice;
  EXPECT_EQ(chars(c.ws_story_choice_episode, 1), "3");
  EXPECT_EQ(chars(c.ws_story_choice_id, 3), "042");
  EXPECT_EQ(chars(c.ws_story_choice_destination, 3), "999");
  EXPECT_EQ(chars(c.ws_story_choice_number, 1), "4");
  EXPECT_EQ(chars(c.ws_story_choice_text, 255), std::string(254, 'x') + "!");
}

TEST(CopyRules, NumbersAndText) {
  char id[3];
  move_number(id, 7);
  EXPECT_EQ(chars(id, 3), "007");
  EXPECT_EQ(digits_value(id), 7);
  move_number(id, 1234);  // a digits field keeps its low digits
  EXPECT_EQ(chars(id, 3), "234");
  char odd[3] = {'1', ' ', '2'};
  EXPECT_EQ(digits_value(odd), -1);

  char message[255];
  move_text(message, "Found choice");
  EXPECT_EQ(chars(message, 255), "Found choice" + std::string(243, ' '));
  char small[4];
  move_text(small, "truncated");
  EXPECT_EQ(chars(small, 4), "trun");
}

}  // namespace
}  // namespace kep
