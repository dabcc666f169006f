// The "View ..." buttons of the family pages, driven through the main window model: a
// viewer opens over a found folder or a history key, and a cache folder that is not there
// keeps its window shut with a message.
#include <gtest/gtest.h>

#include "shell/main_window_model.h"
#include "shell/shell_test_fakes.h"
#include "testing/memory_registry.h"
#include "testing/sandbox.h"

namespace trwk {
namespace {

class MainWindowViewersTest : public testing::MainWindowFixture {
 protected:
  void SetUp() override {
    box.writeFile("op\\Cache4\\opr0001.htm", "page");
    box.writeFile("op\\Cache4\\opr0002.gif", "gif");
    reg.createKey(RootKey::CurrentUser, kRunMruKey);
    reg.setString(RootKey::CurrentUser, kRunMruKey, "a", "notepad\\1");
    reg.setString(RootKey::CurrentUser, kRunMruKey, "b", "cmd\\1");
    reg.setString(RootKey::CurrentUser, kRunMruKey, "MRUList", "ab");
    const std::string r = box.root();
    // The Netscape cache is stored but has gone since.
    box.writeFile("mainten.ini", "[Path]\r\nDetect=1\r\nNetscape1A=" + r +
                                     "\\ns\\Users\\\r\nNetscape1C=tester\r\n" + "Netscape2=" + r +
                                     "\\ns\\Cache\\\r\nOpera1=" + r + "\\op\\\r\nOpera2=" + r +
                                     "\\op\\Cache4\\\r\n");
    views.main = &model;
    model.attach(views);
    model.load();
    views.calls.clear();
    box.ui.boxes.clear();
  }
};

TEST_F(MainWindowViewersTest, AViewerOpensOverWhatIsThereAndRemovesTheHighlightedEntry) {
  views.viewerScript = [&](ListViewerModel& v) {
    ASSERT_EQ(v.rows.size(), 2u);
    EXPECT_EQ(v.rows[0].cells[0], "opr0001.htm");
    v.close();
  };
  model.openViewer(ViewerKind::OperaCache);
  EXPECT_EQ(views.calls, std::vector<std::string>{"viewer Opera Cache"});

  views.viewerScript = [&](ListViewerModel& v) {
    ASSERT_EQ(v.rows.size(), 2u);
    v.highlight({0});
    box.ui.answer(Answer::Yes);
    v.removeHighlighted();
    ASSERT_EQ(v.rows.size(), 1u);
    EXPECT_EQ(v.rows[0].cells[2], "cmd\\1");
  };
  model.openViewer(ViewerKind::RunHistory);
  RegValue mruList;
  reg.queryValue(RootKey::CurrentUser, kRunMruKey, "MRUList", mruList);
  EXPECT_EQ(mruList.data, "b");
}

TEST_F(MainWindowViewersTest, ACacheThatIsNotThereKeepsItsViewerShut) {
  for (ViewerKind kind : {ViewerKind::NetscapeCache, ViewerKind::IeCache}) {
    box.ui.boxes.clear();
    model.openViewer(kind);
    ASSERT_EQ(box.ui.boxes.size(), 1u);
    EXPECT_EQ(box.ui.boxes[0].text.rfind("Could not find ", 0), 0u) << box.ui.boxes[0].text;
  }
  EXPECT_TRUE(views.calls.empty());
}

}  // namespace
}  // namespace trwk
