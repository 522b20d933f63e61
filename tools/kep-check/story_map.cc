#include "story_map.h"

#include <map>
#include <string>
#include <vector>

#include "frame/run_stop.h"

namespace kep::check {

namespace {

// A DOT string: a line feed in `text` becomes a line break of the label,
// quotes and backslashes are escaped, and other bytes that are not printable
// ASCII show as "?", as on the page.
std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\n') {
      out += "\\n";
      continue;
    }
    if (c == '"' || c == '\\') out += '\\';
    out += (c < ' ' || c > '~') ? '?' : c;
  }
  return out + "\"";
}

// The first words of the text a page shows, "..." when there are more.
std::string first_words(const char* body, std::size_t size) {
  std::string words;
  int count = 0;
  std::size_t i = 0;
  while (i < size) {
    while (i < size && body[i] == ' ') ++i;
    if (i == size) break;
    if (count == kMapWords) return words + " ...";
    std::size_t begin = i;
    while (i < size && body[i] != ' ') ++i;
    if (count++ > 0) words += ' ';
    words.append(body + begin, i - begin);
  }
  return words;
}

bool all_digits(std::string_view chars) {
  for (char c : chars)
    if (c < '0' || c > '9') return false;
  return true;
}

std::string node(int state) { return "page_" + std::to_string(state + 1); }

class MapWriter {
 public:
  MapWriter(const StoryModel& story, const StoryWalk& walk, std::ostream& out)
      : story_(story), walk_(walk), out_(out) {}

  void write() {
    out_ << "digraph story {\n"
         << "  node [shape=box, fontname=\"monospace\", fontsize=10];\n"
         << "  edge [fontname=\"monospace\", fontsize=10];\n";
    // One cluster per episode digit, in digit order.
    std::map<char, std::vector<int>> clusters;
    // Records whose columns 1-4 are not all digits match nothing; they are
    // drawn only if a destination of the same characters reaches them.
    for (int i = 0; i < static_cast<int>(story_.pages.size()); ++i)
      if (walk_.reached[i] || all_digits(story_.pages[i].key()))
        clusters[story_.pages[i].ws_story_episode[0]].push_back(i);
    int number = 0;
    for (const auto& [digit, states] : clusters) {
      // A page whose episode column is not a digit still has a cluster.
      ++number;
      std::string name = digit >= '0' && digit <= '9'
                             ? std::string("episode_") + digit
                             : "other_" + std::to_string(number);
      out_ << "  subgraph cluster_" << name << " {\n"
           << "    label=" << quoted("Episode " + std::string(1, digit))
           << ";\n";
      for (int state : states) write_page(state);
      out_ << "  }\n";
    }
    write_missing();
    write_starts();
    for (int i = 0; i < static_cast<int>(story_.pages.size()); ++i)
      write_choices(i);
    out_ << "}\n";
  }

 private:
  void write_page(int state) {
    const PageRecord& page = story_.pages[state];
    const PageState& s = walk_.pages[state];
    std::string label = report_text(page.ws_story_id, 3);
    if (s.shown_text != kNone) {
      const char* body = story_.texts[s.shown_text].record.ws_story_text_body;
      label += "\n" + first_words(body, 1000);
    }
    std::string style;
    if (!walk_.reached[state]) {
      label += "\n(never reached)";
      style = ", style=dashed, color=grey, fontcolor=grey";
    } else if (s.bad_choice != kNone) {
      const char* number =
          story_.choices[s.bad_choice].record.ws_story_choice_number;
      label += "\nstops: choice number " + report_text(number, 1);
      style = ", color=red, fontcolor=red";
    } else if (!s.can_take_a_choice()) {
      label += "\nstuck: no choice";
      style = ", color=red, fontcolor=red";
    }
    out_ << "    " << node(state) << " [label=" << quoted(label) << style
         << "];\n";
    if (s.has_ending()) {
      // One ending node per page: won or lost is decided by its text.
      if (s.ending_won)
        out_ << "    " << node(state)
             << "_end [label=\"won\", shape=doublecircle, color=darkgreen, "
                "fontcolor=darkgreen];\n";
      else
        out_ << "    " << node(state)
             << "_end [label=\"lost\", shape=octagon, color=black];\n";
    }
  }

  void write_starts() {
    for (int e = 1; e <= 4; ++e) {
      const EpisodeWalk& episode = walk_.episodes[e - 1];
      std::string start = "start_" + std::to_string(e);
      out_ << "  " << start << " [label=\"episode " << e
           << " start\", shape=plaintext];\n";
      if (episode.start_page != kNone)
        out_ << "  " << start << " -> " << node(episode.start_page) << ";\n";
      else
        out_ << "  " << start << " -> "
             << missing(report_text(episode.start_id, 3))
             << " [color=red, style=dashed];\n";
    }
  }

  void write_choices(int state) {
    const PageState& s = walk_.pages[state];
    for (int n = 1; n <= 4; ++n) {
      const Slot& slot = s.slots[n - 1];
      if (slot.kind == SlotKind::kEmpty) continue;
      out_ << "  ";
      switch (slot.kind) {
        case SlotKind::kEmpty:
          break;
        case SlotKind::kEnding:
          out_ << node(state) << " -> " << node(state) << "_end [label=\"" << n
               << "\"];\n";
          break;
        case SlotKind::kPage:
          out_ << node(state) << " -> " << node(slot.target) << " [label=\""
               << n << "\"];\n";
          break;
        case SlotKind::kMissing: {
          const char* dest =
              story_.choices[slot.choice].record.ws_story_choice_destination;
          out_ << node(state) << " -> " << missing(report_text(dest, 3))
               << " [label=\"" << n
               << "\", color=red, fontcolor=red, style=dashed];\n";
          break;
        }
      }
    }
  }

  // The nodes of destinations no page index record carries, one per id.
  void write_missing() {
    for (int e = 1; e <= 4; ++e) {
      const EpisodeWalk& episode = walk_.episodes[e - 1];
      if (episode.start_page == kNone)
        declare_missing(report_text(episode.start_id, 3));
    }
    for (const PageState& s : walk_.pages)
      for (const Slot& slot : s.slots)
        if (slot.kind == SlotKind::kMissing)
          declare_missing(report_text(
              story_.choices[slot.choice].record.ws_story_choice_destination,
              3));
  }

  void declare_missing(const std::string& id) {
    auto [it, is_new] = missing_.try_emplace(
        id, "missing_" + std::to_string(missing_.size() + 1));
    if (is_new)
      out_ << "  " << it->second << " [label=" << quoted(id + "\nmissing")
           << ", color=red, fontcolor=red, style=dashed];\n";
  }

  const std::string& missing(const std::string& id) const {
    return missing_.at(id);
  }

  const StoryModel& story_;
  const StoryWalk& walk_;
  std::ostream& out_;
  std::map<std::string, std::string> missing_;
};

}  // namespace

void write_map(const StoryModel& story, const StoryWalk& walk,
               std::ostream& out) {
  MapWriter(story, walk, out).write();
}

}  // namespace kep::check
