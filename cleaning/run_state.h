#pragma once
// The running state of a cleaning and what it shows: status text, progress, the status
// animation timer, the hourglass. The main window owns one; cleaners change it.
#include <string>

#include "cleaning/clean_catalogue.h"

namespace trwk {

struct Timer {
  int interval = 0;  // milliseconds
  bool enabled = false;
};

struct RunState {
  bool cleanAllRunning = false;
  std::string runningFamily;  // "Internet Explorer", "Netscape", ... or empty
  // In a family without numbered items, the part being cleaned: a plugin's name or a
  // rule entry's; what a preview and a report group its entries under.
  std::string runningPart;
  bool manualMode = true;     // false while automatic cleaning is armed
  std::string lastCleaned;    // [Senast] Value1
  std::string statusText;
  ProgressBar progress;
  Timer animation;            // status animation: "Please Wait..." / "Cleaning... <family>"
  bool animationPhase = false;
  bool automaticClose = false;  // "Close application after cleaning"
  std::string freeBefore;       // free KB of "C:\" before the run (text, as measured)
};

}  // namespace trwk
