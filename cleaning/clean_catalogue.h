#pragma once
// The 25 things the user can tick to clean, grouped by family, with the small settings
// that sit beside them: tab activations, the four User.def sets, the safety level and
// start with Windows. Window-free: the main window's views copy this state.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "foundation/session.h"

namespace trwk {

enum class Family { InternetExplorer = 1, Netscape = 2, Opera = 3, Windows = 4, UserDefined = 5 };
inline constexpr int kAllFamilies = 9;

struct CleanItem {
  int number = 0;  // 1..25
  Family family = Family::InternetExplorer;
  int position = 0;  // within its family
  std::string label;
  bool ticked = false;
  bool enabled = true;
  std::string help;  // what the item removes, for its tooltip; empty where the label says it
};

// Item 21, "Additional Garbage": what it removes, for its tooltip and the help.
inline constexpr const char* kAdditionalGarbageHelp =
    "Your own leftovers, never a system folder: files older than a day in your own temporary "
    "folder (when it is not the Windows one), crash dumps (CrashDumps\\*.dmp), the reports "
    "Windows Error Reporting archived or queued for you (WER\\ReportArchive, WER\\ReportQueue) "
    "and Explorer's thumbnail cache (Explorer\\thumbcache_*.db; a cache in use stays until a "
    "later cleaning). The folders are those of your local application data.";

struct ProgressBar {
  int value = 0;
  int max = 100;
  void advance() {
    if (value < max) ++value;
  }
};

// One browser family's greying-out state on the main window.
struct FamilyPresence {
  bool toolbarVisible = true;
  bool noticeVisible = false;  // "You dont have ... installed or have specified incorrect paths"
  std::string notice;
};

class CleanCatalogue {
 public:
  CleanCatalogue();

  CleanItem& item(int number);  // 1..25
  const CleanItem& item(int number) const;
  std::array<CleanItem, 25>& items() { return items_; }

  // Defined by the catalogue's implementation (see clean_catalogue.cpp).
  void fixCleanInfo(Session& session);
  void saveStates(Session& session);  // [Rensa] Value1..25 at exit
  void fixCheckboxes(int familyCode, ProgressBar& progress);
  void disableIE();
  void enableIE();
  void disableNetscape();
  void enableNetscape();
  void disableOpera();
  void enableOpera();
  void disableWinTemp();
  void enableWinTemp();
  void disableWinDownloaded();
  void enableWinDownloaded();

  // Tab activations: each flag read as a truth value enables that family's tab, read as
  // a number it sets the activation box. An unreadable flag throws Failure(13) and leaves
  // that family and the later ones as they were; the caller's trap logs it.
  void checkActiveTabs();
  // A click on "Activate ... Tab" (0 IE, 1 Netscape, 2 Opera, 3 Windows): the flag is
  // stored in [Tab] at once, then the activations are applied (may throw as above).
  void setTabActivation(Session& session, int index, bool on);
  // The four User.def activations and names; an unreadable flag throws Failure(13) and
  // stops there.
  void checkUserdef();
  // A click on set k's "Activate" box (k = 0..3); the flag is stored in [UserDef] at once.
  void setUserDefActivation(Session& session, int set, bool on);
  // An edit of set k's name box: stored in [UserDef] at once and shown on its item.
  void setUserDefName(Session& session, int set, const std::string& name);
  // Slider position 1..4 is that level; any other position is level 5.
  void fixSliderSettings();
  // "Auto-Start on Windows Startup": sets or deletes the "Tarnwick" Run value.
  void setAutoStart(Session& session, bool on);

  static constexpr const char* kTabKeys[4] = {"IE", "Netscape", "Opera", "Windows"};
  // The "Rules" tab ([Tab] Rules) is off until its box is ticked: an absent or unreadable
  // flag leaves it off. Its box stores the flag at once, as the four others do.
  static constexpr const char* kRulesTabKey = "Rules";
  bool rulesTab = false;
  void readRulesTab(const std::string& flag);
  void setRulesTabActivation(Session& session, bool on);
  static constexpr const char* kRunKey =
      "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  static constexpr const char* kRunValue = "Tarnwick";

  std::array<FamilyPresence, 3> browsers;  // Internet Explorer, Netscape, Opera
  // Tab activation flags as stored ("0"/"1"), in the order IE, Netscape, Opera, Windows.
  std::array<std::string, 4> tabFlags;
  std::array<bool, 4> tabEnabled{true, true, true, true};
  std::array<bool, 4> tabBoxes{true, true, true, true};
  // User.def sets 1..4: stored flags ("0"/"1") and names.
  std::array<std::string, 4> userDefFlags;
  std::array<std::string, 4> userDefNames{"User.def 1", "User.def 2", "User.def 3", "User.def 4"};
  std::array<bool, 4> userDefNameEnabled{true, true, true, true};
  // Safety level "1".."5" and the slider's label.
  int sliderPosition = 1;
  std::string safetyLevel = "1";
  std::string safetyLabel;
  bool autoStart = false;
  // Called after a User.def activation changes (the set lists refresh there).
  std::function<void()> onUserDefChanged;

 private:
  std::array<CleanItem, 25> items_;
};

}  // namespace trwk
