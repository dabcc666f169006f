#include "platform/system_platform.h"
#include "platform/win32/win32_backend.h"

namespace trwk {

SystemServices makeSystemServices() {
  SystemServices services;
  services.files = std::make_unique<win32::Win32Files>();
  services.registry = std::make_unique<win32::Win32Registry>();
  services.desktop = std::make_unique<win32::Win32Desktop>();
  return services;
}

}  // namespace trwk
