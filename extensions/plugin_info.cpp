#include "extensions/plugin_info.h"

#include "cleaning/removal.h"
#include "foundation/trap.h"

namespace trwk {

void PluginInfo::clearFields() {
  name.clear();
  version.clear();
  created.clear();
  author.clear();
  info.clear();
}

void PluginInfo::open(const Plugins& plugins, int row) {
  clearFields();
  headerPath.clear();
  bodyPath.clear();
  deleteEnabled = false;
  visible = true;
  if (row < 0 || row >= plugins.rowCount()) return;

  headerPath = plugins.headerPath(row);
  bodyPath = bodyFileFor(headerPath);
  Settings& settings = session_.settings;
  name = settings.getini("Main", "Name", headerPath);
  version = settings.getini("Main", "Version", headerPath);
  created = settings.getini("Main", "Created", headerPath);
  author = settings.getini("Main", "Author", headerPath);
  info = settings.getini("Main", "Info", headerPath);
  deleteEnabled = true;
}

void PluginInfo::deletePlugin() {
  if (!deleteEnabled || headerPath.empty()) return;
  Ui& ui = session_.platform.ui;
  Answer answer = ui.messageBox(
      {"Do you want to delete this plugin?", "Delete Plugin", Buttons::YesNo, Icon::Critical, 2});
  if (answer != Answer::Yes) return;

  Files& files = session_.platform.files;
  Trap trap(session_.log, "cmdDeletePlugin");
  for (const std::string& path : {headerPath, bodyPath}) {
    trap.checkpoint();
    if (files.fileExists(path))
      trap.run([&] { files.deleteFile(path); });  // the page's own Delete: a link goes as itself
  }
  // A file that would not go is not reported as deleted; the user may try again.
  if (trap.failures() > 0) {
    ui.messageBox({"The Plugin could not be deleted completely. Please check the files:\r\n" + headerPath +
                       "\r\n" + bodyPath,
                   "Delete Plugin", Buttons::Ok, Icon::Exclamation, 1});
    return;
  }
  clearFields();
  ui.messageBox({"The Plugin was succesfully deleted. Please restart Tarnwick", "Delete Plugin",
                 Buttons::YesNo, Icon::Information, 1});
  deleteEnabled = false;
}

}  // namespace trwk
