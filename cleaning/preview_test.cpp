#include "cleaning/preview.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <tuple>

#include "cleaning/cleaning_test_fixture.h"
#include "cleaning/netscape_cleaner.h"
#include "cleaning/opera_cleaner.h"
#include "cleaning/removal.h"
#include "cleaning/run_completion.h"
#include "cleaning/windows_cleaner.h"

namespace trwk {
namespace {

constexpr const char* kRunMru = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";

// The recycle bin of a test: counted, never the real one.
class BinDesktop : public Desktop {
 public:
  explicit BinDesktop(Desktop& inner) : inner_(inner) {}
  std::optional<std::string> knownFolder(KnownFolder id) override { return inner_.knownFolder(id); }
  std::string programFolder() override { return inner_.programFolder(); }
  bool startProgram(const std::string&, const std::string&) override { return false; }
  bool emptyRecycleBin() override {
    ++empties;
    return true;
  }
  std::optional<RecycleBinContent> recycleBinContent() override { return content; }
  int empties = 0;
  std::optional<RecycleBinContent> content;

 private:
  Desktop& inner_;
};

// Every file below a folder with its bytes and time, and every folder.
using Snapshot = std::map<std::string, std::tuple<std::string, std::optional<FileTime>>>;

void snap(Files& files, const std::string& folder, Snapshot& out) {
  for (const DirEntry& e : files.list(folder + "\\*", {true, true, true})) {
    const std::string path = folder + "\\" + e.name;
    if (e.isFolder && !e.isLink) {
      out[path + "\\"] = {};
      snap(files, path, out);
    } else {
      out[path] = {files.readAll(path), files.lastWriteTime(path)};
    }
  }
}

// "item kind relative-path size" of every planned entry.
std::set<std::string> lines(const Plan& plan, const std::string& root) {
  std::set<std::string> out;
  for (const PlanEntry& e : plan.entries()) {
    std::string path = e.path.rfind(root, 0) == 0 ? e.path.substr(root.size() + 1) : e.path;
    out.insert(std::to_string(plan.groups()[e.group].item) + " " + kindName(e.kind) + " " + path + " " +
               std::to_string(e.size));
  }
  return out;
}

class PreviewTest : public testing::CleaningTest {
 protected:
  BinDesktop desktop{box.desktop()};
  Session binSession{{files, registry, desktop, box.clock, box.random, box.ui}, box.root()};
  CleaningContext bin{binSession, catalogue, state, paths, keep};

  void SetUp() override {
    // Windows: document history, downloaded programs, the recycle bin, the Run history.
    box.writeFile("Recent\\a.lnk", "abc");
    box.writeFile("Recent\\b.lnk", "abcd");
    box.writeFile("Recent\\sub\\stays.txt", "files only");
    box.writeFile("Downloaded\\x.ocx", "12345");
    box.writeFile("Downloaded\\pkg\\inf.inf", "ab");
    paths.win1 = box.path("Recent") + "\\";
    paths.win3 = box.path("Downloaded") + "\\";
    registry.put(RootKey::CurrentUser, kRunMru, "a", {ValueType::String, "cmd\\1"});
    registry.put(RootKey::CurrentUser, kRunMru, "b", {ValueType::String, "regedit\\1"});
    // Opera: cache, history with the clean layout beside the program, cookies, address bar.
    box.writeFile("Opera\\Cache4\\o1.htm", "<html>");
    box.writeFile("Opera\\opera.win", "layout");
    box.writeFile("Opera\\global.dat", "history");
    box.writeFile("Opera\\cookies4.dat", "cookies!");
    box.writeFile("Opera\\opera.dir", "dir");
    box.writeFile("opera.win", "clean");
    box.writeFile("ow.chx", "0");
    paths.opera1 = box.path("Opera") + "\\";
    paths.opera2 = box.path("Opera\\Cache4") + "\\";
    // Netscape: cookies replaced by the keep list, typed addresses out of prefs.js.
    box.writeFile("NS\\default\\cookies.txt", "all cookies");
    box.writeFile("NS\\default\\prefs.js",
                  "user_pref(\"a\", 1);\r\nuser_pref(\"browser.url_history.URL_1\", \"x\");\r\n");
    box.writeFile("NS\\Cache\\n1.htm", "n");
    box.writeFile("cookies2.lst", "kept");
    paths.netscape1A = box.path("NS") + "\\";
    paths.netscape1C = "default";
    paths.netscape2 = box.path("NS\\Cache") + "\\";
    for (int n : {8, 9, 10, 11, 12, 13, 14, 15, 17, 19}) catalogue.item(n).ticked = true;
    catalogue.safetyLevel = "2";  // one overwrite pass over a cookie store
  }

  Snapshot snapshot() {
    Snapshot s;
    snap(box.files(), box.root(), s);
    return s;
  }
};

TEST_F(PreviewTest, APreviewChangesNothingAndPlansWhatTheCleaningThenRemoves) {
  const std::set<std::string> windows{
      "14 file Recent\\a.lnk 3",
      "14 file Recent\\b.lnk 4",
      "15 file Downloaded\\x.ocx 5",
      "15 file Downloaded\\pkg\\inf.inf 2",
      "15 folder Downloaded\\pkg 0",
      "17 recycle bin Recycle Bin 0",
      "19 registry value HKEY_CURRENT_USER\\" + std::string(kRunMru) + "\\a 5",
      "19 registry value HKEY_CURRENT_USER\\" + std::string(kRunMru) + "\\b 9"};
  const std::set<std::string> opera{"10 file Opera\\Cache4\\o1.htm 6", "11 file Opera\\opera.win 6",
                                    "11 file Opera\\global.dat 7",     "11 rewrite Opera\\opera.win 0",
                                    "12 file Opera\\cookies4.dat 8",   "13 file Opera\\opera.dir 3"};
  const std::set<std::string> netscape{"8 file NS\\default\\cookies.txt 11",
                                       "8 rewrite NS\\default\\cookies.txt 0",
                                       "9 rewrite NS\\default\\prefs.js 66"};
  std::set<std::string> all = windows;
  all.insert(opera.begin(), opera.end());
  all.insert(netscape.begin(), netscape.end());
  const struct {
    const char* family;
    FamilyCleaner cleaner;
    std::set<std::string> planned;
  } cases[] = {{"Windows", cleanWindows, windows},
               {"Opera", cleanOpera, opera},
               {"Netscape", cleanNetscape, netscape},
               {"all", cleanAll, all}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.family);
    const Snapshot before = snapshot();
    const int writes = registry.writes;
    const CleanCatalogue ticks = catalogue;
    Plan plan = previewCleaning(bin, c.cleaner);
    EXPECT_EQ(lines(plan, box.root()), c.planned);
    EXPECT_EQ(snapshot(), before) << "every file's bytes and time, mainten.ini and trwk.log stay";
    EXPECT_EQ(registry.writes, writes);
    EXPECT_EQ(desktop.empties, 0);
    EXPECT_EQ(state.progress.value, 0) << "the main window's progress bar stays as it was";
    EXPECT_TRUE(box.ui.boxes.empty()) << "a preview shows no box";
    for (int n = 1; n <= 25; ++n) EXPECT_EQ(catalogue.item(n).ticked, ticks.item(n).ticked);
    EXPECT_EQ(plan.groups().front().family, c.family == std::string("all") ? "Netscape" : c.family);
  }
  // Cleaning as usual removes what the preview of everything showed, item by item.
  Plan plan = previewCleaning(bin, cleanAll);
  RunReport report = cleanCounted(bin, cleanAll);
  ASSERT_EQ(report.groups().size(), plan.groups().size());
  for (std::size_t g = 0; g < plan.groups().size(); ++g) {
    SCOPED_TRACE(plan.groups()[g].label);
    EXPECT_EQ(report.groups()[g].item, plan.groups()[g].item);
    EXPECT_EQ(report.groups()[g].totals, plan.groups()[g].totals);
  }
  EXPECT_EQ(report.overall().bytes, 3u + 4 + 5 + 2 + 6 + 6 + 7 + 8 + 3 + 11 + (66 - 20));
  EXPECT_EQ(report.overall().failed, 0u) << log();
  EXPECT_FALSE(box.files().fileExists(box.path("Recent\\a.lnk")));
  EXPECT_EQ(box.readFile("Opera\\opera.win"), "clean");
  EXPECT_EQ(desktop.empties, 1);
}

TEST_F(PreviewTest, CleaningFromAPlanRemovesExactlyItsEntriesAndReportsWhatChanged) {
  Plan plan = previewCleaning(bin, cleanWindows);
  box.writeFile("Recent\\late.lnk", "new");               // appeared after the preview
  box.writeFile("Recent\\b.lnk", "grown since");          // changed
  box.files().deleteFile(box.path("Downloaded\\x.ocx"));  // went
  box.writeFile("Downloaded\\pkg\\late.txt", "new");      // keeps its folder
  registry.put(RootKey::CurrentUser, kRunMru, "c", {ValueType::String, "new"});

  RunReport report = cleanPlanned(bin, cleanWindows, plan);

  EXPECT_FALSE(box.files().fileExists(box.path("Recent\\a.lnk")));
  EXPECT_FALSE(box.files().fileExists(box.path("Downloaded\\pkg\\inf.inf")));
  EXPECT_TRUE(box.files().fileExists(box.path("Recent\\late.lnk")));
  EXPECT_EQ(box.readFile("Recent\\b.lnk"), "grown since");
  EXPECT_TRUE(box.files().fileExists(box.path("Downloaded\\pkg\\late.txt")));
  RegValue value;
  EXPECT_EQ(registry.queryValue(RootKey::CurrentUser, kRunMru, "c", value), regstatus::kSuccess);
  EXPECT_NE(registry.queryValue(RootKey::CurrentUser, kRunMru, "a", value), regstatus::kSuccess);

  std::map<std::string, std::string> skipped;
  for (const SkippedEntry& s : report.skipped) skipped[s.entry.path.substr(box.root().size() + 1)] = s.why;
  EXPECT_EQ(skipped, (std::map<std::string, std::string>{
                         {"Recent\\b.lnk", "changed since the preview"},
                         {"Downloaded\\x.ocx", "no longer there, or not reached"},
                         {"Downloaded\\pkg", "kept: it went, or something new is in it"}}));
  ItemTotals history = report.groups()[0].totals;
  EXPECT_EQ(report.groups()[0].item, 14);
  EXPECT_EQ(history.files, 1u);
  EXPECT_EQ(history.bytes, 3u);
  EXPECT_EQ(history.skipped, 1u);
  EXPECT_EQ(report.overall().registryValues, 2u);
  EXPECT_EQ(report.overall().recycleBins, 1u);
  EXPECT_EQ(state.progress.value, 4) << "the run moves the progress bar as a clean button does";
}

#ifndef _WIN32
// A folder the preview did not plan (something in it could not go then) stays when a
// cleaning from the plan finds it empty: the walk asks nobody about its own folder.
TEST_F(PreviewTest, ATreeWhoseFolderWasNotPlannedKeepsItsFolder) {
  box.writeFile("T\\a.txt", "abc");
  const std::string odd = box.hostRoot() + "/drive_c/sandbox/T/odd\xff";  // no Windows form
  { std::ofstream(odd) << "x"; }
  FamilyCleaner tree = [&](CleaningContext& c) {
    c.state.runningFamily = "Tree";
    Removal(c.session).deleteTree(box.path("T"), OnError::KeepGoing);
  };
  Plan plan = previewCleaning(bin, tree);
  ASSERT_NE(plan.find(box.path("T\\a.txt"), PlanKind::File), Plan::npos);
  ASSERT_EQ(plan.find(box.path("T"), PlanKind::Folder), Plan::npos);
  std::remove(odd.c_str());
  cleanPlanned(bin, tree, plan);
  EXPECT_FALSE(box.files().fileExists(box.path("T\\a.txt")));
  EXPECT_TRUE(box.files().folderExists(box.path("T")));
}
#endif

TEST_F(PreviewTest, TheRecycleBinIsPlannedWithItsBytesAndLeftFullWhenItChangedSince) {
  auto binEntry = [](const Plan& plan) -> const PlanEntry* {
    std::size_t at = plan.find("Recycle Bin", PlanKind::RecycleBin);
    return at == Plan::npos ? nullptr : &plan.entries()[at];
  };
  desktop.content = RecycleBinContent{2, 40};
  Plan plan = previewCleaning(bin, cleanWindows);
  ASSERT_NE(binEntry(plan), nullptr);
  EXPECT_EQ(binEntry(plan)->size, 40u);

  desktop.content = RecycleBinContent{3, 52};  // something more was thrown away meanwhile
  RunReport report = cleanPlanned(bin, cleanWindows, plan);
  EXPECT_EQ(desktop.empties, 0);
  ASSERT_EQ(report.skipped.size(), 1u);
  EXPECT_EQ(report.skipped[0].entry.path, "Recycle Bin");
  EXPECT_EQ(report.skipped[0].why, "changed since the preview");

  plan = previewCleaning(bin, cleanWindows);
  report = cleanPlanned(bin, cleanWindows, plan);
  EXPECT_EQ(desktop.empties, 1);
  EXPECT_EQ(report.overall().recycleBins, 1u);
  for (const PlanGroup& g : report.groups()) {
    if (g.item == 17) {
      EXPECT_EQ(g.totals.bytes, 52u) << "the bin's files count as bytes freed";
    }
  }
}

TEST_F(PreviewTest, APlannedCookieStoreIsStillOverwrittenButOneChangedSinceIsLeftWhole) {
  Plan plan = previewCleaning(bin, cleanOpera);
  RunReport report = cleanPlanned(bin, cleanOpera, plan);
  EXPECT_EQ(files.calls["overwriteInPlace"], 1);
  EXPECT_FALSE(box.files().fileExists(box.path("Opera\\cookies4.dat")));
  EXPECT_TRUE(report.skipped.empty());

  box.writeFile("Opera\\cookies4.dat", "cookies!");
  plan = previewCleaning(bin, cleanOpera);
  box.writeFile("Opera\\cookies4.dat", "a new cookie");
  report = cleanPlanned(bin, cleanOpera, plan);
  EXPECT_EQ(files.calls["overwriteInPlace"], 1);
  EXPECT_EQ(box.readFile("Opera\\cookies4.dat"), "a new cookie");
  ASSERT_EQ(report.skipped.size(), 1u);
  EXPECT_EQ(report.skipped[0].why, "changed since the preview");
}

TEST_F(PreviewTest, AFailedStepCountsAgainstTheItemThatRan) {
  files.fail("deleteFile", fail::kPermissionDenied);
  RunReport report = cleanCounted(bin, cleanOpera);
  std::map<int, std::uint64_t> failed;
  for (const PlanGroup& g : report.groups()) failed[g.item] = g.totals.failed;
  // Every Opera item removes something, and each removal fails once: the walk over the
  // cache as much as the single files.
  for (int item : {10, 11, 12, 13}) EXPECT_GE(failed[item], 1u) << item;
  EXPECT_EQ(report.overall().failed, failed[10] + failed[11] + failed[12] + failed[13]);
  EXPECT_EQ(report.overall().files, 0u);
  EXPECT_NE(log().find("cmdCleanOpera"), std::string::npos);
}

TEST(PlanTest, EntriesAreFoundWithoutRegardToCaseAndPlannedOnce) {
  Plan plan;
  std::uint16_t g = plan.indexOf(14, "Windows Doc History", "Windows");
  EXPECT_TRUE(plan.add({"C:\\Dir\\Sub", 0, 0, PlanKind::Folder, g}));
  EXPECT_TRUE(plan.add({"C:\\Dir\\a.txt", 10, 0, PlanKind::File, g}));
  EXPECT_TRUE(plan.add({"C:\\Dir\\link", 0, 0, PlanKind::Link, g}));
  EXPECT_TRUE(plan.add({"C:\\Dir\\prefs.js", 100, 40, PlanKind::Rewrite, g}));
  EXPECT_FALSE(plan.add({"c:\\dir\\A.TXT", 10, 0, PlanKind::File, g})) << "one path, planned once";
  EXPECT_TRUE(plan.add({"C:\\Dir\\a.txt", 10, 12, PlanKind::Rewrite, g})) << "deleted, then written anew";
  const struct {
    const char* path;
    PlanKind kind;
    bool found;
  } cases[] = {{"c:\\DIR\\sub\\", PlanKind::Folder, true},   {"C:\\Dir\\Sub", PlanKind::File, false},
               {"C:\\Dir\\LINK", PlanKind::File, true},      {"C:\\Dir\\link", PlanKind::Folder, false},
               {"C:\\Dir\\prefs.js", PlanKind::File, false}, {"C:\\Dir\\PREFS.JS", PlanKind::Rewrite, true},
               {"C:\\Dir\\b.txt", PlanKind::File, false}};
  for (const auto& c : cases) EXPECT_EQ(plan.find(c.path, c.kind) != Plan::npos, c.found) << c.path;
  EXPECT_TRUE(plan.insideRemovedFolder("C:\\dir\\sub\\deeper\\x.txt"));
  EXPECT_FALSE(plan.insideRemovedFolder("C:\\dir\\subway\\x.txt"));
  ItemTotals totals = plan.overall();
  EXPECT_EQ(totals.files, 1u);
  EXPECT_EQ(totals.rewrites, 2u);
  EXPECT_EQ(totals.bytes, 10u + 60u) << "a rewrite frees what it makes shorter, never less than nothing";
  EXPECT_EQ(totals.entries(), 5u);
}

}  // namespace
}  // namespace trwk
