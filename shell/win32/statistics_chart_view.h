#pragma once
// Before any other header: it keeps the seam's MessageBox apart from the system macro.
#include "platform/win32/win32_ui.h"
#include "shell/statistics_chart.h"

namespace trwk::win32 {

// Paints the chart into the rectangle: the title on top, one bar per row with its size
// above it and its day below, or "No statistics" when there is no row.
void drawStatisticsChart(HDC dc, const RECT& area, const StatisticsChart& chart);

}  // namespace trwk::win32
