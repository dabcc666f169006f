#include "rules/rules_page_model.h"

#include <algorithm>
#include <unordered_map>

#include "cleaning/protection.h"
#include "cleaning/run_completion.h"
#include "foundation/trap.h"
#include "platform/text_encoding.h"
#include "rules/rule_cleaner.h"
#include "rules/rule_detection.h"

namespace trwk {
namespace {

// Past this many lines a start would bury the rest of the run log.
constexpr int kLoggedProblems = 50;

std::string trimmed(const std::string& text) {
  std::size_t a = text.find_first_not_of(" \t"), b = text.find_last_not_of(" \t");
  return a == std::string::npos ? std::string() : text.substr(a, b - a + 1);
}

// The keys of one section of a settings file, read once (thousands of entries would read
// the whole file once each otherwise), as the settings reader reads them: names without
// regard to case or the blanks around them, the first of a name winning.
std::unordered_map<std::string, std::string> sectionOf(const std::string& bytes, const std::string& section) {
  std::unordered_map<std::string, std::string> keys;
  const std::string wanted = upperCp1252(section);
  bool inside = false;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = trimmed(bytes.substr(start, end - start));
    if (!line.empty() && line.back() == '\r') line = trimmed(line.substr(0, line.size() - 1));
    start = end + 1;
    if (!line.empty() && line.front() == '[') {
      std::size_t close = line.find(']');
      inside = close != std::string::npos && upperCp1252(trimmed(line.substr(1, close - 1))) == wanted;
      continue;
    }
    std::size_t eq = line.find('=');
    if (!inside || eq == std::string::npos) continue;
    std::string value = trimmed(line.substr(eq + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    keys.emplace(upperCp1252(trimmed(line.substr(0, eq))), value);
  }
  return keys;
}

}  // namespace

void RulesPageModel::load() {
  Trap trap(session_.log, "readRules");
  Files& fs = session_.platform.files;
  rules = {};
  files.clear();
  rows.clear();
  groups.clear();
  highlighted = -1;

  trap.checkpoint();
  trap.run([&] {
    ListOptions options;
    options.hiddenAndSystem = false;
    std::vector<std::string> more;
    for (const DirEntry& e : fs.list(session_.inFolder(kMoreFiles), options))
      if (!e.isFolder && !e.isLink) more.push_back(e.name);
    std::sort(more.begin(), more.end(),
              [](const std::string& a, const std::string& b) { return upperCp1252(a) < upperCp1252(b); });
    if (session_.settings.fileExists(session_.inFolder(kMainFile))) files.push_back(kMainFile);
    for (std::string& name : more)
      if (!equalsNoCase(name, kMainFile)) files.push_back(std::move(name));
  });
  for (const std::string& name : files) {
    trap.checkpoint();
    trap.run([&] { readRuleText(fs.readAll(session_.inFolder(name)), name, rules); });
  }
  int logged = 0;
  auto note = [&](const std::string& text) {
    if (++logged <= kLoggedProblems) trap.report(fail::kInvalidCall, text);
  };
  for (const RuleProblem& problem : rules.problems) note(problem.text());

  trap.checkpoint();
  Protection protection(session_);
  RuleCleaner cleaner(session_, protection);
  cleaner.paths().remember(true);  // nothing changes while the entries are looked at
  RuleDetector detector(session_.platform.registry, cleaner.paths());
  for (std::size_t i = 0; i < rules.entries.size(); ++i) {
    RuleEntry& entry = rules.entries[i];
    Detection found;
    trap.run([&] { found = detector.detect(entry); });
    for (const std::string& text : found.notes)
      note(entry.file + ", line " + std::to_string(entry.line) + ": " + text);
    if (!found.detected) continue;
    RuleRow row;
    row.entry = i;
    row.name = entry.name;
    row.group = entry.group();
    row.warning = entry.warning;
    if (!trap.run([&] {
          RulePlan plan = cleaner.plan(entry, false);
          if (plan.refusal) row.refusal = *plan.refusal;
        }))
      row.refusal = "its folders could not be looked at";
    rows.push_back(std::move(row));
  }
  std::stable_sort(rows.begin(), rows.end(), [](const RuleRow& a, const RuleRow& b) {
    return upperCp1252(a.group) < upperCp1252(b.group);
  });

  trap.checkpoint();
  trap.run([&] {
    std::string ini;
    if (fs.fileExists(session_.maintenIni())) ini = fs.readAll(session_.maintenIni());
    auto ticks = sectionOf(ini, kSection);
    for (RuleRow& row : rows) {
      auto it = ticks.find(upperCp1252(trimmed(row.name)));
      const bool wanted = it != ticks.end() && it->second == "1";
      row.ticked = wanted && row.refusal.empty();
      // A tick that is kept from running is said once a start, with the reason.
      if (wanted && !row.ticked) note(row.name + " refused: " + row.refusal);
    }
  });
  for (const RuleRow& row : rows)
    if (groups.empty() || groups.back() != row.group) groups.push_back(row.group);
  summary = std::to_string(rows.size()) + " of " + std::to_string(rules.entries.size()) +
            " rule entries apply to this system (" + std::to_string(files.size()) +
            (files.size() == 1 ? " file" : " files") + ")";
}

void RulesPageModel::setTicked(int row, bool on) {
  if (row < 0 || row >= rowCount()) return;
  RuleRow& r = rows[static_cast<std::size_t>(row)];
  Ui& ui = session_.platform.ui;
  if (on && !r.refusal.empty()) {
    ui.messageBox(
        {"\"" + r.name + "\" is not cleaned: " + r.refusal, "Refused", Buttons::Ok, Icon::Exclamation, 1});
    return;
  }
  if (on && !r.ticked && !r.warning.empty()) {
    Answer answer = ui.messageBox({r.name + ":\r\n\r\n" + r.warning + "\r\n\r\nTick this entry anyway?",
                                   kWarningTitle, Buttons::OkCancel, Icon::Exclamation, 2});
    if (answer != Answer::Ok) return;
  }
  r.ticked = on;
  session_.settings.AddToini(kSection, r.name, on ? "1" : "0", session_.maintenIni());
}

void RulesPageModel::highlight(int row) {
  highlighted = row >= 0 && row < rowCount() ? row : -1;
}

int RulesPageModel::tickedCount() const {
  return static_cast<int>(std::count_if(rows.begin(), rows.end(), [](const RuleRow& r) { return r.ticked; }));
}

void cleanRules(CleaningContext& context, RulesPageModel& model) {
  RunState& state = context.state;
  Session& session = context.session;
  Trap trap(session.log, "cmdCleanRules");
  state.runningFamily = "Rules";
  state.statusText = "Removing rule targets";
  context.refresh();

  trap.checkpoint();
  if (!state.cleanAllRunning) {
    trap.run([&] { beginFamilyRun(context, kRulesFamilyCode); });
    state.animation = {1000, true};
    state.progress = {0, std::max(model.tickedCount(), 1)};
    context.refresh();
  }

  Protection protection(session);
  RuleCleaner cleaner(session, protection);
  for (const RuleRow& row : model.rows) {
    if (!row.ticked) continue;
    Trap entryTrap(session.log, "ruleCleanEntry");
    entryTrap.step = static_cast<std::int16_t>(std::min(model.rules.entries[row.entry].line, 32767));
    state.runningPart = row.name;
    cleaner.clean(model.rules.entries[row.entry], entryTrap);
    state.runningPart.clear();
    if (!state.cleanAllRunning) state.progress.advance();
    context.refresh();
  }

  trap.checkpoint();
  if (!state.cleanAllRunning) trap.run([&] { completeRun(context); });
}

}  // namespace trwk
