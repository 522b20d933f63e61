#include "screen/fake_screen_layer.h"

#include "frame/run_stop.h"

namespace kep {

void FakeScreenLayer::display(ScreenId screen) {
  operations_.push_back({false, screen});
}

void FakeScreenLayer::accept(ScreenId screen, GameState& ws) {
  operations_.push_back({true, screen});
  if (screen == ScreenId::kStoryScreen) story_screens_.push_back(ws);
  char* field = input_binding(screen, ws);
  if (field == nullptr) return;
  if (next_entry_ >= entries_.size()) stop_run(1, "end of input");
  field[0] = entries_[next_entry_++];
}

std::vector<std::string> FakeScreenLayer::log() const {
  std::vector<std::string> lines;
  for (const Operation& op : operations_)
    lines.push_back(std::string(op.accept ? "accept " : "display ") +
                    screen_name(op.screen));
  return lines;
}

}  // namespace kep
