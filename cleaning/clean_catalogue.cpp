#include "cleaning/clean_catalogue.h"

#include "foundation/convert.h"
#include "foundation/registry_layer.h"
#include "foundation/trap.h"
#include "platform/failure.h"

namespace trwk {
namespace {

struct ItemDefinition {
  Family family;
  const char* label;
};

constexpr ItemDefinition kItems[25] = {
    {Family::InternetExplorer, "Internet Explorer Cache (Using Control Panel)"},
    {Family::InternetExplorer, "Internet Explorer History (Using Control Panel)"},
    {Family::InternetExplorer, "Internet Explorer Cookies"},
    {Family::InternetExplorer, "Internet Explorer Address Bar"},
    {Family::InternetExplorer, "Internet Explorer Locked Files (index.dat, mxxx.dat)"},
    {Family::Netscape, "Netscape Cache"},
    {Family::Netscape, "Netscape History"},
    {Family::Netscape, "Netscape Cookies"},
    {Family::Netscape, "Netscape Address Bar"},
    {Family::Opera, "Opera Cache"},
    {Family::Opera, "Opera History"},
    {Family::Opera, "Opera Cookies"},
    {Family::Opera, "Opera Address Bar"},
    {Family::Windows, "Windows Doc History"},
    {Family::Windows, "Downloaded Program Files Directory"},
    {Family::Windows, "Windows Temporary Files Directory"},
    {Family::Windows, "Recycle Bin"},
    {Family::Windows, "*.chk, Scandisc Files"},
    {Family::Windows, "Windows Run History"},
    {Family::Windows, "Windows Search History"},
    {Family::Windows, "Additional Garbage"},
    {Family::UserDefined, "User defined files"},
    {Family::UserDefined, "User.def 2"},
    {Family::UserDefined, "User.def 3"},
    {Family::UserDefined, "User.def 4"},
};

constexpr const char* kNotices[3] = {
    "You dont have Internet Explorer installed or have specified incorrect paths",
    "You dont have Netscape installed or have specified incorrect paths",
    "You dont have Opera installed or have specified incorrect paths",
};

constexpr const char* kSafetyTexts[5] = {
    "Safety level 1, recommended for normal use, removing files.",
    "Safety level 2, overwriting each file one time with random characters. This will make "
    "the cleaning process slower",
    "Safety level 3, overwriting each file three times with random characters. This will make "
    "the cleaning process slower",
    "Safety level 4, overwriting each file five times with random characters. This will make "
    "the cleaning process slower",
    "Safety level 5, overwriting each file seven times with random characters. This will make "
    "the cleaning process slower",
};

constexpr int kFirstUserDefItem = 22;

// A stored item state: "0" or "1". Anything else cannot be a check box's value.
bool itemState(const std::string& text) {
  switch (toInteger(text)) {
    case 0: return false;
    case 1: return true;
    default: throw Failure(380, "Invalid property value");
  }
}

void checkIndex(int index) {
  if (index < 0 || index > 3) throw Failure(fail::kSubscript);
}

}  // namespace

CleanCatalogue::CleanCatalogue() {
  int position = 0;
  for (int i = 0; i < 25; ++i) {
    if (i > 0 && kItems[i].family != kItems[i - 1].family) position = 0;
    items_[static_cast<std::size_t>(i)] = CleanItem{i + 1,
                                                    kItems[i].family,
                                                    position++,
                                                    kItems[i].label,
                                                    false,
                                                    true,
                                                    i + 1 == 21 ? kAdditionalGarbageHelp : ""};
  }
  for (std::size_t b = 0; b < browsers.size(); ++b) browsers[b].notice = kNotices[b];
  fixSliderSettings();
}

CleanItem& CleanCatalogue::item(int number) {
  if (number < 1 || number > 25) throw Failure(fail::kSubscript);
  return items_[static_cast<std::size_t>(number - 1)];
}

const CleanItem& CleanCatalogue::item(int number) const {
  if (number < 1 || number > 25) throw Failure(fail::kSubscript);
  return items_[static_cast<std::size_t>(number - 1)];
}

void CleanCatalogue::fixCleanInfo(Session& session) {
  const std::string ini = session.maintenIni();
  for (CleanItem& it : items_) {
    // One log line per unreadable item; the item stays clear and the next is read.
    Trap trap(session.log, "fixCleanInfo");
    if (!trap.run([&] {
          it.ticked = itemState(session.settings.getini("Rensa", "Value" + std::to_string(it.number), ini));
        }))
      it.ticked = false;
  }
}

void CleanCatalogue::saveStates(Session& session) {
  const std::string ini = session.maintenIni();
  for (const CleanItem& it : items_)
    session.settings.AddToini("Rensa", "Value" + std::to_string(it.number), it.ticked ? "1" : "0", ini);
}

void CleanCatalogue::fixCheckboxes(int familyCode, ProgressBar& progress) {
  progress.value = 0;
  int counter = 0;
  // The items are held in family order, each family in position order.
  for (CleanItem& it : items_) {
    if (familyCode != kAllFamilies && static_cast<int>(it.family) != familyCode) continue;
    if (!it.enabled) it.ticked = false;
    if (it.ticked) ++counter;
  }
  if (counter > 0) progress.max = counter;
}

namespace {

void setFamilyEnabled(std::array<CleanItem, 25>& items, FamilyPresence& presence, Family family, bool on) {
  for (CleanItem& it : items)
    if (it.family == family) it.enabled = on;
  presence.toolbarVisible = on;
  presence.noticeVisible = !on;
}

}  // namespace

void CleanCatalogue::disableIE() {
  setFamilyEnabled(items_, browsers[0], Family::InternetExplorer, false);
}
void CleanCatalogue::enableIE() {
  setFamilyEnabled(items_, browsers[0], Family::InternetExplorer, true);
}
void CleanCatalogue::disableNetscape() {
  setFamilyEnabled(items_, browsers[1], Family::Netscape, false);
}
void CleanCatalogue::enableNetscape() {
  setFamilyEnabled(items_, browsers[1], Family::Netscape, true);
}
void CleanCatalogue::disableOpera() {
  setFamilyEnabled(items_, browsers[2], Family::Opera, false);
}
void CleanCatalogue::enableOpera() {
  setFamilyEnabled(items_, browsers[2], Family::Opera, true);
}
void CleanCatalogue::disableWinTemp() {
  item(16).enabled = false;
}
void CleanCatalogue::enableWinTemp() {
  item(16).enabled = true;
}
void CleanCatalogue::disableWinDownloaded() {
  item(15).enabled = false;
}
void CleanCatalogue::enableWinDownloaded() {
  item(15).enabled = true;
}

void CleanCatalogue::checkActiveTabs() {
  for (std::size_t i = 0; i < tabFlags.size(); ++i) {
    tabEnabled[i] = toBoolean(tabFlags[i]);
    tabBoxes[i] = toInteger(tabFlags[i]) != 0;
  }
}

void CleanCatalogue::readRulesTab(const std::string& flag) {
  try {
    rulesTab = toBoolean(flag);
  } catch (const Failure&) {
    rulesTab = false;
  }
}

void CleanCatalogue::setRulesTabActivation(Session& session, bool on) {
  rulesTab = on;
  session.settings.AddToini("Tab", kRulesTabKey, on ? "1" : "0", session.maintenIni());
}

void CleanCatalogue::setTabActivation(Session& session, int index, bool on) {
  checkIndex(index);
  const auto i = static_cast<std::size_t>(index);
  tabFlags[i] = std::string(1, on ? '1' : '0');
  tabBoxes[i] = on;
  session.settings.AddToini("Tab", kTabKeys[i], tabFlags[i], session.maintenIni());
  checkActiveTabs();
}

namespace {

void applyUserDef(CleanCatalogue& catalogue, std::size_t set, bool on) {
  catalogue.userDefNameEnabled[set] = on;
  CleanItem& it = catalogue.item(kFirstUserDefItem + static_cast<int>(set));
  it.enabled = on;
  it.label = catalogue.userDefNames[set];
  if (catalogue.onUserDefChanged) catalogue.onUserDefChanged();
}

}  // namespace

void CleanCatalogue::checkUserdef() {
  for (std::size_t k = 0; k < userDefFlags.size(); ++k) applyUserDef(*this, k, toBoolean(userDefFlags[k]));
}

void CleanCatalogue::setUserDefActivation(Session& session, int set, bool on) {
  checkIndex(set);
  const auto k = static_cast<std::size_t>(set);
  userDefFlags[k] = std::string(1, on ? '1' : '0');
  session.settings.AddToini("UserDef", "UDvalue" + std::to_string(set + 1), userDefFlags[k],
                            session.maintenIni());
  applyUserDef(*this, k, on);
}

void CleanCatalogue::setUserDefName(Session& session, int set, const std::string& name) {
  checkIndex(set);
  const auto k = static_cast<std::size_t>(set);
  userDefNames[k] = name;
  session.settings.AddToini("UserDef", "UDname" + std::to_string(set + 1), name, session.maintenIni());
  item(kFirstUserDefItem + set).label = name;
  if (onUserDefChanged) onUserDefChanged();
}

void CleanCatalogue::fixSliderSettings() {
  const int level = sliderPosition >= 1 && sliderPosition <= 4 ? sliderPosition : 5;
  safetyLevel = std::to_string(level);
  safetyLabel = kSafetyTexts[level - 1];
}

void CleanCatalogue::setAutoStart(Session& session, bool on) {
  autoStart = on;
  constexpr const char* kRunSubkey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  RegistryLayer registry(session.platform.registry, session.platform.ui);
  if (on) {
    // The layer sets values only under an existing key, and a profile may lack the Run
    // key; without it the box would look ticked while nothing starts with Windows.
    session.platform.registry.createKey(RootKey::CurrentUser, kRunSubkey);
    registry.setStringValue(kRunKey, kRunValue, session.inFolder("trwk6.exe"));
  } else {
    registry.deleteValue(RootKey::CurrentUser, kRunSubkey, kRunValue);
  }
}

}  // namespace trwk
