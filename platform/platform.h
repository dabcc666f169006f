#pragma once
// The services one program run talks to. Models receive this and nothing else.
#include "platform/clock.h"
#include "platform/desktop.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/ui.h"

namespace trwk {

struct Platform {
  Files& files;
  Registry& registry;
  Desktop& desktop;
  Clock& clock;
  Random& random;
  Ui& ui;
};

}  // namespace trwk
