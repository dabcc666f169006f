#include "platform/posix/posix_services.h"

#include <sys/stat.h>

#include <cstdlib>

#include "platform/failure.h"
#include "platform/posix/posix_desktop.h"
#include "platform/posix/posix_files.h"
#include "platform/posix/posix_registry.h"
#include "platform/posix/wine_prefix.h"

namespace trwk::posix {

SystemServices makeServicesForPrefix(const std::string& hostPrefix, const std::string& programFolder) {
  auto prefix = std::make_shared<const WinePrefix>(hostPrefix);
  struct stat st {};
  if (::stat((prefix->hostPath() + "/dosdevices").c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
    throw Failure(fail::kPathNotFound,
                  "Path not found: " + hostPrefix + " is not a Wine prefix (it has no dosdevices folder)");
  SystemServices services;
  services.files = std::make_unique<PosixFiles>(prefix);
  services.registry = std::make_unique<PosixRegistry>(prefix);
  services.desktop = std::make_unique<PosixDesktop>(prefix, programFolder);
  return services;
}

}  // namespace trwk::posix

namespace trwk {

SystemServices makeSystemServices() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (!prefix || !*prefix)
    throw Failure(fail::kPathNotFound,
                  "Path not found: WINEPREFIX is not set; point it at the Wine prefix to work on");
  SystemServices services = posix::makeServicesForPrefix(prefix);
  if (posix::WinePrefix(prefix).wineserverRunning())
    throw Failure(fail::kPermissionDenied,
                  std::string("Permission denied: a wineserver is running for the Wine prefix ") + prefix +
                      "; it keeps the registry in memory and would overwrite every change. "
                      "Stop it first (WINEPREFIX=" +
                      prefix + " wineserver -k).");
  return services;
}

}  // namespace trwk
