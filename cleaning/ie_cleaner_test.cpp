#include "cleaning/ie_cleaner.h"

#include <gtest/gtest.h>

#include "cleaning/cleaning_test_fixture.h"
#include "testing/memory_registry.h"
#include "testing/sandbox.h"

namespace trwk {
namespace {

constexpr const char* kRunOnce = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr const char* kRunServicesOnce = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce";
constexpr const char* kTypedUrls = "Software\\Microsoft\\Internet Explorer\\TypedURLs";

class IeCleanerTest : public testing::CleaningTest {
 protected:
  std::vector<std::string> statuses;

  void SetUp() override {
    keep = {"kept.txt"};
    paths.ie1 = box.path("History") + "\\";
    paths.ie2 = box.path("Cache") + "\\";
    paths.ie3 = box.path("Cookies") + "\\";
    paths.ie4 = box.path("Cache\\Content.IE5") + "\\";
    box.writeFile("ow.chx", "0123456789");
    box.writeFile("ow2.chx", "abcdefghij");
    box.writeFile("History\\History.IE5\\index.dat", "h");  // what makes it Internet Explorer's
    box.writeFile("History\\Today\\page.url", "p");
    box.writeFile("Cache\\Content.IE5\\index.dat", "i");
    box.writeFile("Cache\\Content.IE5\\X1\\page.htm", "x");
    box.writeFile("Cookies\\kept.txt", "k");
    box.writeFile("Cookies\\gone.txt", "g");
    registry.put(RootKey::CurrentUser, kTypedUrls, "url1", {ValueType::String, "http://example.com/"});
    registry.createKey(RootKey::LocalMachine, kRunOnce);
    registry.createKey(RootKey::LocalMachine, kRunServicesOnce);
    context.refresh = [this] { statuses.push_back(state.statusText); };
  }
  void tick(std::initializer_list<int> numbers) {
    for (int n : numbers) catalogue.item(n).ticked = true;
  }
  bool has(const std::string& relative) {
    return box.files().fileExists(box.path(relative)) || box.files().folderExists(box.path(relative));
  }
  std::string runOnce(const char* key) {
    RegValue v;
    return registry.queryValue(RootKey::LocalMachine, key, "String Value", v) == 0 ? v.data : "(none)";
  }
  std::string log() {
    return box.files().fileExists(session.log.path()) ? box.files().readAll(session.log.path()) : "";
  }
};

TEST_F(IeCleanerTest, EveryItemInsideCleanAllCleansWithoutStampOrBox) {
  tick({1, 2, 3, 4, 5});
  state.cleanAllRunning = true;
  state.progress = {0, 5};
  cleanInternetExplorer(context);
  EXPECT_EQ(state.runningFamily, "Internet Explorer");
  ASSERT_FALSE(statuses.empty());
  EXPECT_EQ(statuses.front(), "Please Wait");
  EXPECT_EQ(state.progress.value, 5);
  EXPECT_FALSE(has("History\\Today"));
  EXPECT_FALSE(has("Cache\\Content.IE5\\X1"));
  EXPECT_TRUE(has("Cache\\Content.IE5\\index.dat"));
  EXPECT_TRUE(has("Cookies\\kept.txt"));
  EXPECT_FALSE(has("Cookies\\gone.txt"));
  EXPECT_EQ(registry.keyExists(RootKey::CurrentUser, kTypedUrls), regstatus::kFileNotFound);
  const std::string zap = box.root() + "\\zap.exe";
  EXPECT_EQ(runOnce(kRunOnce), zap);
  EXPECT_EQ(runOnce(kRunServicesOnce), zap);
  EXPECT_TRUE(box.ui.boxes.empty());
  EXPECT_EQ(session.settings.getini("Senast", "Value1", session.maintenIni()), "");
  EXPECT_EQ(log(), "");
  // A second run writes the same values again; a missing TypedURLs key is no failure.
  cleanInternetExplorer(context);
  EXPECT_EQ(runOnce(kRunOnce), zap);
  EXPECT_EQ(log(), "");
}

TEST_F(IeCleanerTest, OnlyTheTickedItemsRunAndZapIsRegisteredOnlyWhereAListExists) {
  registry.deleteKey(RootKey::LocalMachine, kRunServicesOnce);
  tick({2, 5});
  state.cleanAllRunning = true;
  state.progress = {0, 2};
  cleanInternetExplorer(context);
  EXPECT_EQ(state.progress.value, 2);
  EXPECT_FALSE(has("History\\Today"));
  EXPECT_TRUE(has("Cache\\Content.IE5\\X1\\page.htm"));
  EXPECT_TRUE(has("Cookies\\gone.txt"));
  EXPECT_EQ(registry.keyExists(RootKey::CurrentUser, kTypedUrls), regstatus::kSuccess);
  EXPECT_EQ(runOnce(kRunOnce), box.root() + "\\zap.exe");
  EXPECT_EQ(registry.keyExists(RootKey::LocalMachine, kRunServicesOnce), regstatus::kFileNotFound);
}

TEST_F(IeCleanerTest, OnItsOwnItPreparesTheProgressAndEndsTheRun) {
  tick({3});
  catalogue.item(1).ticked = true;
  catalogue.item(1).enabled = false;  // greyed out: cleared when the run is prepared
  cleanInternetExplorer(context);
  EXPECT_EQ(state.progress.max, 1);
  EXPECT_EQ(state.progress.value, 1);
  EXPECT_FALSE(catalogue.item(1).ticked);
  EXPECT_TRUE(has("Cache\\Content.IE5\\X1\\page.htm"));
  EXPECT_FALSE(has("Cookies\\gone.txt"));
  ASSERT_EQ(box.ui.boxes.size(), 1u);
  EXPECT_EQ(box.ui.boxes[0].text, "Cleaning System...Done");
  EXPECT_NE(session.settings.getini("Senast", "Value1", session.maintenIni()), "");
}

}  // namespace
}  // namespace trwk
