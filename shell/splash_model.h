#pragma once
// The splash window shown while the main window loads.
#include <string>

#include "shell/version.h"

namespace trwk {

class SplashModel {
 public:
  explicit SplashModel(std::string picture) : picturePath(std::move(picture)) {}

  const std::string versionText = std::string("Version ") + kVersion;
  const std::string picturePath;
  bool open = true;

  // A key press on the window or a click on it closes it before the load is done.
  void keyPressed() { open = false; }
  void clicked() { open = false; }
  void close() { open = false; }
};

}  // namespace trwk
