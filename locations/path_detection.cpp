#include "locations/path_detection.h"

#include <cctype>

#include "cleaning/protection.h"
#include "foundation/trap.h"

namespace trwk {
namespace {

const std::string kMissing = LocationsModel::kMissing;

// A folder ending in "\" joined with a relative part; a folder that is not known ("-")
// stays unknown, so the candidate simply does not exist.
std::string under(const std::string& folder, const char* relative) {
  return folder == kMissing ? kMissing : folder + relative;
}

// "C:\..." or "\\server\share...".
bool isFullPath(const std::string& path) {
  if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
      path[2] == '\\')
    return true;
  return path.size() > 2 && path[0] == '\\' && path[1] == '\\';
}

}  // namespace

std::optional<std::string> locationRefusal(Session& session, const std::string& folder) {
  return Protection(session).folderRefusal(folder);
}

void PathDetection::takeSystemFolders() {
  model_.windowsFolder = shellFolder(KnownFolder::Windows);
  model_.programFilesFolder = shellFolder(KnownFolder::ProgramFiles);
}

// An answer that comes back relative ("windows", "C:windows") names no folder of its own:
// it counts as not found, as a failed shell call does.
std::string PathDetection::shellFolder(KnownFolder id) {
  std::optional<std::string> folder = session_.platform.desktop.knownFolder(id);
  return folder && isFullPath(*folder) ? *folder + "\\" : kMissing;
}

// A protected or unsafe answer ("C:\", "Recent", the profile itself) is no place to clean:
// it counts as not found, as a failed shell call does.
std::string PathDetection::location(const std::string& folder) {
  return folder == kMissing || locationRefusal(session_, folder) ? kMissing : folder;
}

std::string PathDetection::shellLocation(KnownFolder id) {
  return location(shellFolder(id));
}

std::string PathDetection::firstExisting(std::initializer_list<std::string> candidates) {
  for (const std::string& candidate : candidates)
    if (candidate != kMissing && session_.settings.folderExists(candidate) && location(candidate) != kMissing)
      return candidate;
  return kMissing;
}

std::string PathDetection::ifExists(const std::string& folder, bool& found) {
  found = folder != kMissing && session_.settings.folderExists(folder) && location(folder) != kMissing;
  return found ? folder : kMissing;
}

// The shell's answers are used as they are, unprobed, unless they may not be locations.
void PathDetection::detectIE() {
  auto take = [&](PathBox box, KnownFolder id, bool& found) {
    model_.box(box) = shellLocation(id);
    found = model_.box(box) != kMissing;
  };
  take(kIEHistory, KnownFolder::History, model_.ieHistoryFound);
  take(kIECache, KnownFolder::InternetCache, model_.ieCacheFound);
  take(kIECookies, KnownFolder::Cookies, model_.ieCookiesFound);
  // The index lives inside the cache folder, so it is known exactly when that is.
  model_.ieCacheIndexFound = model_.ieCacheFound;
  model_.ieCacheIndex = model_.ieCacheFound ? model_.box(kIECache) + "Content.ie5\\" : kMissing;
}

void PathDetection::detectNetscape() {
  setUsersBox(firstExisting({under(model_.programFilesFolder, "Netscape\\Users\\"),
                             "C:\\Program Files\\Netscape\\Users\\", "C:\\Program\\Netscape\\Users\\",
                             under(model_.windowsFolder, "Netscape\\Users\\"), "C:\\Netscape\\Users\\"}));
  const std::string& users = model_.box(kNetscapeUsers);
  if (users != kMissing && !users.empty()) fillUserCombo(users);
  // With no users folder the candidate is "-" + user + "\Cache\", which never exists.
  model_.box(kNetscapeCache) = ifExists(users + model_.userText + "\\Cache\\", model_.netscapeCacheFound);
}

void PathDetection::detectOpera() {
  model_.box(kOperaUser) =
      firstExisting({under(model_.programFilesFolder, "Opera\\"), "C:\\Program Files\\Opera\\",
                     "C:\\Program\\Opera\\", under(model_.windowsFolder, "Opera\\"), "C:\\Opera\\"});
  const std::string& user = model_.box(kOperaUser);
  model_.box(kOperaCache) = ifExists(user == kMissing ? kMissing : user + "Cache4\\", model_.operaCacheFound);
}

void PathDetection::detectWindows() {
  model_.box(kWinHistory) = shellLocation(KnownFolder::Recent);
  model_.box(kWinTemp) = ifExists(under(model_.windowsFolder, "Temp\\"), model_.winTempFound);
  model_.box(kWinDownloaded) =
      ifExists(under(model_.windowsFolder, "Downloaded Program Files\\"), model_.winDownloadedFound);
}

void PathDetection::setUsersBox(const std::string& text) {
  if (model_.box(kNetscapeUsers) == text) return;
  model_.box(kNetscapeUsers) = text;
  fillUserCombo(text);
}

void PathDetection::fillUserCombo(const std::string& folder) {
  Trap trap(session_.log, "fillUserCombo (" + folder + ")");
  model_.clearUsers();
  if (folder == "C:\\" || folder == "D:\\" || folder == "E:\\") return;
  // A folder that is not there lists nothing; only a failing listing is worth a log line.
  if (!session_.settings.folderExists(folder)) return;
  trap.checkpoint();
  trap.run([&] {
    std::string pattern = folder;
    if (pattern.back() != '\\') pattern += '\\';
    for (const DirEntry& entry :
         session_.platform.files.list(pattern + "*", {.files = true, .folders = true}))
      model_.users.push_back(entry.name);
  });
  trap.checkpoint();
  if (!model_.users.empty()) model_.selectUser(0);
}

void PathDetection::findPath(PathSaves& saves) {
  Trap trap(session_.log, "findPath");
  trap.checkpoint();
  trap.run([&] {
    detectIE();
    saves.saveIE();
  });
  trap.checkpoint();
  trap.run([&] {
    detectNetscape();
    saves.saveNetscape();
  });
  trap.checkpoint();
  trap.run([&] {
    detectOpera();
    saves.saveOpera();
  });
  trap.checkpoint();
  trap.run([&] {
    detectWindows();
    saves.saveWindows();
  });
  const std::string ini = session_.maintenIni();
  trap.checkpoint();
  trap.run([&] {
    paths_.ie4 = model_.ieCacheIndex;
    session_.settings.AddToini("Path", "IE4", model_.ieCacheIndex, ini);
  });
  trap.checkpoint();
  trap.run([&] { session_.settings.AddToini("Path", "Detect", "1", ini); });
}

}  // namespace trwk
