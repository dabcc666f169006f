#include "locations/path_settings.h"

#include <vector>

#include "cleaning/path_availability.h"
#include "cleaning/protection.h"
#include "foundation/convert.h"
#include "foundation/trap.h"

namespace trwk {
namespace {

const std::string kMissing = LocationsModel::kMissing;

// What a list reports when it is asked to select a position it does not have.
constexpr int kInvalidPropertyValue = 380;

std::string lines(std::initializer_list<const char*> texts) {
  std::string text;
  for (const char* line : texts) text += (text.empty() ? "" : "\r\n") + std::string(line);
  return text;
}

// The policy's word as a sentence for the user: "C:\windows is a protected location (the
// Windows folder) and is never cleaned." or "Recent\ is never cleaned: not a full path
// with a drive letter."
std::string neverCleaned(const std::string& folder, const std::string& refusal) {
  const std::string normal = normalFolderText(folder);
  if (refusal.starts_with(normal + " is ")) return refusal + " and is never cleaned.";
  for (const std::string& named : {folder, normal})
    if (refusal.starts_with(named + ": "))
      return named + " is never cleaned: " + refusal.substr(named.size() + 2) + ".";
  return refusal + ".";
}

// A message with the sentences that say why some of its folders were refused.
std::string withReasons(std::string message, const std::vector<std::string>& reasons) {
  for (const std::string& why : reasons)
    if (!why.empty()) message += "\r\n" + why;
  return message;
}

}  // namespace

void PathSettings::store(const char* key, const std::string& value) {
  session_.settings.AddToini("Path", key, value, session_.maintenIni());
}

void PathSettings::info(const std::string& text) {
  session_.platform.ui.messageBox({text, "Info", Buttons::Ok, Icon::Information, 1});
}

// The marker and the empty text are no folder at all; a protected folder exists but is
// refused all the same, and says why.
PathSettings::Verdict PathSettings::judge(const std::string& folder) {
  if (folder.empty() || folder == kMissing || folder == LocationsModel::kNotFoundYet) return {};
  if (auto refusal = locationRefusal(session_, folder)) return {false, neverCleaned(folder, *refusal)};
  return {session_.settings.folderExists(folder), ""};
}

// Only the marker counts: a stored folder that has gone since is still "known" until the
// next Save. The cleaners and Clean All judge a browser by the same rule; the Saves and
// fixPath put the marker in for a folder that may not be a location.
bool PathSettings::known(PathBox box) const {
  return locationKnown(model_.box(box));
}

void PathSettings::applyIE() {
  model_.ieAvailable = known(kIEHistory) && known(kIECache) && known(kIECookies);
  model_.ieAvailable ? catalogue_.enableIE() : catalogue_.disableIE();
}

void PathSettings::applyNetscape() {
  model_.netscapeAvailable = known(kNetscapeUsers) && known(kNetscapeCache);
  model_.netscapeAvailable ? catalogue_.enableNetscape() : catalogue_.disableNetscape();
}

void PathSettings::applyOpera() {
  model_.operaAvailable = known(kOperaUser) && known(kOperaCache);
  model_.operaAvailable ? catalogue_.enableOpera() : catalogue_.disableOpera();
}

// Document History plays no part here: only the two folders the Windows items clean.
void PathSettings::applyWindows() {
  model_.winTempFound = known(kWinTemp);
  model_.winTempFound ? catalogue_.enableWinTemp() : catalogue_.disableWinTemp();
  model_.winDownloadedFound = known(kWinDownloaded);
  model_.winDownloadedFound ? catalogue_.enableWinDownloaded() : catalogue_.disableWinDownloaded();
  model_.windowsWarningVisible = !model_.winTempFound || !model_.winDownloadedFound;
}

// A missing folder keeps its stored key: the boot-time remover goes on reading the
// folder it had.
void PathSettings::saveIE() {
  struct Folder {
    PathBox box;
    const char* key;
    std::string PathValues::*value;
  };
  const Folder folders[] = {{kIEHistory, "IE1", &PathValues::ie1},
                            {kIECache, "IE2", &PathValues::ie2},
                            {kIECookies, "IE3", &PathValues::ie3}};
  bool failed = false;
  std::vector<std::string> reasons;
  for (const Folder& folder : folders) {
    std::string& text = model_.box(folder.box);
    Verdict verdict = judge(text);
    if (verdict.stored) {
      // The cookie list of the keep-list window follows paths.ie3.
      paths_.*folder.value = text;
      store(folder.key, text);
    } else {
      text = kMissing;
      failed = true;
      reasons.push_back(verdict.why);
    }
  }
  applyIE();
  if (failed)
    info(
        withReasons(lines({"Could not find Internet Explorer paths.",
                           "If you have Internet Explorer installed check the paths under the 'Path' button.",
                           "If you don't have Internet Explorer installed, you can disable the Internet "
                           "Explorer tabs under the 'Maintenance' button"}),
                    reasons));
}

void PathSettings::saveNetscape() {
  Trap trap(session_.log, "Command11Child8");
  bool failed = false;
  std::vector<std::string> reasons;
  trap.checkpoint();
  trap.run([&] {
    const std::string users = model_.box(kNetscapeUsers);
    Verdict verdict = judge(users);
    if (verdict.stored) {
      paths_.netscape1A = users;
    } else {
      detection_.setUsersBox(kMissing);  // empties the "User" list
      paths_.netscape1A = kMissing;
      failed = true;
      reasons.push_back(verdict.why);
    }
    store("Netscape1A", paths_.netscape1A);
  });
  trap.checkpoint();
  trap.run([&] {
    if (model_.userText.empty()) {
      store("Netscape1B", "-1");
      store("Netscape1C", "Error");
    } else {
      store("Netscape1B", std::to_string(model_.userSelected));
      store("Netscape1C", model_.userText);
      paths_.netscape1C = model_.userText;
    }
  });
  trap.checkpoint();
  trap.run([&] {
    std::string& cache = model_.box(kNetscapeCache);
    Verdict verdict = judge(cache);
    if (verdict.stored) {
      paths_.netscape2 = cache;
    } else {
      cache = kMissing;
      paths_.netscape2 = kMissing;
      failed = true;
      reasons.push_back(verdict.why);
    }
    store("Netscape2", paths_.netscape2);
  });
  trap.checkpoint();
  trap.run([&] { applyNetscape(); });
  trap.checkpoint();
  if (failed)
    info(withReasons(
        lines({"Could not find Netscape paths.",
               "If you have Netscape installed check the paths under the 'Path' button.",
               "If you don't have Netscape installed, you can disable the Netscape tabs under the "
               "'Maintenance' button"}),
        reasons));
}

void PathSettings::saveOpera() {
  struct Folder {
    PathBox box;
    const char* key;
    std::string PathValues::*value;
  };
  const Folder folders[] = {{kOperaUser, "Opera1", &PathValues::opera1},
                            {kOperaCache, "Opera2", &PathValues::opera2}};
  bool failed = false;
  std::vector<std::string> reasons;
  for (const Folder& folder : folders) {
    std::string& text = model_.box(folder.box);
    if (Verdict verdict = judge(text); !verdict.stored) {
      text = kMissing;
      failed = true;
      reasons.push_back(verdict.why);
    }
    paths_.*folder.value = text;
    store(folder.key, text);
  }
  applyOpera();
  if (failed)
    info(withReasons(lines({"Could not find Opera paths.",
                            "If you have Opera installed check the paths under the 'Path' button.",
                            "If you don't have Opera installed, you can disable the Opera tabs under the "
                            "'Maintenance' button"}),
                     reasons));
}

// Each missing folder is reported at once, in the order of the boxes.
void PathSettings::saveWindows() {
  struct Folder {
    PathBox box;
    const char* key;
    std::string PathValues::*value;
    const char* missing;
  };
  const Folder folders[] = {
      {kWinHistory, "Win1", &PathValues::win1, "Windows Document History path does not exist"},
      {kWinTemp, "Win2", &PathValues::win2, "Windows Temporary Files path does not exist"},
      {kWinDownloaded, "Win3", &PathValues::win3, "Windows Downloaded path does not exist"}};
  for (const Folder& folder : folders) {
    std::string& text = model_.box(folder.box);
    if (Verdict verdict = judge(text); !verdict.stored) {
      info(withReasons(folder.missing, {verdict.why}));
      text = kMissing;
    }
    paths_.*folder.value = text;
    store(folder.key, text);
  }
  applyWindows();
}

std::string PathSettings::BrowseForDirectory() {
  Trap trap(session_.log, "BrowseForDirectory");
  std::string folder;
  trap.run([&] {
    std::optional<std::string> picked = session_.platform.ui.pickFolder(kPickerTitle);
    if (picked) folder = picked->substr(0, picked->find('\0'));
  });
  return folder;
}

std::string PathSettings::setPath(const std::string& current) {
  std::string folder = BrowseForDirectory();
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder == "\\" ? current : folder;
}

void PathSettings::pickFolder(PathBox box) {
  std::string folder = setPath(model_.box(box));
  editBox(box, folder);
  switch (box) {
    case kIEHistory:
    case kIECache:
    case kIECookies: saveIE(); break;
    case kNetscapeUsers:
    case kNetscapeCache: saveNetscape(); break;
    case kOperaUser:
    case kOperaCache: saveOpera(); break;
    case kWinHistory:
    case kWinTemp:
    case kWinDownloaded: saveWindows(); break;
    case kPathBoxCount: break;
  }
}

void PathSettings::editBox(PathBox box, const std::string& text) {
  if (box == kNetscapeUsers)
    detection_.setUsersBox(text);
  else
    model_.box(box) = text;
}

void PathSettings::typeUser(const std::string& text) {
  model_.userText = text;
  // Typed text selects the entry it names, or none.
  model_.userSelected = -1;
  for (std::size_t i = 0; i < model_.users.size(); ++i)
    if (model_.users[i] == text) model_.userSelected = static_cast<int>(i);
  saveNetscape();
}

void PathSettings::selectUser(int position) {
  if (position >= 0 && static_cast<std::size_t>(position) < model_.users.size()) model_.selectUser(position);
}

void PathSettings::fixPath(const std::string& storedUserPosition) {
  Trap trap(session_.log, "fixPath");
  // A value never stored is no folder: it shows, and counts, as unknown. A stored folder
  // stays as it is, also one that may not be a location (stored by hand or by an older
  // version): the cleaners refuse it and say so in the log, and the ticks that go with it
  // are kept. Existence and the policy are the next Save's business.
  auto put = [&](PathBox box, std::string& value) {
    if (value.empty()) value = kMissing;
    model_.box(box) = value;
  };
  trap.checkpoint();
  trap.run([&] {
    put(kIEHistory, paths_.ie1);
    put(kIECache, paths_.ie2);
    put(kIECookies, paths_.ie3);
    put(kNetscapeUsers, paths_.netscape1A);
    put(kNetscapeCache, paths_.netscape2);
  });
  trap.checkpoint();
  trap.run([&] { detection_.fillUserCombo(paths_.netscape1A); });
  trap.checkpoint();
  trap.run([&] {
    if (model_.userSelected < 0) return;
    long position = toInteger(storedUserPosition);
    if (position < 0 || position >= static_cast<long>(model_.users.size()))
      throw Failure(kInvalidPropertyValue, "Invalid property value");
    model_.selectUser(static_cast<int>(position));
  });
  trap.checkpoint();
  trap.run([&] {
    put(kOperaUser, paths_.opera1);
    put(kOperaCache, paths_.opera2);
    put(kWinHistory, paths_.win1);
    put(kWinTemp, paths_.win2);
    put(kWinDownloaded, paths_.win3);
  });
  trap.checkpoint();
  trap.run([&] {
    applyNetscape();
    applyOpera();
    applyIE();
    applyWindows();
  });
}

}  // namespace trwk
