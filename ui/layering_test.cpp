// Imports run one way: shell -> features -> ui/platform. A feature that includes the shell,
// or a window helper that includes a feature, ties the folders into a knot again; this
// reads every source file's project includes and names each one that points upwards.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace trwk {
namespace {

namespace fs = std::filesystem;

struct Layer {
  std::string folder;
  std::set<std::string> mayInclude;  // top folders of the project its sources may include
};

// Lateral imports between features are not this rule's business; only the upward ones are.
const std::vector<Layer>& layers() {
  static const std::vector<Layer> all = {
      {"platform", {"platform"}},
      {"foundation", {"foundation", "platform"}},
      {"ui", {"ui", "platform"}},
      {"cleaning", {"cleaning", "locations", "automation", "extensions", "foundation", "platform", "ui"}},
      {"locations", {"cleaning", "locations", "automation", "extensions", "foundation", "platform", "ui"}},
      {"automation", {"cleaning", "locations", "automation", "extensions", "foundation", "platform", "ui"}},
      {"extensions", {"cleaning", "locations", "automation", "extensions", "foundation", "platform", "ui"}},
  };
  return all;
}

bool isSource(const fs::path& p) {
  const std::string ext = p.extension().string();
  // Tests and their fixtures may reach for the test helpers; the rule is about what ships.
  if (p.filename().string().find("test") != std::string::npos) return false;
  return ext == ".h" || ext == ".cpp" || ext == ".rc";
}

// "folder/file.h:12 includes shell/x.h" for each project include outside the allowed set.
std::vector<std::string> upwardIncludes(const fs::path& root, const Layer& layer) {
  static const std::regex include(R"re(^\s*#\s*include\s*"([a-z_0-9]+)/[^"]*")re");
  std::vector<std::string> found;
  const fs::path top = root / layer.folder;
  if (!fs::is_directory(top)) return found;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(top)) {
    if (!entry.is_regular_file() || !isSource(entry.path())) continue;
    std::ifstream in(entry.path());
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
      ++number;
      std::smatch m;
      if (!std::regex_search(line, m, include)) continue;
      const std::string target = m[1];
      // A name without a known top folder is a file beside this one ("resource.h").
      if (!fs::is_directory(root / target) || layer.mayInclude.count(target)) continue;
      found.push_back(fs::relative(entry.path(), root).string() + ":" + std::to_string(number) +
                      " includes " + target + "/");
    }
  }
  return found;
}

TEST(Layering, NoFolderIncludesALayerAboveIt) {
  const fs::path root = TRWK_SOURCE_DIR;
  ASSERT_TRUE(fs::is_directory(root / "ui" / "win32")) << root;
  for (const Layer& layer : layers()) {
    SCOPED_TRACE(layer.folder);
    std::string report;
    for (const std::string& line : upwardIncludes(root, layer)) report += "  " + line + "\n";
    EXPECT_TRUE(report.empty()) << report;
  }
}

}  // namespace
}  // namespace trwk
