#include "cleaning/ie_cookies_model.h"

#include "foundation/trap.h"

namespace trwk {

IeCookiesModel::IeCookiesModel(CleaningContext& context)
    : KeepListEditor(context.session, "cookies1.lst", "cookies1.000"), context_(context) {}

void IeCookiesModel::load() {
  Files& fs = session_.platform.files;
  Trap trap(session_.log, "IECookies.Form.Load");
  const std::string& folder = context_.paths.ie3;
  files.clear();
  selectedFile = -1;
  preview.clear();
  if (fs.folderExists(folder)) {
    trap.run([&] {
      for (const DirEntry& e : fs.list(folderFile(folder, "*.txt"), {true, false, false}))
        files.push_back(e.name);
    });
  } else {
    session_.log.writeRunLog("Could not find sIECookies in IECookies.Form.Load " + folder, 0, 0, "");
    session_.platform.ui.messageBox({kMissingFolderText, "Info", Buttons::Ok, Icon::None, 1});
  }
  trap.checkpoint();
  trap.run([&] { entries = readList(); });
  selectedEntry = -1;
}

void IeCookiesModel::selectFile(int index) {
  Trap trap(session_.log, "IECookies.File1");
  preview.clear();
  selectedFile = index >= 0 && index < static_cast<int>(files.size()) ? index : -1;
  if (selectedFile < 0) return;
  trap.checkpoint();
  trap.run([&] {
    preview = session_.platform.files.readAll(folderFile(context_.paths.ie3, files[selectedFile]));
  });
}

void IeCookiesModel::add() {
  if (selectedFile >= 0 && selectedFile < static_cast<int>(files.size())) addEntry(files[selectedFile]);
}

void IeCookiesModel::doubleClickFile(int index) {
  Trap trap(session_.log, "IECookies.File1dbl");
  trap.run([&] {
    selectFile(index);
    add();
  });
}

void IeCookiesModel::pressTool(int tool) {
  if (tool == kToolAdd) add();
  if (tool == kToolRemove) deleteEntry();
}

void IeCookiesModel::ok() {
  Trap trap(session_.log, "IECookies.Command3");
  save(trap);
  trap.checkpoint();
  listCookiesToSave(context_);
  closed = true;
}

}  // namespace trwk
