#pragma once
// The console forms of a plan (`--preview`) and of a cleaning's report (`--clean`): text
// for people, or one JSON document (`--json`) whose fields README.md lists.
#include <iosfwd>
#include <string>

#include "cleaning/cleaning_plan.h"

namespace trwk {

struct PlanHeading {
  std::string family;   // the option's family ("windows", "all" ...)
  std::string logPath;  // trwk.log, where failed steps are told
};

// One line per entry (size, kind, path), a subtotal per clean item, one per family when
// there are several, and the total.
void printPlanText(std::ostream& out, const Plan& plan);
// Per clean item: files, folders, registry values removed, bytes freed, failed steps; the
// total; the planned entries skipped; a pointer to the run log when a step failed.
void printReportText(std::ostream& out, const RunReport& report, const PlanHeading& heading);

void printPlanJson(std::ostream& out, const Plan& plan, const PlanHeading& heading);
void printReportJson(std::ostream& out, const RunReport& report, const PlanHeading& heading);

// "1 file", "3 files"; "1 step failed".
std::string counted(std::uint64_t n, const char* one, const char* many);
// How one clean item is named to people: "Item 14, Windows Doc History", or the family's
// name for a family without numbered items.
std::string groupTitle(const PlanGroup& group);
// The totals in words: "2 files, 1 folder, 3 registry values, 1,234 bytes".
std::string totalsText(const ItemTotals& totals);
// 1234567 as "1,234,567".
std::string groupedNumber(std::uint64_t n);

}  // namespace trwk
