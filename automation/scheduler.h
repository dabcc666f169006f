#pragma once
// Automatic cleaning: the start/stop button of the maintenance page and the tick that
// runs the chosen family's cleaning at a fixed interval of days, hours and minutes while
// the program waits hidden in the notification area. Window-free: the main window hands
// over the cleanings and what to do with its window, and runs the tick timer with the
// interval held here.
#include <cstdint>
#include <functional>
#include <string>

#include "automation/automatic_choices.h"
#include "cleaning/run_state.h"
#include "foundation/session.h"

namespace trwk {

class Trap;

class Scheduler {
 public:
  static constexpr const char* kStartCaption = "Start Automatic Cleaning";
  static constexpr const char* kStopCaption = "Stop Automatic Cleaning";
  static constexpr const char* kZeroIntervalText =
      "You have to specify a valid time interval in Maintenance/Settings; 0 days, 0 hours and 0 minutes is "
      "not allowed";
  static constexpr int kTickInterval = 60000;  // ms
  // Run-log names of the button's and the tick's failures.
  static constexpr const char* kButtonName = "Command18";
  static constexpr const char* kTickName = "Timer3";

  // The cleanings a tick can start, chosen by the family list's text: "All", "IE",
  // "Netscape", "Opera", "User.def", "Plugins". An empty one does nothing.
  struct Cleanings {
    std::function<void()> all, internetExplorer, netscape, opera, userDefined, plugins;
  };

  Scheduler(Session& session, AutomaticChoices& choices, RunState& state, Cleanings cleanings = {});
  Scheduler(const Scheduler&) = delete;
  Scheduler& operator=(const Scheduler&) = delete;

  // The button's caption is the state: kStartCaption while idle, kStopCaption while armed.
  std::string caption = kStartCaption;
  // The schedule timer: kTickInterval while armed, 0 while idle.
  Timer tick;
  // The moment of the next cleaning while armed.
  DateTime nextRunTime;

  bool armed() const { return caption == kStopCaption; }
  // "Next cleaning: <date and time>" while armed, "" while idle.
  std::string nextRunText() const;

  // The start/stop button.
  void startStop();
  // Stops an armed schedule as the button does; nothing when idle. The main window's
  // unload calls it first, so that the stored "Close application after cleaning" is
  // written back rather than the unticked box of automatic mode.
  void stop();
  // The schedule timer's tick: runs the chosen family once when the next run's minute has
  // come, then moves the next run on by the interval until it lies ahead.
  void onTick();

  Cleanings cleanings;
  // Arming puts the program's icon in the notification area and hides the main window;
  // stopping takes the icon away again (the window is on screen then, or is shown).
  std::function<void()> enterTray = [] {};
  std::function<void()> leaveTray = [] {};
  // Repaints the views after the state changed.
  std::function<void()> refresh = [] {};
  // True while another cleaning runs (a tick can arrive while a run lets events through);
  // a due run then waits for the next tick.
  std::function<bool()> cleaningUnderway = [] { return false; };

 private:
  // The lists' interval in minutes; a text that is not a number throws Failure(13).
  std::int64_t listInterval() const;
  void arm(std::int64_t intervalMinutes);
  void runFamily(const std::string& family);
  void advance(Trap& trap);

  Session& session_;
  AutomaticChoices& choices_;
  RunState& state_;
  // The interval the schedule was armed with, or last advanced by: a tick whose lists now
  // read zero or cannot be read keeps to it.
  std::int64_t intervalMinutes_ = 0;
  bool ticking_ = false;
};

}  // namespace trwk
