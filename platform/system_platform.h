#pragma once
// The real services of the platform the program was built for: the Win32 API on
// Windows, a Wine prefix (WINEPREFIX) elsewhere.
#include <memory>

#include "platform/desktop.h"
#include "platform/files.h"
#include "platform/registry.h"

namespace trwk {

struct SystemServices {
  std::unique_ptr<Files> files;
  std::unique_ptr<Registry> registry;
  std::unique_ptr<Desktop> desktop;
};

// Throws trwk::Failure with a readable description when the services cannot be had
// (on POSIX: no WINEPREFIX, or not a prefix).
SystemServices makeSystemServices();

}  // namespace trwk
