// The order in which the main window reads its settings at load and writes them at
// unload, watched through a store that records every key as it reaches mainten.ini.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "shell/main_window_model.h"
#include "shell/shell_test_fakes.h"
#include "testing/fault_files.h"
#include "testing/memory_registry.h"
#include "testing/sandbox.h"

namespace trwk {
namespace {

using Keys = std::vector<std::string>;

// "[Section] key=value" lines of a settings text, in file order.
std::map<std::string, std::string> entries(const std::string& text) {
  std::map<std::string, std::string> out;
  std::istringstream in(text);
  std::string line, section;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line.front() == '[') {
      section = line;
      continue;
    }
    auto eq = line.find('=');
    if (eq != std::string::npos) out[section + " " + line.substr(0, eq)] = line.substr(eq + 1);
  }
  return out;
}

// Forwards to the sandbox's files and notes, for each replacement of mainten.ini, the
// keys whose value it added or changed.
class RecordingStore : public testing::FaultFiles {
 public:
  using FaultFiles::FaultFiles;
  Keys written;
  void replaceAtomically(const std::string& path, const std::string& bytes) override {
    const bool ini = path.size() >= 11 && path.substr(path.size() - 11) == "mainten.ini";
    std::map<std::string, std::string> before;
    if (ini && fileExists(path)) before = entries(readAll(path));
    FaultFiles::replaceAtomically(path, bytes);
    if (!ini) return;
    // A replacement changes one key at a time; the lines keep their file order.
    std::istringstream in(bytes);
    std::string line, section;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty() && line.front() == '[') {
        section = line;
        continue;
      }
      auto eq = line.find('=');
      if (eq == std::string::npos) continue;
      std::string key = section + " " + line.substr(0, eq);
      auto old = before.find(key);
      if (old == before.end() || old->second != line.substr(eq + 1)) written.push_back(key);
    }
  }
};

// A shell that knows the per-user folders and the Windows folder, all inside the sandbox.
class ShellFolders : public testing::FakeDesktop {
 public:
  using FakeDesktop::FakeDesktop;
  std::map<KnownFolder, std::string> known;
  std::optional<std::string> knownFolder(KnownFolder id) override {
    auto it = known.find(id);
    if (it == known.end()) return std::nullopt;
    return it->second;
  }
};

class MainWindowLifecycleTest : public ::testing::Test {
 protected:
  testing::Sandbox box;
  RecordingStore store{box.files()};
  testing::MemoryRegistry reg;
  ShellFolders desktop{box.root()};
  testing::RecordingViews views;
  Session session{{store, reg, desktop, box.clock, box.random, box.ui}, box.root()};

  void load(MainWindowModel& model) {
    views.main = &model;
    model.attach(views);
    model.load();
  }
};

TEST_F(MainWindowLifecycleTest, UnloadWritesEachKeyInTheFixedOrderAndSectionsFollowIt) {
  {
    MainWindowModel model(session);
    load(model);
    store.written.clear();
    model.unload();
  }
  Keys expected;
  for (int n = 1; n <= 25; ++n) expected.push_back("[Rensa] Value" + std::to_string(n));
  for (const char* key : {"Safetylevel", "AutomaticClose", "Autostart"})
    expected.push_back(std::string("[Inst] ") + key);
  for (const char* key : {"Day", "Hour", "Minute", "Clean"})
    expected.push_back(std::string("[Automatic] ") + key);
  expected.push_back("[Statistics] Current");
  for (int row = 1; row <= 4; ++row) {
    expected.push_back("[Statistics] Size" + std::to_string(row));
    expected.push_back("[Statistics] Date" + std::to_string(row));
  }
  EXPECT_EQ(store.written, expected);

  // A file made from nothing has its sections in the order of the writes.
  std::string text = box.readFile("mainten.ini");
  auto rensa = text.find("[Rensa]"), inst = text.find("[Inst]"), automatic = text.find("[Automatic]"),
       statistics = text.find("[Statistics]");
  EXPECT_EQ(rensa, 0u);
  EXPECT_LT(rensa, inst);
  EXPECT_LT(inst, automatic);
  EXPECT_LT(automatic, statistics);
  EXPECT_NE(statistics, std::string::npos);
}

// A logoff or shutdown ends the program without a close: the settings of a run left
// waiting hidden behind its icon must reach the file then, and only then.
TEST_F(MainWindowLifecycleTest, TheEndOfTheSessionWritesTheUnloadKeysOnceAndACalledOffEndNothing) {
  box.writeFile("mainten.ini", "[Inst]\r\nAutomaticClose=1\r\n[Automatic]\r\nMinute=1\r\n");
  MainWindowModel model(session);
  load(model);
  model.setItemTicked(3, true);
  model.setSafetySlider(4);
  model.automatic.clean.choose(2);
  model.scheduler.startStop();
  ASSERT_TRUE(model.scheduler.armed());
  EXPECT_FALSE(model.visible);
  EXPECT_TRUE(model.queryEndSession()) << "an unattended run never holds up a shutdown";

  store.written.clear();
  views.calls.clear();
  model.endSession(false);  // another program called the end off
  EXPECT_TRUE(store.written.empty());
  EXPECT_TRUE(views.calls.empty());
  EXPECT_TRUE(model.scheduler.armed());

  const int replacements = store.calls["replaceAtomically"];
  model.endSession(true);
  EXPECT_FALSE(store.written.empty());
  EXPECT_EQ(store.calls["replaceAtomically"], replacements + 1) << "the unload's keys, in one replacement";
  EXPECT_EQ(views.calls, (Keys{"close others", "close main"}));
  const std::map<std::string, std::string> stored = entries(box.readFile("mainten.ini"));
  EXPECT_EQ(stored.at("[Rensa] Value3"), "1");
  EXPECT_EQ(stored.at("[Inst] Safetylevel"), "4");
  EXPECT_EQ(stored.at("[Inst] AutomaticClose"), "1") << "the stored box, not automatic mode's";
  EXPECT_EQ(stored.at("[Automatic] Minute"), "1");
  EXPECT_EQ(stored.at("[Automatic] Clean"), "2");
  EXPECT_EQ(stored.count("[Statistics] Current"), 1u);

  // Windows may still deliver a close or a second end: nothing is written twice.
  store.written.clear();
  views.calls.clear();
  model.setItemTicked(3, false);
  model.endSession(true);
  model.unload();
  EXPECT_TRUE(store.written.empty());
  EXPECT_TRUE(views.calls.empty());
}

TEST_F(MainWindowLifecycleTest, AutomaticListsAreFilledFirstAndKeepTheirFirstEntryForAnUnfitPosition) {
  box.writeFile("mainten.ini", "[Automatic]\r\nDay=3\r\nHour=24\r\nMinute=x\r\nClean=5\r\n");
  MainWindowModel model(session);
  load(model);
  const AutomaticChoices& a = model.automatic;
  EXPECT_EQ(a.clean.items, (Keys{"All", "IE", "Netscape", "Opera", "User.def", "Plugins"}));
  EXPECT_EQ(a.minute.items, (Keys{"0", "2", "15", "30", "45"}));
  ASSERT_EQ(a.day.items.size(), 31u);
  EXPECT_EQ(a.day.items.back(), "30");
  ASSERT_EQ(a.hour.items.size(), 24u);
  EXPECT_EQ(a.hour.items.back(), "23");
  EXPECT_EQ(a.day.selected, 3);
  EXPECT_EQ(a.hour.selected, 0);    // 24 does not fit
  EXPECT_EQ(a.minute.selected, 0);  // not a number: logged, first entry stays
  EXPECT_EQ(a.clean.selected, 5);
  EXPECT_NE(box.readFile("trwk.log").find("Initialize at line 9 - Type mismatch (13)"), std::string::npos);

  // The choices made on the page go back to the file as positions.
  model.automatic.minute.choose(4);
  model.unload();
  std::string text = box.readFile("mainten.ini");
  EXPECT_NE(text.find("[Automatic]\r\nDay=3\r\nHour=0\r\nMinute=4\r\nClean=5\r\n"), std::string::npos)
      << text;
}

TEST_F(MainWindowLifecycleTest, AFailingSettingsStoreNeverStopsTheWindowFromOpening) {
  box.writeFile("mainten.ini", "[Inst]\r\nShowtip=1\r\n");
  store.fail("readAll", 75);
  MainWindowModel model(session);
  load(model);
  EXPECT_TRUE(model.loaded);
  EXPECT_TRUE(model.visible);
  EXPECT_EQ(views.calls, Keys{"show main"});
  EXPECT_EQ(model.automatic.clean.selected, 0);
}

TEST_F(MainWindowLifecycleTest, DetectZeroDetectsAndStoresEveryPathOnceBeforeTheyAreRead) {
  for (const char* folder :
       {"History", "Cache", "Cookies", "Recent", "win", "win\\Temp", "win\\Downloaded Program Files"})
    box.files().createFolder(box.path(folder));
  box.files().createFolder(box.path("Cache\\Content.ie5"));
  desktop.known = {{KnownFolder::History, box.path("History")},
                   {KnownFolder::InternetCache, box.path("Cache")},
                   {KnownFolder::Cookies, box.path("Cookies")},
                   {KnownFolder::Recent, box.path("Recent")},
                   {KnownFolder::Windows, box.path("win")}};
  box.writeFile("mainten.ini", "[Path]\r\nDetect=0\r\n");
  {
    MainWindowModel model(session);
    load(model);
    // Neither Netscape nor Opera is there: their Saves say so, and only theirs.
    ASSERT_EQ(box.ui.boxes.size(), 2u);
    EXPECT_EQ(box.ui.boxes[0].text.rfind("Could not find Netscape paths.", 0), 0u);
    EXPECT_EQ(box.ui.boxes[1].text.rfind("Could not find Opera paths.", 0), 0u);
    // What was stored is what the window works with.
    EXPECT_EQ(model.paths.ie2, box.path("Cache") + "\\");
    EXPECT_EQ(model.paths.ie4, box.path("Cache") + "\\Content.ie5\\");
    EXPECT_EQ(model.paths.win3, box.path("win") + "\\Downloaded Program Files\\");
    EXPECT_EQ(model.paths.netscape1A, "-");
    EXPECT_TRUE(model.catalogue.item(1).enabled);
    EXPECT_FALSE(model.catalogue.item(6).enabled);
    EXPECT_FALSE(model.catalogue.item(10).enabled);
    EXPECT_TRUE(model.catalogue.browsers[MainWindowModel::kNetscapeBrowser].noticeVisible);
    EXPECT_EQ(model.locations.box(kIECookies), box.path("Cookies") + "\\");
    EXPECT_FALSE(model.locations.windowsWarningVisible);
  }
  const std::string stored = box.readFile("mainten.ini");
  EXPECT_NE(stored.find("Detect=1"), std::string::npos) << stored;
  EXPECT_NE(stored.find("IE4=" + box.path("Cache") + "\\Content.ie5\\"), std::string::npos) << stored;
  EXPECT_NE(stored.find("Opera1=-"), std::string::npos) << stored;

  // The next start reads the stored paths and asks nothing.
  store.written.clear();
  MainWindowModel again(session);
  load(again);
  EXPECT_EQ(box.ui.boxes.size(), 2u);
  EXPECT_TRUE(store.written.empty());
  EXPECT_EQ(again.paths.ie4, box.path("Cache") + "\\Content.ie5\\");
  EXPECT_EQ(again.locations.box(kWinTemp), box.path("win") + "\\Temp\\");
  EXPECT_TRUE(again.locations.ieCacheIndexFound);
}

TEST_F(MainWindowLifecycleTest, AutoDetectToolButtonsDetectThenSave) {
  MainWindowModel model(session);
  load(model);
  box.files().createFolder(box.path("win"));
  box.files().createFolder(box.path("win\\Temp"));
  desktop.known = {{KnownFolder::Windows, box.path("win")}};
  model.detection.takeSystemFolders();
  box.ui.boxes.clear();
  model.autoDetect(MainWindowModel::kDetectWindows);
  // Recent is unknown and the downloads folder missing: one box each, then the warning.
  ASSERT_EQ(box.ui.boxes.size(), 2u);
  EXPECT_EQ(box.ui.boxes[0].text, "Windows Document History path does not exist");
  EXPECT_EQ(box.ui.boxes[1].text, "Windows Downloaded path does not exist");
  EXPECT_NE(box.readFile("mainten.ini").find("Win2=" + box.path("win") + "\\Temp\\"), std::string::npos);
  EXPECT_TRUE(model.catalogue.item(15).enabled || model.locations.winTempFound);
  EXPECT_TRUE(model.locations.windowsWarningVisible);

  // "Auto-detect All": every detection first, then every Save, so four families report.
  box.ui.boxes.clear();
  model.autoDetectAll();
  ASSERT_EQ(box.ui.boxes.size(), 5u);
  EXPECT_EQ(box.ui.boxes[0].text.rfind("Could not find Internet Explorer paths.", 0), 0u);
  EXPECT_EQ(box.ui.boxes[4].text, "Windows Downloaded path does not exist");
}

}  // namespace
}  // namespace trwk
