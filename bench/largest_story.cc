#include "bench/largest_story.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace kep::bench {

namespace {

// A small generator of our own, so the files do not depend on how a
// standard library implements its distributions.
class Draw {
 public:
  explicit Draw(std::uint32_t seed) : state_(seed * 2654435761u + 1) {}
  std::uint32_t next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  int below(int n) {
    return static_cast<int>(next() % static_cast<unsigned>(n));
  }

 private:
  std::uint32_t state_;
};

std::string id(int n) {
  std::string s = "000";
  for (int i = 2; i >= 0; --i, n /= 10) s[i] = static_cast<char>('0' + n % 10);
  return s;
}

// `lead` followed by words up to exactly `width` characters.
std::string filled(std::string lead, std::size_t width) {
  static const char* const kWords[] = {"the",   "comic", "hero",  "runs",
                                       "past",  "a",     "tall",  "tower",
                                       "while", "rain",  "falls", "softly"};
  for (std::size_t w = 0; lead.size() < width; ++w) {
    lead += ' ';
    lead += kWords[w % 12];
  }
  lead.resize(width);
  return lead;
}

void write_file(const std::filesystem::path& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

LargestStory write_largest_story(const std::string& data_dir) {
  std::filesystem::path dir(data_dir);
  std::filesystem::create_directories(dir);
  Draw draw(1);

  // The pages in page index order: a shuffle of the ids.
  std::vector<int> order(kPages);
  for (int i = 0; i < kPages; ++i) order[i] = i;
  for (int i = kPages - 1; i > 0; --i)
    std::swap(order[i], order[draw.below(i + 1)]);

  std::string index, text, choice;
  for (int page : order) {
    std::string key = kEpisode + id(page);
    index += key + '\n';
    text += key + filled("Page " + id(page) + ".", 1000) + '\n';
    for (int n = 1; n <= 4; ++n) {
      std::string to = n == 4 ? "999" : id(draw.below(kPages));
      std::string words = n == 4 ? "The end." : "Turn to page " + to + ".";
      choice +=
          key + to + static_cast<char>('0' + n) + filled(words, 255) + '\n';
    }
  }
  LargestStory story{id(order.front()), id(order.back())};
  write_file(dir / "story-start.dat", kEpisode + story.start_id + '\n');
  write_file(dir / "story.dat", index);
  write_file(dir / "story-text.dat", text);
  write_file(dir / "story-choice.dat", choice);
  return story;
}

std::string largest_story_entries(int turns, std::uint32_t seed) {
  Draw draw(seed);
  std::string entries = "x1";  // title, new game
  entries += kEpisode;
  for (int i = 0; i < turns; ++i)
    entries += static_cast<char>('1' + draw.below(3));
  entries += "43";  // the ending choice, then quit
  return entries;
}

}  // namespace kep::bench
