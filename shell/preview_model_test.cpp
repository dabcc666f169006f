// The "Preview" window as the main window opens it: the list by clean item, the totals,
// "Clean these" and "Close".
#include "shell/preview_model.h"

#include <gtest/gtest.h>

#include <functional>

#include "shell/main_window_model.h"
#include "shell/shell_test_fakes.h"

namespace trwk {
namespace {

constexpr const char* kRunMru = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";

class PreviewViews : public testing::RecordingViews {
 public:
  std::function<void(PreviewModel&)> previewScript;
  void showPreview(PreviewModel& preview) override {
    calls.push_back("preview " + preview.heading);
    previewScript(preview);
  }
};

class PreviewWindowTest : public ::testing::Test {
 protected:
  testing::Sandbox box;
  testing::MemoryRegistry reg;
  testing::FakeDesktop desktop{box.root()};
  PreviewViews views;
  Session session{{box.files(), reg, desktop, box.clock, box.random, box.ui}, box.root()};
  MainWindowModel model{session};

  void SetUp() override {
    box.writeFile("win\\Recent\\letter.lnk", "link");
    box.writeFile("win\\Downloaded\\control.ocx", "control");
    reg.createKey(RootKey::CurrentUser, kRunMru);
    reg.setString(RootKey::CurrentUser, kRunMru, "a", "notepad\\1");
    const std::string r = box.root();
    box.writeFile("mainten.ini",
                  "[Path]\r\nDetect=1\r\nWin1=" + r + "\\win\\Recent\\\r\nWin3=" + r +
                      "\\win\\Downloaded\\\r\n[Rensa]\r\nValue14=1\r\nValue15=1\r\nValue19=1\r\n");
    views.main = &model;
    model.attach(views);
    model.load();
  }
  bool exists(const std::string& relative) { return box.files().fileExists(box.path(relative)); }
};

TEST_F(PreviewWindowTest, ThePlanIsListedByItemAndCleanTheseRemovesExactlyIt) {
  int repaints = 0;
  views.previewScript = [&](PreviewModel& p) {
    p.refreshView = [&] { ++repaints; };
    EXPECT_FALSE(p.cleanEnabled) << "nothing to clean before the preview ran";
    p.start();
    const struct {
      PreviewModel::Row::Type type;
      std::string path, size;
    } rows[] = {
        {PreviewModel::Row::Heading, "Item 14, Windows Doc History (Windows)", ""},
        {PreviewModel::Row::Entry, box.path("win\\Recent\\letter.lnk"), "4"},
        {PreviewModel::Row::Subtotal, "    Subtotal: 1 file, 0 folders, 0 registry values, 4 bytes", "4"},
        {PreviewModel::Row::Heading, "Item 15, Downloaded Program Files Directory (Windows)", ""},
        {PreviewModel::Row::Entry, box.path("win\\Downloaded\\control.ocx"), "7"},
        {PreviewModel::Row::Subtotal, "    Subtotal: 1 file, 0 folders, 0 registry values, 7 bytes", "7"},
        {PreviewModel::Row::Heading, "Item 19, Windows Run History (Windows)", ""},
        {PreviewModel::Row::Entry, "HKEY_CURRENT_USER\\" + std::string(kRunMru) + "\\a", "9"},
        {PreviewModel::Row::Subtotal, "    Subtotal: 0 files, 0 folders, 1 registry value, 0 bytes", "0"},
    };
    ASSERT_EQ(p.rowCount(), std::size(rows));
    for (std::size_t i = 0; i < p.rowCount(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(p.row(i).type, rows[i].type);
      EXPECT_EQ(p.row(i).path, rows[i].path);
      EXPECT_EQ(p.row(i).size, rows[i].size);
    }
    EXPECT_EQ(p.status, "Total: 3 entries: 2 files, 0 folders, 1 registry value, 11 bytes freed");
    EXPECT_GE(repaints, 2) << "the window repaints while the preview runs";
    EXPECT_TRUE(p.cleanEnabled);
    EXPECT_TRUE(exists("win\\Recent\\letter.lnk")) << "a preview removes nothing";
    box.writeFile("win\\Recent\\late.lnk", "made after the preview");
    p.cleanThese();
    EXPECT_TRUE(p.closed);
  };
  model.previewPressed(MainWindowModel::kCleanWindowsButton);

  EXPECT_EQ(views.calls.back(), "preview What cleaning Windows would remove:");
  EXPECT_FALSE(exists("win\\Recent\\letter.lnk"));
  EXPECT_FALSE(exists("win\\Downloaded\\control.ocx"));
  EXPECT_TRUE(exists("win\\Recent\\late.lnk")) << "an entry that appeared after the preview stays";
  RegValue value;
  EXPECT_NE(reg.queryValue(RootKey::CurrentUser, kRunMru, "a", value), regstatus::kSuccess);
  EXPECT_EQ(model.lastReport.overall().entries(), 3u);
  EXPECT_EQ(model.lastReport.overall().bytes, 11u);
  ASSERT_FALSE(box.ui.boxes.empty());
  EXPECT_EQ(box.ui.boxes.back().text, "Cleaning System...Done") << "the normal completion";
  EXPECT_EQ(model.state.progress.value, model.state.progress.max);
  EXPECT_FALSE(model.cleaning());
}

TEST_F(PreviewWindowTest, CloseCleansNothingAndAChangedEntryIsNamedAfterTheCleaning) {
  views.previewScript = [&](PreviewModel& p) {
    p.start();
    p.close();
    p.cleanThese();  // too late: the window is closing
  };
  model.previewPressed(MainWindowModel::kCleanAllButton);
  EXPECT_TRUE(exists("win\\Recent\\letter.lnk"));
  EXPECT_TRUE(box.ui.boxes.empty());

  views.previewScript = [&](PreviewModel& p) {
    p.start();
    box.writeFile("win\\Recent\\letter.lnk", "a longer link");
    p.cleanThese();
  };
  model.previewPressed(MainWindowModel::kCleanAllButton);
  EXPECT_EQ(box.readFile("win\\Recent\\letter.lnk"), "a longer link");
  EXPECT_FALSE(exists("win\\Downloaded\\control.ocx"));
  ASSERT_FALSE(box.ui.boxes.empty());
  EXPECT_EQ(box.ui.boxes.back().title, "Preview");
  EXPECT_NE(
      box.ui.boxes.back().text.find("1 planned entry was left alone because they changed or went since the "
                                    "preview:\r\n\r\n" +
                                    box.path("win\\Recent\\letter.lnk") + " (changed since the preview)"),
      std::string::npos)
      << box.ui.boxes.back().text;
}

TEST_F(PreviewWindowTest, CloseWhileItRunsEndsTheLookingEarly) {
  for (int i = 0; i < 600; ++i) box.writeFile("win\\Recent\\doc" + std::to_string(i) + ".lnk", "x");
  std::size_t planned = 0;
  views.previewScript = [&](PreviewModel& p) {
    p.refreshView = [&p] {
      if (p.running && p.status.find("so far") != std::string::npos) p.close();
    };
    p.start();
    planned = p.plan().entries().size();
    EXPECT_FALSE(p.cleanEnabled);
  };
  model.previewPressed(MainWindowModel::kCleanAllButton);
  EXPECT_LT(planned, 600u) << "the walk over Recent took no entry after the close";
  EXPECT_TRUE(exists("win\\Recent\\doc599.lnk"));

  std::size_t whole = 0;
  views.previewScript = [&](PreviewModel& p) {
    p.start();
    whole = p.plan().entries().size();
    p.close();
  };
  model.previewPressed(MainWindowModel::kCleanAllButton);
  EXPECT_GE(whole, 603u);  // 601 links, the control, the Run value
}

}  // namespace
}  // namespace trwk
