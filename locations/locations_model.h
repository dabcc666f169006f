#pragma once
// The Path tab: one text box per folder the cleaners work on, the Netscape "User" list,
// and the flags that say which folders are known. Detection fills the boxes; the Saves
// validate and store them; fixPath loads the stored values back at start-up.
#include <array>
#include <string>
#include <vector>

namespace trwk {

// The ten path boxes, in the tab's order; each has a folder-pick button beside it.
enum PathBox {
  kIEHistory,      // "Internet Explorer History", IE1
  kIECache,        // "Internet Explorer Cache", IE2
  kIECookies,      // "Internet Explorer Cookies", IE3
  kNetscapeUsers,  // "Netscape Profile Directory", Netscape1A
  kNetscapeCache,  // "Netscape Cache", Netscape2
  kOperaUser,      // "Opera User Directory", Opera1
  kOperaCache,     // "Opera Cache", Opera2
  kWinHistory,     // "Windows Document History", Win1
  kWinTemp,        // "Windows Temporary Files", Win2
  kWinDownloaded,  // "Downloaded Program Files Directory", Win3
  kPathBoxCount
};

// The "Save" of each family, run by findPath after each detection. The path settings
// implement it.
class PathSaves {
 public:
  virtual ~PathSaves() = default;
  virtual void saveIE() = 0;
  virtual void saveNetscape() = 0;
  virtual void saveOpera() = 0;
  virtual void saveWindows() = 0;
};

struct LocationsModel {
  // What a box shows before any value has been put into it (Windows-1252 text).
  static constexpr const char* kNotFoundYet = "Hittar inte s\xF6kv\xE4gen";
  // Marks a folder that is not known.
  static constexpr const char* kMissing = "-";
  static constexpr const char* kWindowsWarning = "Some Windows path could not be found";

  static constexpr std::array<const char*, kPathBoxCount> kCaptions = {"Internet Explorer History",
                                                                       "Internet Explorer Cache",
                                                                       "Internet Explorer Cookies",
                                                                       "Netscape Profile Directory",
                                                                       "Netscape Cache",
                                                                       "Opera User Directory",
                                                                       "Opera Cache",
                                                                       "Windows Document History",
                                                                       "Windows Temporary Files",
                                                                       "Downloaded Program Files Directory"};
  static constexpr std::array<const char*, kPathBoxCount> kKeys = {
      "IE1", "IE2", "IE3", "Netscape1A", "Netscape2", "Opera1", "Opera2", "Win1", "Win2", "Win3"};

  // Text of each box.
  std::array<std::string, kPathBoxCount> boxes = [] {
    std::array<std::string, kPathBoxCount> texts;
    texts.fill(kNotFoundYet);
    return texts;
  }();
  std::string& box(PathBox which) { return boxes[static_cast<std::size_t>(which)]; }
  const std::string& box(PathBox which) const { return boxes[static_cast<std::size_t>(which)]; }

  // The Netscape "User" list: its entries, the selected position (-1 none) and the text
  // in its edit field, which the user may also type into.
  std::vector<std::string> users;
  int userSelected = -1;
  std::string userText;
  // Selects an entry and shows its name, as picking it from the list does.
  void selectUser(int position) {
    userSelected = position;
    userText = users.at(static_cast<std::size_t>(position));
  }
  void clearUsers() {
    users.clear();
    userSelected = -1;
    userText.clear();
  }

  // Found flags, set by detection (and, for Internet Explorer, by start-up).
  bool ieHistoryFound = false;
  bool ieCacheFound = false;
  bool ieCookiesFound = false;
  bool ieCacheIndexFound = false;  // the cache viewers may open
  bool netscapeCacheFound = false;
  bool operaCacheFound = false;
  bool winTempFound = false;
  bool winDownloadedFound = false;

  // The Internet Explorer cache index folder: the cache folder + "\Content.ie5\", or "-".
  // Written as [Path] IE4 by findPath only.
  std::string ieCacheIndex = kMissing;

  // Availability verdicts of the Saves and fixPath; Clean All skips a browser that is not
  // available.
  bool ieAvailable = false;
  bool netscapeAvailable = false;
  bool operaAvailable = false;

  // "Some Windows path could not be found" under the Windows frame.
  bool windowsWarningVisible = false;

  // Taken once at start-up: the Windows folder and the Program Files folder, each ending
  // in "\", or "-" when the shell does not know them.
  std::string windowsFolder = kMissing;
  std::string programFilesFolder = kMissing;
};

}  // namespace trwk
