#include "shell/win32/statistics_chart_view.h"

#include <string>

namespace trwk::win32 {
namespace {

void drawText(HDC dc, const std::string& text, RECT box, UINT format) {
  std::wstring wide = toWide(text);
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &box, format | DT_NOPREFIX | DT_SINGLELINE);
}

}  // namespace

void drawStatisticsChart(HDC dc, const RECT& area, const StatisticsChart& chart) {
  HBRUSH background = CreateSolidBrush(RGB(255, 255, 255));
  FillRect(dc, &area, background);
  DeleteObject(background);
  FrameRect(dc, &area, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  const int line = metrics.tmHeight + 4;

  RECT title{area.left, area.top + 4, area.right, area.top + 4 + line};
  drawText(dc, StatisticsChart::kTitle, title, DT_CENTER | DT_VCENTER);
  if (chart.bars.empty()) {
    drawText(dc, StatisticsChart::kEmpty, area, DT_CENTER | DT_VCENTER);
    SelectObject(dc, oldFont);
    return;
  }

  // The plot lies between the title and the row labels; bars share its width evenly.
  const int plotTop = title.bottom + line + 4;
  const int plotBottom = area.bottom - line - 6;
  const int plotHeight = plotBottom - plotTop;
  const int slots = static_cast<int>(chart.bars.size());
  const int slotWidth = (area.right - area.left - 16) / slots;
  HBRUSH barBrush = CreateSolidBrush(RGB(40, 90, 170));
  HPEN axis = CreatePen(PS_SOLID, 1, RGB(96, 96, 96));
  HGDIOBJ oldPen = SelectObject(dc, axis);
  MoveToEx(dc, area.left + 8, plotBottom, nullptr);
  LineTo(dc, area.right - 8, plotBottom);
  for (int i = 0; i < slots; ++i) {
    const ChartBar& bar = chart.bars[static_cast<std::size_t>(i)];
    const int left = area.left + 8 + i * slotWidth;
    const int height =
        plotHeight <= 0
            ? 0
            : static_cast<int>(static_cast<double>(bar.kb) / static_cast<double>(chart.largest) * plotHeight);
    RECT column{left + slotWidth / 4, plotBottom - height, left + slotWidth - slotWidth / 4, plotBottom};
    FillRect(dc, &column, barBrush);
    RECT value{left, column.top - line, left + slotWidth, column.top};
    drawText(dc, std::to_string(bar.kb), value, DT_CENTER | DT_BOTTOM);
    RECT label{left, plotBottom + 3, left + slotWidth, plotBottom + 3 + line};
    drawText(dc, bar.label, label, DT_CENTER | DT_TOP);
  }
  SelectObject(dc, oldPen);
  DeleteObject(axis);
  DeleteObject(barBrush);
  SelectObject(dc, oldFont);
}

}  // namespace trwk::win32
