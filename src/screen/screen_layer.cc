#include "screen/screen_layer.h"

namespace kep {

const char* screen_name(ScreenId screen) {
  switch (screen) {
    case ScreenId::kClearScreen: return "CLEAR-SCREEN";
    case ScreenId::kTitleScreen: return "TITLE-SCREEN";
    case ScreenId::kMainMenuScreen: return "MAIN-MENU-SCREEN";
    case ScreenId::kEpisodeScreenLocked: return "EPISODE-SCREEN-LOCKED";
    case ScreenId::kEpisodeScreenUnlocked: return "EPISODE-SCREEN-UNLOCKED";
    case ScreenId::kAboutScreen: return "ABOUT-SCREEN";
    case ScreenId::kStoryScreen: return "STORY-SCREEN";
  }
  return "?";
}

char* input_binding(ScreenId screen, GameState& ws) {
  switch (screen) {
    case ScreenId::kClearScreen: return nullptr;
    case ScreenId::kTitleScreen: return ws.ws_title_input;
    case ScreenId::kMainMenuScreen: return ws.ws_menu_input;
    case ScreenId::kEpisodeScreenLocked: return ws.ws_episode_input;
    case ScreenId::kEpisodeScreenUnlocked: return ws.ws_episode_input;
    case ScreenId::kAboutScreen: return ws.ws_about_input;
    case ScreenId::kStoryScreen: return ws.ws_story_selection;
  }
  return nullptr;
}

bool input_is_digit(ScreenId screen) {
  return screen == ScreenId::kMainMenuScreen ||
         screen == ScreenId::kEpisodeScreenLocked ||
         screen == ScreenId::kEpisodeScreenUnlocked ||
         screen == ScreenId::kStoryScreen;
}

}  // namespace kep
