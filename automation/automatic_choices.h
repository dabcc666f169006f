#pragma once
// The automatic-cleaning lists of the maintenance page ([Automatic] Day, Hour, Minute,
// Clean): filled before the settings are read, each with its first entry chosen.
#include <string>
#include <vector>

namespace trwk {

// A drop-down list of fixed entries and the 0-based position chosen in it.
struct ChoiceList {
  std::vector<std::string> items;
  int selected = -1;
  // Chooses the position when it fits the list; otherwise the choice stays.
  void choose(long position) {
    if (position >= 0 && position < static_cast<long>(items.size())) selected = static_cast<int>(position);
  }
  // The chosen entry's text, or "" when nothing is chosen.
  std::string text() const {
    return selected >= 0 && selected < static_cast<int>(items.size()) ? items[static_cast<std::size_t>(selected)]
                                                                        : std::string();
  }
};

struct AutomaticChoices {
  ChoiceList day, hour, minute, clean;
  void fill() {
    clean = {{"All", "IE", "Netscape", "Opera", "User.def", "Plugins"}, 0};
    minute = {{"0", "2", "15", "30", "45"}, 0};
    day = {{}, 0};
    for (int d = 0; d <= 30; ++d) day.items.push_back(std::to_string(d));
    hour = {{}, 0};
    for (int h = 0; h <= 23; ++h) hour.items.push_back(std::to_string(h));
  }
};

}  // namespace trwk
