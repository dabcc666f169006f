#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/failure.h"
#include "testing/fault_files.h"
#include "testing/sandbox.h"
#include "viewers/viewer_catalogue.h"
#include "viewers/viewer_sources.h"

namespace trwk {
namespace {

class ViewerTest : public ::testing::Test {
 protected:
  testing::Sandbox box;
  testing::FaultFiles files{box.files()};
  Session session{{files, box.registry(), box.desktop(), box.clock, box.random, box.ui}, box.root()};
  ViewerPlaces places;

  std::string log() { return files.fileExists(session.log.path()) ? files.readAll(session.log.path()) : ""; }

  // The cell of every row in one column, in the order shown.
  static std::vector<std::string> column(const ListViewerModel& viewer, std::size_t c) {
    std::vector<std::string> cells;
    for (const ViewerRow& row : viewer.rows) cells.push_back(row.cells.at(c));
    return cells;
  }
  static int rowOf(const ListViewerModel& viewer, std::size_t c, const std::string& text) {
    for (std::size_t i = 0; i < viewer.rows.size(); ++i)
      if (viewer.rows[i].cells.at(c) == text) return static_cast<int>(i);
    return -1;
  }
  // Highlights the rows whose first-column text is one of names and removes them.
  static void removeNamed(ListViewerModel& viewer, std::size_t c, const std::vector<std::string>& names) {
    std::vector<int> positions;
    for (const std::string& name : names) positions.push_back(rowOf(viewer, c, name));
    viewer.highlight(positions);
    viewer.removeHighlighted();
  }
  std::unique_ptr<ListViewerModel> openCache() {
    box.writeFile("Cache\\index.dat", "index");
    box.writeFile("Cache\\b.gif", std::string(3000, 'b'));
    box.writeFile("Cache\\A.htm", "a");
    box.writeFile("Cache\\X1Y2\\c.js", std::string(5000, 'c'));
    places.paths.ie4 = box.path("Cache") + "\\";
    places.ieCacheIndexFound = true;
    auto viewer = makeViewer(ViewerKind::IeCache, session, places);
    EXPECT_TRUE(viewer->open());
    return viewer;
  }
};

TEST_F(ViewerTest, CacheViewerListsFilesOfSubFoldersByNameAndRemovesExactlyTheHighlighted) {
  auto viewer = openCache();
  EXPECT_EQ(viewer->caption, "Internet Explorer Cache");
  EXPECT_EQ(column(*viewer, 0), (std::vector<std::string>{"A.htm", "b.gif", "c.js", "index.dat"}));
  EXPECT_EQ(column(*viewer, 1), (std::vector<std::string>{"1 KB", "3 KB", "5 KB", "1 KB"}));
  EXPECT_EQ(column(*viewer, 3), (std::vector<std::string>{"", "", "X1Y2", ""}));
  // "YYYY-MM-DD hh:mm", from the listing itself: a file written just now.
  EXPECT_EQ(viewer->rows[0].cells[2].size(), 16u);
  EXPECT_GE(viewer->rows[0].cells[2], "2020-01-01 00:00") << "no time listed";
  EXPECT_EQ(viewer->summary, "4 entries, 8 KB");
  EXPECT_FALSE(viewer->removeEnabled());

  // The index is listed but never removed here; the answer "No" removes nothing.
  viewer->highlight({rowOf(*viewer, 0, "b.gif"), rowOf(*viewer, 0, "c.js"), rowOf(*viewer, 0, "index.dat")});
  EXPECT_TRUE(viewer->removeEnabled());
  EXPECT_EQ(viewer->summary, "4 entries, 8 KB; 3 highlighted");
  box.ui.answer(Answer::No);
  viewer->removeHighlighted();
  EXPECT_EQ(viewer->rows.size(), 4u);
  EXPECT_TRUE(files.fileExists(box.path("Cache\\b.gif")));

  box.ui.answer(Answer::Yes);
  viewer->removeHighlighted();
  EXPECT_EQ(box.ui.boxes.back().text, "Remove the 2 highlighted entries?");
  EXPECT_EQ(column(*viewer, 0), (std::vector<std::string>{"A.htm", "index.dat"}));
  EXPECT_FALSE(files.fileExists(box.path("Cache\\b.gif")));
  EXPECT_FALSE(files.fileExists(box.path("Cache\\X1Y2\\c.js")));
  EXPECT_TRUE(files.folderExists(box.path("Cache\\X1Y2")));
  EXPECT_TRUE(files.fileExists(box.path("Cache\\index.dat")));
  EXPECT_FALSE(viewer->removeEnabled());  // the list was read again, nothing highlighted
}

TEST_F(ViewerTest, ColumnClicksSortAndTurnTheOrderRoundWithTheHighlightsFollowing) {
  auto viewer = openCache();
  viewer->highlight({rowOf(*viewer, 0, "c.js")});
  viewer->clickColumn(1);  // by size, as numbers
  EXPECT_EQ(column(*viewer, 0), (std::vector<std::string>{"A.htm", "index.dat", "b.gif", "c.js"}));
  viewer->clickColumn(1);
  EXPECT_EQ(column(*viewer, 0), (std::vector<std::string>{"c.js", "b.gif", "index.dat", "A.htm"}));
  EXPECT_EQ(viewer->highlighted, (std::vector<char>{1, 0, 0, 0}));
  viewer->clickColumn(3);  // by folder; within one folder by name
  EXPECT_EQ(column(*viewer, 0), (std::vector<std::string>{"A.htm", "b.gif", "index.dat", "c.js"}));
  // A refresh keeps the chosen order.
  box.writeFile("Cache\\d.txt", "d");
  viewer->refresh();
  EXPECT_EQ(column(*viewer, 0), (std::vector<std::string>{"A.htm", "b.gif", "d.txt", "index.dat", "c.js"}));
}

TEST_F(ViewerTest, ACacheViewerDoesNotOpenOverAnUnknownMissingOrProtectedFolder) {
  box.writeFile("Cache\\a.htm", "a");
  box.writeFile("Recent\\doc.lnk", "l");
  struct Case {
    const char* what;
    ViewerKind kind;
    std::string folder;
    bool found;
    bool opens;
  };
  const Case cases[] = {
      {"a found cache", ViewerKind::OperaCache, box.path("Cache") + "\\", true, true},
      {"a cache not found at start", ViewerKind::OperaCache, box.path("Cache") + "\\", false, false},
      {"an unknown cache", ViewerKind::NetscapeCache, "-", true, false},
      {"a cache gone since", ViewerKind::NetscapeCache, box.path("Gone") + "\\", true, false},
      {"the program folder", ViewerKind::IeCache, box.root() + "\\", true, false},
      {"a drive root", ViewerKind::IeCache, "C:\\", true, false},
      {"the document history", ViewerKind::DocHistory, box.path("Recent") + "\\", true, true},
      {"an unknown document history", ViewerKind::DocHistory, "-", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    places = {};
    places.paths.ie4 = places.paths.netscape2 = places.paths.opera2 = places.paths.win1 = c.folder;
    places.ieCacheIndexFound = places.netscapeCacheFound = places.operaCacheFound = c.found;
    box.ui.boxes.clear();
    auto viewer = makeViewer(c.kind, session, places);
    EXPECT_EQ(viewer->open(), c.opens);
    EXPECT_EQ(box.ui.boxes.size(), c.opens ? 0u : 1u);
    if (!c.opens) {
      EXPECT_EQ(box.ui.boxes[0].text.rfind("Could not find ", 0), 0u) << box.ui.boxes[0].text;
      EXPECT_TRUE(viewer->rows.empty());
      EXPECT_TRUE(viewer->closed);
    }
  }
}

TEST_F(ViewerTest, AFailedRemovalIsLoggedUnderTheViewersNameAndTheOthersStillGo) {
  auto viewer = openCache();
  files.fail("deleteFile", fail::kPermissionDenied);
  box.ui.answer(Answer::Yes);
  removeNamed(*viewer, 0, {"A.htm", "b.gif"});
  EXPECT_EQ(viewer->rows.size(), 4u);
  const std::string lines = log();
  std::size_t logged = 0;
  for (std::size_t at = lines.find("IECache.RemoveHighlighted at line "); at != std::string::npos;
       at = lines.find("IECache.RemoveHighlighted at line ", at + 1))
    ++logged;
  EXPECT_EQ(logged, 2u) << lines;
  EXPECT_NE(lines.find("Permission denied (70)"), std::string::npos) << lines;
  files.heal("deleteFile");
  box.ui.answer(Answer::Yes);
  removeNamed(*viewer, 0, {"A.htm"});
  EXPECT_EQ(column(*viewer, 0), (std::vector<std::string>{"b.gif", "c.js", "index.dat"}));
}

TEST_F(ViewerTest, ALargeFolderIsListedWithTheBusyPointerAndRepaintsAsItGoes) {
  files.createFolder(box.path("Big"));
  for (int i = 0; i < 1500; ++i) files.appendText(box.path("Big\\f" + std::to_string(i) + ".tmp"), "");
  places.paths.opera2 = box.path("Big") + "\\";
  places.operaCacheFound = true;
  auto viewer = makeViewer(ViewerKind::OperaCache, session, places);
  ASSERT_TRUE(viewer->open());
  EXPECT_EQ(viewer->rows.size(), 1500u);
  EXPECT_EQ(viewer->summary, "1,500 entries, 0 KB");
  EXPECT_GE(box.ui.doEventsCalls, 3);
  EXPECT_EQ(box.ui.busyChanges, (std::vector<bool>{true, false}));
}

// Run and Find History share their source; the test key stands for each.
TEST_F(ViewerTest, MruValuesAreListedInMruListOrderAndTheListLosesTheRemovedLetters) {
  Registry& registry = box.registry();
  const std::string key = box.regKey();
  for (const char* letter : {"a", "b", "c", "d"})
    registry.setString(RootKey::CurrentUser, key, letter, std::string("cmd ") + letter + "\\1");
  registry.setString(RootKey::CurrentUser, key, "MRUList", "cadb");
  ListViewerModel viewer(session, "Run History", "RunHistory", MruListSource::columns(),
                         std::make_unique<MruListSource>(session, key), false);
  ASSERT_TRUE(viewer.open());
  EXPECT_EQ(column(viewer, 1), (std::vector<std::string>{"c", "a", "d", "b"}));
  EXPECT_EQ(column(viewer, 2), (std::vector<std::string>{"cmd c\\1", "cmd a\\1", "cmd d\\1", "cmd b\\1"}));
  EXPECT_EQ(viewer.summary, "4 entries");
  box.ui.answer(Answer::Yes);
  removeNamed(viewer, 1, {"a", "d"});
  EXPECT_EQ(column(viewer, 1), (std::vector<std::string>{"c", "b"}));
  RegValue value;
  EXPECT_EQ(registry.queryValue(RootKey::CurrentUser, key, "MRUList", value), 0);
  EXPECT_EQ(value.data, "cb");
  EXPECT_NE(registry.queryValue(RootKey::CurrentUser, key, "a", value), 0);
  EXPECT_EQ(registry.queryValue(RootKey::CurrentUser, key, "b", value), 0);
}

TEST_F(ViewerTest, TypedUrlsAreRemovedAndTheRestNumberedFromOneAgain) {
  Registry& registry = box.registry();
  const std::string key = box.regKey();
  for (int n = 1; n <= 4; ++n)
    registry.setString(RootKey::CurrentUser, key, "url" + std::to_string(n),
                       "http://" + std::to_string(n) + ".example/");
  ListViewerModel viewer(session, "Internet Explorer Typed URLs", "IETypedURLs", TypedUrlSource::columns(),
                         std::make_unique<TypedUrlSource>(session, key), false);
  ASSERT_TRUE(viewer.open());
  EXPECT_EQ(column(viewer, 1), (std::vector<std::string>{"url1", "url2", "url3", "url4"}));
  box.ui.answer(Answer::Yes);
  removeNamed(viewer, 1, {"url2"});
  EXPECT_EQ(column(viewer, 2),
            (std::vector<std::string>{"http://1.example/", "http://3.example/", "http://4.example/"}));
  EXPECT_EQ(column(viewer, 1), (std::vector<std::string>{"url1", "url2", "url3"}));
  RegValue value;
  EXPECT_NE(registry.queryValue(RootKey::CurrentUser, key, "url4", value), 0);
}

TEST_F(ViewerTest, NetscapeTypedUrlsAreThePrefsLinesAndOnlyTheChosenOnesGo) {
  const std::string one = "user_pref(\"browser.url_history.URL_1\", \"http://a.example/\");";
  const std::string two = "user_pref(\"browser.url_history.URL_2\", \"http://b.example/\");";
  box.writeFile("Users\\me\\prefs.js", "// prefs\r\n" + one + "\r\nuser_pref(\"x\", 1);\r\n" + two + "\r\n");
  places.paths.netscape1A = box.path("Users") + "\\";
  places.paths.netscape1C = "me";
  auto viewer = makeViewer(ViewerKind::NetscapeTypedUrls, session, places);
  ASSERT_TRUE(viewer->open());
  EXPECT_EQ(column(*viewer, 1),
            (std::vector<std::string>{"browser.url_history.URL_1", "browser.url_history.URL_2"}));
  EXPECT_EQ(column(*viewer, 2), (std::vector<std::string>{"http://a.example/", "http://b.example/"}));
  box.ui.answer(Answer::Yes);
  removeNamed(*viewer, 1, {"browser.url_history.URL_1"});
  EXPECT_EQ(box.readFile("Users\\me\\prefs.js"), "// prefs\r\nuser_pref(\"x\", 1);\r\n" + two + "\r\n");
  EXPECT_EQ(column(*viewer, 2), (std::vector<std::string>{"http://b.example/"}));

  // Without a known user folder the window does not open.
  places.paths.netscape1C = "-";
  EXPECT_FALSE(makeViewer(ViewerKind::NetscapeTypedUrls, session, places)->open());
}

}  // namespace
}  // namespace trwk
