#include "shell/agreement_model.h"

#include <gtest/gtest.h>

#include "testing/memory_registry.h"

namespace trwk {
namespace {

class AgreementTest : public ::testing::Test {
 protected:
  testing::MemoryRegistry reg;
  AppSettingsStore store{reg};
  bool declined = true;  // left over from elsewhere: opening the window resets it
  AgreementModel model{store, declined};

  std::string stored() { return store.getSetting("Options", "Show Tips at Startup", "(absent)"); }
};

TEST_F(AgreementTest, FirstOpeningTicksTheBoxWhichStoresOne) {
  EXPECT_EQ(model.caption, "License Agreement and Disclaimer");
  EXPECT_GT(model.text.size(), 2000u);
  model.open();
  EXPECT_FALSE(declined);
  EXPECT_FALSE(model.closed);
  EXPECT_TRUE(model.showTipsTicked);
  EXPECT_EQ(stored(), "1");
}

TEST_F(AgreementTest, AnAcceptedAgreementClosesAtOnceWithoutWriting) {
  store.saveAgreementSetting(0);
  int writes = reg.writes;
  model.open();
  EXPECT_TRUE(model.closed);
  EXPECT_FALSE(model.showTipsTicked);
  EXPECT_EQ(reg.writes, writes);
}

TEST_F(AgreementTest, TheBoxStoresEachChangeOfState) {
  model.open();
  model.setShowTips(false);
  EXPECT_EQ(stored(), "0");
  model.setShowTips(true);
  EXPECT_EQ(stored(), "1");
}

TEST_F(AgreementTest, IAgreeStoresZeroAndCloses) {
  model.open();
  model.agree();
  EXPECT_TRUE(model.closed);
  EXPECT_FALSE(declined);
  EXPECT_FALSE(model.showTipsTicked);
  EXPECT_EQ(stored(), "0");
}

TEST_F(AgreementTest, IDisagreeKeepsTheSettingAndSetsTheFlag) {
  model.open();
  model.disagree();
  EXPECT_TRUE(model.closed);
  EXPECT_TRUE(declined);
  EXPECT_EQ(stored(), "1");
}

TEST_F(AgreementTest, TitleBarCloseChangesNothing) {
  model.open();
  int writes = reg.writes;
  model.closeByTitleBar();
  EXPECT_TRUE(model.closed);
  EXPECT_FALSE(declined);
  EXPECT_EQ(reg.writes, writes);
  EXPECT_EQ(stored(), "1");
}

}  // namespace
}  // namespace trwk
