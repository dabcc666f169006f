#include "shell/statistics_chart.h"

#include <algorithm>

#include "foundation/convert.h"
#include "platform/failure.h"

namespace trwk {

StatisticsChart chartOf(const Statistics& statistics) {
  StatisticsChart chart;
  for (const StatisticsRow& row : statistics.rows) {
    if (!row.filled()) continue;
    ChartBar bar{row.date, 0};
    try {
      long kb = toInteger(row.size);
      bar.kb = kb > 0 ? static_cast<unsigned long long>(kb) : 0;
    } catch (const Failure&) {
      // A size someone edited into words draws as an empty bar.
    }
    chart.largest = std::max(chart.largest, bar.kb);
    chart.bars.push_back(bar);
  }
  if (!chart.bars.empty() && chart.largest == 0) chart.largest = 1;
  return chart;
}

}  // namespace trwk
