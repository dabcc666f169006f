#pragma once
// The "Rules" page: the entries of the rule files in the program folder ("winapp2.ini" and
// every "*.rules.ini") that concern this system, grouped by their section, each with a box.
// A box's state is kept in mainten.ini at once, section [Rules], one key per entry named
// exactly as its header ("1"/"0"). An entry that cannot be made safe is shown refused and
// is never cleaned. Window-free: the page's view copies this state.
#include <string>
#include <vector>

#include "cleaning/cleaning_context.h"
#include "foundation/session.h"
#include "rules/rule_file.h"

namespace trwk {

// The progress scope of "Clean Rules": the rules have no clean items, so no item counts.
inline constexpr int kRulesFamilyCode = 7;

struct RuleRow {
  std::size_t entry = 0;  // in RulesPageModel::rules.entries
  std::string name;
  std::string group;
  bool ticked = false;
  std::string refusal;  // why it is never cleaned; empty when it may be
  std::string warning;  // shown before the box is ticked
};

class RulesPageModel {
 public:
  static constexpr const char* kSection = "Rules";
  static constexpr const char* kMainFile = "winapp2.ini";
  static constexpr const char* kMoreFiles = "*.rules.ini";
  static constexpr const char* kCaption = "Detected Rules";
  static constexpr const char* kWarningTitle = "Warning";

  explicit RulesPageModel(Session& session) : session_(session) {}

  // Reads the rule files (each problem goes to the run log under "readRules" with its file
  // and line), detects every entry on this system and reads the ticks. Rows are in group
  // order, then in the order of the files.
  void load();
  // A click on a row's box. Ticking an entry with a Warning shows it first (OK ticks it,
  // Cancel leaves it clear); a refused entry says why and stays clear. Written at once.
  void setTicked(int row, bool on);
  void highlight(int row);

  int rowCount() const { return static_cast<int>(rows.size()); }
  int tickedCount() const;
  Session& session() const { return session_; }

  RuleSet rules;                    // every entry of every file read
  std::vector<std::string> files;   // the rule files read, in order
  std::vector<RuleRow> rows;        // the entries detected here
  std::vector<std::string> groups;  // the groups of the rows, in row order
  int highlighted = -1;
  std::string summary;  // "12 of 340 rule entries apply to this system (2 files)"

 private:
  Session& session_;
};

// "Clean Rules": every ticked row that may run, in row order, through the removal engine.
void cleanRules(CleaningContext& context, RulesPageModel& rules);

}  // namespace trwk
