#include "automation/scheduler.h"

#include <utility>

#include "automation/calendar.h"
#include "foundation/convert.h"
#include "foundation/trap.h"
#include "platform/failure.h"

namespace trwk {

Scheduler::Scheduler(Session& session, AutomaticChoices& choices, RunState& state, Cleanings cleaningsToRun)
    : cleanings(std::move(cleaningsToRun)), session_(session), choices_(choices), state_(state) {}

std::string Scheduler::nextRunText() const {
  return armed() ? "Next cleaning: " + generalDateTime(nextRunTime) : std::string();
}

std::int64_t Scheduler::listInterval() const {
  const std::int64_t days = toInteger(choices_.day.text());
  const std::int64_t hours = toInteger(choices_.hour.text());
  const std::int64_t minutes = toInteger(choices_.minute.text());
  return (days * 24 + hours) * 60 + minutes;
}

void Scheduler::startStop() {
  if (armed()) {
    stop();
    return;
  }
  if (choices_.day.text() == "0" && choices_.hour.text() == "0" && choices_.minute.text() == "0") {
    session_.platform.ui.messageBox({kZeroIntervalText, "Info", Buttons::Ok, Icon::Critical, 1});
    return;
  }
  // The interval is worked out before anything changes, so that a list text that is no
  // number leaves the schedule idle and the program in manual mode.
  Trap trap(session_.log, kButtonName);
  std::int64_t interval = 0;
  const bool read = trap.run([&] {
    interval = listInterval();
    if (interval <= 0) throw Failure(fail::kInvalidCall);
  });
  if (!read) return;
  arm(interval);
  refresh();
}

void Scheduler::arm(std::int64_t intervalMinutes) {
  state_.manualMode = false;
  // The program must stay running between cleanings.
  state_.automaticClose = false;
  intervalMinutes_ = intervalMinutes;
  nextRunTime = addSeconds(session_.platform.clock.now(), intervalMinutes * 60);
  tick = {kTickInterval, true};
  caption = kStopCaption;
  enterTray();
}

void Scheduler::stop() {
  if (!armed()) return;
  // "Close application after cleaning" goes back to the state stored at the last exit.
  Trap trap(session_.log, kButtonName);
  trap.run([&] {
    state_.automaticClose =
        toBoolean(session_.settings.getini("Inst", "AutomaticClose", session_.maintenIni()));
  });
  state_.manualMode = true;
  caption = kStartCaption;
  tick = {0, false};
  leaveTray();
  refresh();
}

void Scheduler::onTick() {
  // A tick that arrives while a cleaning lets events through waits: the run stays due
  // and the next tick starts it.
  if (!armed() || ticking_ || cleaningUnderway()) return;
  if (minuteNumber(session_.platform.clock.now()) < minuteNumber(nextRunTime)) return;
  ticking_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{ticking_};
  Trap trap(session_.log, kTickName);
  trap.run([&] { runFamily(choices_.clean.text()); });
  trap.checkpoint();
  // Stopped while the cleaning ran: the next start computes its own time.
  if (armed()) advance(trap);
  refresh();
}

void Scheduler::runFamily(const std::string& family) {
  const std::pair<const char*, std::function<void()>*> byText[] = {
      {"All", &cleanings.all},     {"IE", &cleanings.internetExplorer},  {"Netscape", &cleanings.netscape},
      {"Opera", &cleanings.opera}, {"User.def", &cleanings.userDefined}, {"Plugins", &cleanings.plugins},
  };
  for (const auto& [text, cleaning] : byText)
    if (family == text) {
      if (*cleaning) (*cleaning)();
      return;
    }
}

// The next run moves on from its own time, not from now, by whole intervals until its
// minute lies ahead of the present one: a run missed by a long cleaning or a sleeping
// machine is made up once, and the cadence keeps its phase.
void Scheduler::advance(Trap& trap) {
  std::int64_t interval = intervalMinutes_;
  trap.run([&] {
    const std::int64_t fromLists = listInterval();
    if (fromLists > 0) interval = fromLists;
  });
  if (interval <= 0) return;
  intervalMinutes_ = interval;
  const std::int64_t behind = minuteNumber(session_.platform.clock.now()) - minuteNumber(nextRunTime);
  if (behind < 0) return;
  nextRunTime = addSeconds(nextRunTime, (behind / interval + 1) * interval * 60);
}

}  // namespace trwk
