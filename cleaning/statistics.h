#pragma once
// The model behind the "Recovered Hard-Drive Space (Kb)" chart: four rows of a date label
// and the kilobytes a cleaning freed on drive "C:\", and the number of the row to fill
// next. Read from [Statistics] of mainten.ini at load, written back at unload.
//
// Rows run oldest to newest. Once all four are filled, a new cleaning shifts the rows up
// (row 1, the oldest, goes) and fills row 4, so the chart always reads in time order and
// "Current" stays 4.
#include <array>
#include <optional>
#include <string>

#include "foundation/session.h"
#include "platform/clock.h"

namespace trwk {

struct StatisticsRow {
  std::string date;  // [Statistics] DateN: the day of the cleaning, "2026-12-08"
  std::string size;  // [Statistics] SizeN: kilobytes freed, decimal text
  bool filled() const { return !date.empty() || !size.empty(); }
};

class Statistics {
 public:
  static constexpr int kRows = 4;

  // [Statistics] Current and Date1..4, Size1..4. An unreadable Current keeps its value
  // and is logged under "getStatistics".
  void load(Session& session);
  // Current, then Size and Date of rows 1 to 4, in that order.
  void save(Session& session);

  // Turns the free kilobytes of "C:\" before and after a cleaning into a row dated
  // `day`. Free space grows as files go, so the freed amount is after - before, never
  // below 0. When either measurement is not a number, no row is made and false returned.
  bool record(const std::string& freeBefore, const std::string& freeAfter, const std::string& day);
  // The chart after a run: the row of today. A measurement that is no number makes no row
  // and is logged under "fixGraphData"; anything else that fails, under "updateGraph".
  bool updateGraph(Session& session, const std::string& freeBefore, const std::string& freeAfter);

  // The row a cleaning fills next, 1..4 (Current outside that range counts as 1 below
  // and 4 above).
  int nextRow() const;
  bool empty() const;

  int current = 0;  // as stored; 0 until the first cleaning
  std::array<StatisticsRow, kRows> rows;
};

// The label of a row made at this time: its day, "2026-12-08".
std::string statisticsDay(const DateTime& t);

// The kilobytes a run freed: after - before, 0 when the space shrank. Nothing when
// either text is not a whole number.
std::optional<unsigned long long> freedKB(const std::string& freeBefore, const std::string& freeAfter);

}  // namespace trwk
