#pragma once
// A window's toolbar as its model holds it: the buttons from left to right, each with its
// caption and whether it can be pressed. A view shows them and hands a press back by the
// button's position.
#include <string>
#include <vector>

namespace trwk {

struct ToolButton {
  std::string caption;
  bool enabled = true;
  friend bool operator==(const ToolButton&, const ToolButton&) = default;
};

using Toolbar = std::vector<ToolButton>;

}  // namespace trwk
