#include "cleaning/ie_cookies_model.h"

#include <gtest/gtest.h>

#include "cleaning/cleaning_test_fixture.h"
#include "cleaning/netscape_cookies_model.h"
#include "testing/fault_files.h"
#include "testing/memory_registry.h"
#include "testing/sandbox.h"

namespace trwk {
namespace {

using V = std::vector<std::string>;

class CookieWindowTest : public testing::CleaningTest {
 protected:
  void SetUp() override {
    paths.ie3 = box.path("Cookies") + "\\";
    box.writeFile("cookies1.000", "");
    box.writeFile("cookies2.000", "");
  }
};

TEST_F(CookieWindowTest, OpeningListsTheCookieFilesAndTheKeepList) {
  box.writeFile("Cookies\\b@site[1].txt", "b");
  box.writeFile("Cookies\\a@site[2].txt", "a");
  box.writeFile("Cookies\\index.dat", "i");
  box.writeFile("cookies1.lst", "a@site[2].txt\r\n");
  IeCookiesModel model(context);
  model.load();
  EXPECT_EQ(model.caption, "Internet Explorer Cookies");
  EXPECT_EQ(model.files, (V{"a@site[2].txt", "b@site[1].txt"}));
  EXPECT_EQ(model.entries, (V{"a@site[2].txt"}));
  EXPECT_TRUE(box.ui.boxes.empty());
  model.selectFile(1);
  EXPECT_EQ(model.preview, "b");
  model.selectFile(7);
  EXPECT_EQ(model.selectedFile, -1);
  EXPECT_EQ(model.preview, "");
}

TEST_F(CookieWindowTest, AMissingCookieFolderIsLoggedAndExplained) {
  paths.ie3 = box.path("Nowhere") + "\\";
  box.writeFile("cookies1.lst", "kept.txt\r\n");
  IeCookiesModel model(context);
  model.load();
  EXPECT_NE(
      log().find("\tCould not find sIECookies in IECookies.Form.Load " + paths.ie3 + " at line 0 -  (0)\""),
      std::string::npos);
  ASSERT_EQ(box.ui.boxes.size(), 1u);
  EXPECT_EQ(box.ui.boxes[0].title, "Info");
  EXPECT_EQ(box.ui.boxes[0].text,
            "Could not find Internet Explorer Cookies path.\r\n"
            "If you use Internet Explorer check the path under the 'Path' button.\r\n"
            "If you don't use Internet Explorer, you can disable the Internet Explorer tabs under the "
            "'Maintenance' button");
  EXPECT_TRUE(model.files.empty());
  EXPECT_EQ(model.entries, (V{"kept.txt"}));
}

TEST_F(CookieWindowTest, AddSkipsDuplicatesAndDeleteRemovesTheChosenEntry) {
  box.writeFile("Cookies\\a.txt", "a");
  box.writeFile("Cookies\\b.txt", "b");
  box.writeFile("cookies1.lst", "\"a.txt   \"\r\n");  // quoted, so its trailing blanks stay
  IeCookiesModel model(context);
  model.load();
  model.selectFile(0);
  model.add();
  EXPECT_EQ(model.entries, (V{"a.txt   "}));
  model.doubleClickFile(1);
  model.doubleClickFile(1);
  EXPECT_EQ(model.entries, (V{"a.txt   ", "b.txt"}));
  model.deleteEntry();  // nothing chosen
  EXPECT_EQ(model.entries.size(), 2u);
  model.selectEntry(0);
  model.deleteEntry();
  EXPECT_EQ(model.entries, (V{"b.txt"}));
  model.doubleClickEntry(0);
  EXPECT_TRUE(model.entries.empty());
}

TEST_F(CookieWindowTest, OkStoresTheListAfterTheTemplateAndRefreshesTheMainWindowCopy) {
  box.writeFile("Cookies\\a.txt", "a");
  box.writeFile("Cookies\\b.txt", "b");
  box.writeFile("cookies1.lst", "old.txt\r\n");
  box.writeFile("cookies1.000", "template.txt\r\n");
  IeCookiesModel model(context);
  model.load();
  model.doubleClickFile(0);
  model.doubleClickFile(1);
  model.ok();
  EXPECT_TRUE(model.closed);
  EXPECT_EQ(box.readFile("cookies1.lst"), "template.txt\r\nold.txt\r\na.txt\r\nb.txt\r\n");
  EXPECT_EQ(keep, (V{"template.txt", "old.txt", "a.txt", "b.txt"}));
  EXPECT_EQ(box.readFile("cookies1.000"), "template.txt\r\n");
}

// A kept name with a comma or blanks around it is saved so that it reads back whole: split
// in two, the cookie it names would no longer be kept.
TEST_F(CookieWindowTest, NamesWithCommasAndBlanksAreSavedToReadBackWhole) {
  for (const char* name : {"a,b.txt", "plain.txt", " lead.txt"})
    box.writeFile(std::string("Cookies\\") + name, "c");
  box.writeFile("cookies1.000", "");
  IeCookiesModel model(context);
  model.load();
  for (int i = 0; i < 3; ++i) model.doubleClickFile(i);
  model.ok();
  EXPECT_EQ(readListFields(files, box.path("cookies1.lst")), (V{" lead.txt", "a,b.txt", "plain.txt"}));
}

TEST_F(CookieWindowTest, CancelAndFailedSavesLeaveTheOldListWhole) {
  box.writeFile("Cookies\\a.txt", "a");
  box.writeFile("cookies1.lst", "old.txt\r\n");
  IeCookiesModel model(context);
  model.load();
  model.doubleClickFile(0);
  model.cancel();
  EXPECT_TRUE(model.closed);
  EXPECT_EQ(box.readFile("cookies1.lst"), "old.txt\r\n");
  files.fail("replaceAtomically", 61);
  model.ok();
  EXPECT_EQ(box.readFile("cookies1.lst"), "old.txt\r\n");
  EXPECT_NE(log().find("IECookies.Command3 at line 1 - "), std::string::npos);
  files.heal("replaceAtomically");
  // A missing template: its failure number is shown and the list is still saved.
  files.deleteFile(box.path("cookies1.000"));
  model.ok();
  ASSERT_EQ(box.ui.boxes.size(), 1u);
  EXPECT_EQ(box.ui.boxes[0].text, "53");
  EXPECT_EQ(box.readFile("cookies1.lst"), "old.txt\r\na.txt\r\n");
}

TEST_F(CookieWindowTest, NetscapeListsSkipCommentsAndBlanksAndSaveToCookies2) {
  paths.netscape1A = box.path("Users") + "\\";
  paths.netscape1C = "default";
  EXPECT_EQ(netscapeUserFolder(paths), box.path("Users\\default"));
  box.writeFile("Users\\default\\cookies.txt",
                "# Netscape HTTP Cookie File\n\n.site.com\tTRUE\t/\tFALSE\t0\tid\t1\n"
                ".b.com\tTRUE\t/\tFALSE\t0\tpair\tx,y\n");
  box.writeFile("cookies2.lst", "# kept\r\n.old.com\tTRUE\t/\tFALSE\t0\tk\tv\r\n");
  NetscapeCookiesModel model(context);
  model.load();
  EXPECT_EQ(model.caption, "Netscape Cookies");
  EXPECT_EQ(model.cookies,
            (V{".site.com\tTRUE\t/\tFALSE\t0\tid\t1", ".b.com\tTRUE\t/\tFALSE\t0\tpair\tx", "y"}));
  EXPECT_EQ(model.entries, (V{".old.com\tTRUE\t/\tFALSE\t0\tk\tv"}));
  model.doubleClickCookie(0);
  model.doubleClickCookie(0);
  model.selectEntry(0);
  model.deleteEntry();
  model.ok();
  EXPECT_TRUE(model.closed);
  EXPECT_EQ(box.readFile("cookies2.lst"), ".site.com\tTRUE\t/\tFALSE\t0\tid\t1\r\n");
  EXPECT_TRUE(keep.empty());  // the main window holds no Netscape copy
}

TEST_F(CookieWindowTest, TheToolbarAddsTheChosenCookieAndRemovesTheChosenEntry) {
  box.writeFile("Cookies\\a.txt", "a");
  box.writeFile("Cookies\\b.txt", "b");
  paths.netscape1A = box.path("Users") + "\\";
  paths.netscape1C = "default";
  box.writeFile("Users\\default\\cookies.txt",
                ".a.com\tTRUE\t/\tFALSE\t0\tid\t1\n.b.com\tTRUE\t/\tFALSE\t0\tid\t2\n");

  IeCookiesModel ie(context);
  ie.load();
  EXPECT_EQ(ie.toolbar(), (Toolbar{{"Add", true}, {"Remove", true}}));
  ie.pressTool(IeCookiesModel::kToolAdd);  // nothing chosen on the left
  EXPECT_TRUE(ie.entries.empty());
  ie.selectFile(1);
  ie.pressTool(IeCookiesModel::kToolAdd);
  ie.pressTool(IeCookiesModel::kToolAdd);  // already kept
  ie.selectFile(0);
  ie.pressTool(IeCookiesModel::kToolAdd);
  EXPECT_EQ(ie.entries, (V{"b.txt", "a.txt"}));
  ie.pressTool(IeCookiesModel::kToolRemove);  // nothing chosen on the right
  ie.pressTool(7);                            // no such button
  EXPECT_EQ(ie.entries.size(), 2u);
  ie.selectEntry(0);
  ie.pressTool(IeCookiesModel::kToolRemove);
  EXPECT_EQ(ie.entries, (V{"a.txt"}));
  ie.ok();
  EXPECT_EQ(box.readFile("cookies1.lst"), "a.txt\r\n");

  NetscapeCookiesModel netscape(context);
  netscape.load();
  EXPECT_EQ(netscape.toolbar(), (Toolbar{{"Add", true}, {"Remove", true}}));
  netscape.selectCookie(1);
  netscape.pressTool(NetscapeCookiesModel::kToolAdd);
  netscape.selectCookie(0);
  netscape.pressTool(NetscapeCookiesModel::kToolAdd);
  netscape.selectEntry(1);
  netscape.pressTool(NetscapeCookiesModel::kToolRemove);
  netscape.pressTool(NetscapeCookiesModel::kToolRemove);  // the removed entry was the chosen one
  EXPECT_EQ(netscape.entries, (V{".b.com\tTRUE\t/\tFALSE\t0\tid\t2"}));
  netscape.ok();
  EXPECT_EQ(box.readFile("cookies2.lst"), ".b.com\tTRUE\t/\tFALSE\t0\tid\t2\r\n");
}

}  // namespace
}  // namespace trwk
