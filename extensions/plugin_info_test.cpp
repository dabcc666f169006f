#include "extensions/plugin_info.h"

#include <gtest/gtest.h>

#include "cleaning/cleaning_test_fixture.h"

namespace trwk {
namespace {

class PluginInfoTest : public testing::CleaningTest {
 protected:
  Plugins plugins{session};
  PluginInfo window{session};

  void SetUp() override {
    box.writeFile("Game2.cp2",
                  "[Main]\r\nName=Game Two\r\nVersion=1.2\r\nCreated=2003-01-05\r\nAuthor=Someone\r\n"
                  "Active=True\r\nInfo=Removes the saved games\r\n");
    box.writeFile("Game2.cp1", "C:\\Games\\*.sav\r\n");
    box.writeFile("Other.cp2", "[Main]\r\nName=Other\r\nActive=0\r\n");
    box.writeFile("Other.cp1", "");
    plugins.fixPlugins();
  }
  bool has(const std::string& relative) { return box.files().fileExists(box.path(relative)); }
};

TEST_F(PluginInfoTest, OpenShowsTheHighlightedHeaderAndKeepsBothPaths) {
  window.open(plugins, 0);
  EXPECT_TRUE(window.visible);
  EXPECT_EQ(window.name, "Game Two");
  EXPECT_EQ(window.version, "1.2");
  EXPECT_EQ(window.created, "2003-01-05");
  EXPECT_EQ(window.author, "Someone");
  EXPECT_EQ(window.info, "Removes the saved games");
  EXPECT_EQ(window.headerPath, box.path("Game2.cp2"));
  EXPECT_EQ(window.bodyPath, box.path("Game2.cp1"));
  EXPECT_TRUE(window.deleteEnabled);

  // Nothing highlighted: an empty window with nothing to delete.
  window.open(plugins, -1);
  EXPECT_TRUE(window.visible);
  EXPECT_EQ(window.name, "");
  EXPECT_EQ(window.headerPath, "");
  EXPECT_FALSE(window.deleteEnabled);
  window.deletePlugin();
  EXPECT_TRUE(box.ui.boxes.empty());
  window.close();
  EXPECT_FALSE(window.visible);
}

TEST_F(PluginInfoTest, DeleteAsksFirstAndOnYesRemovesBothFilesOfThatPluginOnly) {
  window.open(plugins, 0);
  box.ui.answer(Answer::No);
  window.deletePlugin();
  ASSERT_EQ(box.ui.boxes.size(), 1u);
  const MessageBox& ask = box.ui.boxes[0];
  EXPECT_EQ(ask.text, "Do you want to delete this plugin?");
  EXPECT_EQ(ask.title, "Delete Plugin");
  EXPECT_EQ(ask.buttons, Buttons::YesNo);
  EXPECT_EQ(ask.icon, Icon::Critical);
  EXPECT_EQ(ask.defaultButton, 2);
  EXPECT_TRUE(has("Game2.cp2"));
  EXPECT_TRUE(window.deleteEnabled);

  box.ui.answer(Answer::Yes);
  box.ui.answer(Answer::No);  // the answer to the second box changes nothing
  window.deletePlugin();
  EXPECT_FALSE(has("Game2.cp2"));
  EXPECT_FALSE(has("Game2.cp1"));
  EXPECT_TRUE(has("Other.cp2"));
  EXPECT_TRUE(has("Other.cp1"));
  ASSERT_EQ(box.ui.boxes.size(), 3u);
  EXPECT_EQ(box.ui.boxes[2].text, "The Plugin was succesfully deleted. Please restart Tarnwick");
  EXPECT_EQ(box.ui.boxes[2].icon, Icon::Information);
  EXPECT_EQ(box.ui.boxes[2].buttons, Buttons::YesNo);
  EXPECT_EQ(window.name + window.version + window.created + window.author + window.info, "");
  EXPECT_FALSE(window.deleteEnabled);
  // The main window's list is as it was until a restart.
  EXPECT_EQ(plugins.names[0], "Game Two");
  EXPECT_EQ(log(), "");
}

TEST_F(PluginInfoTest, AMissingBodyIsNoFailureButAFileThatStaysIsNotReportedAsDeleted) {
  box.files().deleteFile(box.path("Game2.cp1"));
  window.open(plugins, 0);
  box.ui.answer(Answer::Yes);
  window.deletePlugin();
  EXPECT_FALSE(has("Game2.cp2"));
  EXPECT_EQ(box.ui.boxes.back().text, "The Plugin was succesfully deleted. Please restart Tarnwick");

  window.open(plugins, 1);
  files.fail("deleteFile", 70);
  box.ui.answer(Answer::Yes);
  window.deletePlugin();
  files.heal("deleteFile");
  EXPECT_TRUE(has("Other.cp2"));
  EXPECT_NE(box.ui.boxes.back().text.find("could not be deleted"), std::string::npos);
  EXPECT_EQ(window.name, "Other");
  EXPECT_TRUE(window.deleteEnabled);
  EXPECT_NE(log().find("cmdDeletePlugin"), std::string::npos);
}

}  // namespace
}  // namespace trwk
