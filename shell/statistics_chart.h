#pragma once
// What the "Recovered Hard-Drive Space (Kb)" chart on the statistics page draws: one bar
// per filled row, oldest first, labelled with its day; "No statistics" when none is.
#include <string>
#include <vector>

#include "cleaning/statistics.h"

namespace trwk {

struct ChartBar {
  std::string label;          // the row's date
  unsigned long long kb = 0;  // the row's size; text that is not a number counts as 0
};

struct StatisticsChart {
  static constexpr const char* kTitle = "Recovered Hard-Drive Space (Kb)";
  static constexpr const char* kEmpty = "No statistics";
  std::vector<ChartBar> bars;
  unsigned long long largest = 0;  // the scale's top; at least 1 when there are bars
};

StatisticsChart chartOf(const Statistics& statistics);

}  // namespace trwk
