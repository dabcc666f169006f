#pragma once
// `trwk6 --clean FAMILY`: a whole session without windows. The start-up sequence runs as
// with windows ("Session Started", the licence agreement, the main window's load, which
// reads every setting), then the family is cleaned with the ticks the main window keeps,
// then the main window's unload writes the settings back. Message boxes go to the
// console Ui the platform carries, each printed with the answer taken.
#include <iosfwd>
#include <string>

#include "platform/platform.h"
#include "shell/startup.h"

namespace trwk {

struct HeadlessOptions {
  std::string family;          // "all", "ie", "netscape", ... (see cleanFamilies)
  bool acceptLicence = false;  // accept the agreement here instead of stopping
  StartupOptions startup;
  // Show what cleaning would remove instead of cleaning. The whole session runs on
  // services that change nothing: no setting, log line, file or registry value is written
  // (an agreement accepted here holds for this preview only).
  bool preview = false;
  // The plan or the report as one JSON document on `out`; what is said to people goes to
  // `err` then (the console Ui is the caller's: give it `err` too).
  bool json = false;
};

// After a cleaning, a report per clean item (plan_text.h); after a preview, the plan.
// Returns the exit code: 0 when the run was done (a cleaning: every step succeeded),
// kExitSomeFailed when a cleaning ran to its end with failed steps, kExitCommandLine for a family that does
// not exist, kExitLicence when the agreement is not accepted and acceptLicence is not
// given, kExitCannotStart when mainten.ini is there but cannot be read (said on `err` and
// in the run log). Steps that fail are in the run log, as with windows.
int runHeadless(Platform platform, const HeadlessOptions& options, std::ostream& out, std::ostream& err);

}  // namespace trwk
