#include "story_map.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "story_check.h"
#include "testing/temp_dir.h"

namespace kep::check {
namespace {

// Episode 1: page 001 leads to 002 (lost) or a won ending. Page 101 of
// episode 2 has a choice to 050, which no record carries. Page 099 is never
// reached.
std::string map_of_small_story(const TempDir& dir) {
  dir.write("story-start.dat", "1001\n2101\n3201\n4301\n");
  dir.write("story.dat", "1001\n1002\n2101\n3201\n4301\n1099\n");
  dir.write("story-text.dat",
            "1001You stand at a \"fork\" in the road.\n"
            "1002The dragon eats you. GAME OVER\n"
            "2101You find the treasure.\n"
            "3201A quiet day.\n"
            "4301The end.\n"
            "1099Lost page.\n");
  dir.write("story-choice.dat",
            "10010021Go left\n10019992Go home\n10029991Again\n"
            "21019991Take it\n21010502Dig\n32019991Rest\n43019991Leave\n");
  CheckResult r = check_story(dir.path());
  EXPECT_TRUE(r.walk);
  std::ostringstream out;
  if (r.walk) write_map(r.story, *r.walk, out);
  return out.str();
}

// The text between "subgraph <name> {" and the next "  }".
std::string cluster(const std::string& map, const std::string& name) {
  std::size_t begin = map.find("subgraph " + name + " {");
  if (begin == std::string::npos) return "";
  return map.substr(begin, map.find("\n  }", begin) - begin);
}

TEST(KepCheckMap, ClustersNodesEdgesAndEndings) {
  TempDir dir;
  std::string map = map_of_small_story(dir);
  EXPECT_EQ(map.rfind("digraph story {\n", 0), 0u);

  // One cluster per episode; each page in its episode's cluster.
  std::string one = cluster(map, "cluster_episode_1");
  EXPECT_NE(one.find("label=\"Episode 1\""), std::string::npos);
  EXPECT_NE(
      one.find("page_1 [label=\"001\\nYou stand at a \\\"fork\\\" ...\"]"),
      std::string::npos)
      << one;
  EXPECT_NE(one.find("page_2 [label=\"002\\nThe dragon eats you. GAME ...\"]"),
            std::string::npos)
      << one;
  EXPECT_NE(one.find("page_6 [label=\"099\\nLost page.\\n(never reached)\", "
                     "style=dashed"),
            std::string::npos)
      << one;
  for (const char* c :
       {"cluster_episode_2", "cluster_episode_3", "cluster_episode_4"})
    EXPECT_NE(cluster(map, c).find("label=\"Episode"), std::string::npos) << c;
  EXPECT_NE(cluster(map, "cluster_episode_2").find("page_3 [label=\"101"),
            std::string::npos);

  // Endings: won and lost apart, by the text of the page.
  EXPECT_NE(one.find("page_1_end [label=\"won\", shape=doublecircle"),
            std::string::npos);
  EXPECT_NE(one.find("page_2_end [label=\"lost\", shape=octagon"),
            std::string::npos);

  // Edges labelled with their slot; starts; the broken destination.
  for (const char* edge :
       {"start_1 -> page_1;", "page_1 -> page_2 [label=\"1\"];",
        "page_1 -> page_1_end [label=\"2\"];",
        "page_2 -> page_2_end [label=\"1\"];",
        "missing_1 [label=\"050\\nmissing\", color=red",
        "page_3 -> missing_1 [label=\"2\", color=red"})
    EXPECT_NE(map.find(edge), std::string::npos) << edge << "\n" << map;
  EXPECT_EQ(map.find("page_6 ->"), std::string::npos);  // no choices
}

TEST(KepCheckMap, GraphvizReadsTheMap) {
  std::string dot = KEP_DOT;
  if (dot.empty() || ::access(dot.c_str(), X_OK) != 0)
    GTEST_SKIP() << "Graphviz dot is not installed";
  TempDir dir;
  std::string path = dir.write("map.dot", map_of_small_story(dir));
  std::string command =
      "'" + dot + "' -Tsvg '" + path + "' -o '" + dir.path() + "/map.svg'";
  int raw = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << command;
}

}  // namespace
}  // namespace kep::check
