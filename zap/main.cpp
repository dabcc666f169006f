// zap: started once by Windows from the run-once lists, with no window. It works in its
// own folder's mainten.ini and trwk.log.
#include <exception>

#include "platform/system_clock.h"
#include "platform/system_platform.h"
#include "zap/index_remover.h"

int main() {
  try {
    trwk::SystemServices services = trwk::makeSystemServices();
    trwk::SystemClock clock;
    trwk::zap::removeIndexFiles(*services.files, clock, *services.desktop, services.desktop->programFolder());
  } catch (const std::exception&) {
    return 1;  // nothing to report to: without its services zap cannot reach its log
  }
  return 0;
}
