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
};

// Returns the exit code: 0 when the run was done, kExitCommandLine for a family that does
// not exist, kExitLicence when the agreement is not accepted and acceptLicence is not
// given, kExitCannotStart when mainten.ini is there but cannot be read (said on `err` and
// in the run log). Steps that fail are in the run log, as with windows.
int runHeadless(Platform platform, const HeadlessOptions& options, std::ostream& out, std::ostream& err);

}  // namespace trwk
