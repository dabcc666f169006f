#include "cleaning/netscape_cookies_model.h"

#include "foundation/trap.h"

namespace trwk {

namespace {

// Comment lines of cookies.txt and the blank fields between lines are no cookies.
std::vector<std::string> cookieLines(std::vector<std::string> fields) {
  std::vector<std::string> out;
  for (std::string& f : fields)
    if (!f.empty() && f.front() != '#') out.push_back(std::move(f));
  return out;
}

}  // namespace

std::string netscapeUserFolder(const PathValues& paths) {
  return folderFile(paths.netscape1A, paths.netscape1C);
}

NetscapeCookiesModel::NetscapeCookiesModel(CleaningContext& context)
    : KeepListEditor(context.session, "cookies2.lst", "cookies2.000"), context_(context) {}

void NetscapeCookiesModel::load() {
  Trap trap(session_.log, "NetCookies.Load");
  cookies.clear();
  selectedCookie = -1;
  trap.run([&] {
    cookies = cookieLines(readListFields(session_.platform.files,
                                         folderFile(netscapeUserFolder(context_.paths), "cookies.txt")));
  });
  trap.checkpoint();
  trap.run([&] { entries = cookieLines(readList()); });
  selectedEntry = -1;
}

void NetscapeCookiesModel::selectCookie(int index) {
  selectedCookie = index >= 0 && index < static_cast<int>(cookies.size()) ? index : -1;
}

void NetscapeCookiesModel::add() {
  if (selectedCookie >= 0 && selectedCookie < static_cast<int>(cookies.size()))
    addEntry(cookies[selectedCookie]);
}

void NetscapeCookiesModel::doubleClickCookie(int index) {
  selectCookie(index);
  add();
}

void NetscapeCookiesModel::pressTool(int tool) {
  if (tool == kToolAdd) add();
  if (tool == kToolRemove) deleteEntry();
}

void NetscapeCookiesModel::ok() {
  Trap trap(session_.log, "NetCookies.command3");
  save(trap);
  closed = true;
}

}  // namespace trwk
