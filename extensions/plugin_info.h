#pragma once
// The "Plugin Info" window: what the header of the highlighted plugin says about it, and
// "Delete this Plugin". The main window's lists stay as they are until a restart.
#include <string>

#include "extensions/plugins.h"
#include "foundation/session.h"

namespace trwk {

class PluginInfo {
 public:
  explicit PluginInfo(Session& session) : session_(session) {}

  // Fills the window from header file `row` of the lists and shows it; with no row
  // highlighted (-1) the fields stay empty and there is nothing to delete.
  void open(const Plugins& plugins, int row);
  // "Delete this Plugin": asks first; on Yes removes the header and body files.
  void deletePlugin();
  // "OK" (and the title bar's close button).
  void close() { visible = false; }

  std::string name, version, created, author, info;
  std::string headerPath, bodyPath;  // full paths
  bool deleteEnabled = false;
  bool visible = false;

 private:
  void clearFields();
  Session& session_;
};

}  // namespace trwk
