#include "rules/rules_page_model.h"

#include <gtest/gtest.h>

#include <map>

#include "cleaning/preview.h"
#include "cleaning/run_completion.h"
#include "rules/rules_test_fixture.h"

namespace trwk {
namespace {

class RulesPageModelTest : public testing::RulesTest {
 protected:
  RulesPageModel model{session};

  void SetUp() override {
    registry.put(RootKey::CurrentUser, "Software\\Present", "", {ValueType::String, ""});
    userFile("AppData\\Local\\Present\\Cache\\a.tmp");
    userFile("AppData\\Local\\Present\\Cache\\b.tmp");
    userFile("AppData\\Local\\Present\\keep.tmp");
    box.writeFile("windows\\setup.log", "w");
    box.writeFile("winapp2.ini",
                  "[Present Cache *]\r\nLangSecRef=3021\r\nDetect=HKCU\\Software\\Present\r\n"
                  "FileKey1=%LocalAppData%\\Present\\Cache|*.tmp\r\n"
                  "[Absent App *]\r\nDetect=HKCU\\Software\\Absent\r\nFileKey1=%LocalAppData%\\Absent|*.*\r\n"
                  "[Present Logs *]\r\nSection=Browsers\r\nWarning=Also removes the saved sessions.\r\n"
                  "FileKey1=%LocalAppData%\\Present|*.tmp\r\n"
                  "[Reckless *]\r\nLangSecRef=3021\r\nFileKey1=%WinDir%|*.log\r\n"
                  "[Mystery *]\r\nSpecialDetect=DET_FUTURE\r\nFileKey1=%LocalAppData%\\Present|*.tmp\r\n"
                  "FileKey1=broken\r\n");
    box.writeFile("extra.rules.ini", "[Extra Cleaner]\r\nSection=Browsers\r\nFileKey1=%Temp%|*.tmp\r\n");
    box.writeFile("notes.ini", "[Not A Rule]\r\nFileKey1=%Temp%|*.tmp\r\n");
  }
  std::vector<std::string> names() {
    std::vector<std::string> out;
    for (const RuleRow& r : model.rows) out.push_back(r.name);
    return out;
  }
  std::string stored(const std::string& name) {
    return session.settings.getini("Rules", name, session.maintenIni());
  }
};

TEST_F(RulesPageModelTest, LoadOffersTheDetectedEntriesOfEveryRuleFileByGroup) {
  box.writeFile("mainten.ini", "[Rules]\r\nPresent Cache *=1\r\nReckless *=1\r\nExtra Cleaner=0\r\n");
  model.load();
  EXPECT_EQ(model.files, (std::vector<std::string>{"winapp2.ini", "extra.rules.ini"}));
  EXPECT_EQ(names(),
            (std::vector<std::string>{"Present Cache *", "Reckless *", "Present Logs *", "Extra Cleaner"}));
  EXPECT_EQ(model.groups, (std::vector<std::string>{"Applications", "Browsers"}));
  EXPECT_TRUE(model.rows[0].ticked);
  EXPECT_NE(model.rows[1].refusal.find("protected location"), std::string::npos) << model.rows[1].refusal;
  EXPECT_FALSE(model.rows[1].ticked) << "a refused entry is never ticked";
  EXPECT_FALSE(model.rows[3].ticked);
  EXPECT_EQ(model.rows[2].warning, "Also removes the saved sessions.");
  EXPECT_EQ(model.summary, "4 of 6 rule entries apply to this system (2 files)");
  // The malformed line and the unknown named detection are in the run log with their places.
  EXPECT_NE(log().find("winapp2.ini, line 18: FileKey without masks"), std::string::npos) << log();
  EXPECT_NE(log().find("winapp2.ini, line 15: SpecialDetect=DET_FUTURE is not known"), std::string::npos)
      << log();
  EXPECT_NE(log().find("Reckless * refused: FileKey at line 14: "), std::string::npos) << log();
}

TEST_F(RulesPageModelTest, TicksAreWrittenAtOnceAndAWarningMayBeDeclined) {
  model.load();
  model.setTicked(0, true);
  EXPECT_EQ(stored("Present Cache *"), "1");
  model.setTicked(0, false);
  EXPECT_EQ(stored("Present Cache *"), "0");
  EXPECT_TRUE(box.ui.boxes.empty());

  box.ui.answer(Answer::Cancel);
  model.setTicked(2, true);
  ASSERT_EQ(box.ui.boxes.size(), 1u);
  EXPECT_EQ(box.ui.boxes[0].title, "Warning");
  EXPECT_NE(box.ui.boxes[0].text.find("Also removes the saved sessions."), std::string::npos);
  EXPECT_FALSE(model.rows[2].ticked);
  EXPECT_EQ(stored("Present Logs *"), "");
  box.ui.answer(Answer::Ok);
  model.setTicked(2, true);
  EXPECT_TRUE(model.rows[2].ticked);
  EXPECT_EQ(stored("Present Logs *"), "1");

  model.setTicked(1, true);  // refused
  EXPECT_FALSE(model.rows[1].ticked);
  EXPECT_EQ(box.ui.boxes.back().title, "Refused");
  EXPECT_EQ(stored("Reckless *"), "");
  model.setTicked(9, true);  // no such row

  RulesPageModel restarted(session);
  restarted.load();
  EXPECT_FALSE(restarted.rows[0].ticked);
  EXPECT_TRUE(restarted.rows[2].ticked);
}

TEST_F(RulesPageModelTest, CleanRulesRunsTheTickedEntriesAndCompletesTheRun) {
  box.writeFile("mainten.ini", "[Rules]\r\nPresent Cache *=1\r\nPresent Logs *=0\r\n");
  model.load();
  cleanRules(context, model);
  EXPECT_FALSE(userHas("AppData\\Local\\Present\\Cache\\a.tmp"));
  EXPECT_FALSE(userHas("AppData\\Local\\Present\\Cache\\b.tmp"));
  EXPECT_TRUE(userHas("AppData\\Local\\Present\\keep.tmp"));
  EXPECT_EQ(state.progress.value, 1);
  EXPECT_EQ(state.runningFamily, "");
  ASSERT_EQ(box.ui.boxes.size(), 1u);
  EXPECT_EQ(box.ui.boxes[0].text, "Cleaning System...Done");
  EXPECT_NE(session.settings.getini("Senast", "Value1", session.maintenIni()), "");

  // Inside Clean All only the entries run.
  userFile("AppData\\Local\\Present\\Cache\\c.tmp");
  state.cleanAllRunning = true;
  cleanRules(context, model);
  EXPECT_FALSE(userHas("AppData\\Local\\Present\\Cache\\c.tmp"));
  EXPECT_EQ(box.ui.boxes.size(), 1u);
}

// A preview of the rules lists what each ticked entry would remove under that entry.
TEST_F(RulesPageModelTest, APreviewGroupsWhatGoesByRuleEntry) {
  box.writeFile("mainten.ini", "[Rules]\r\nPresent Cache *=1\r\nPresent Logs *=1\r\n");
  model.load();
  Plan plan = previewCleaning(context, [&](CleaningContext& c) { cleanRules(c, model); });
  std::map<std::string, std::size_t> perEntry;
  for (const PlanEntry& e : plan.entries()) ++perEntry[plan.groups()[e.group].label];
  EXPECT_EQ(perEntry, (std::map<std::string, std::size_t>{{"Present Cache *", 2}, {"Present Logs *", 1}}));
  EXPECT_TRUE(userHas("AppData\\Local\\Present\\Cache\\a.tmp"));
}

TEST_F(RulesPageModelTest, CleanAllRunsTheRulesAfterThePluginsAndStampsOnce) {
  box.writeFile("mainten.ini", "[Rules]\r\nPresent Cache *=1\r\n");
  model.load();
  std::vector<std::string> order;
  context.cleanPlugins = [&](CleaningContext&) { order.push_back("plugins"); };
  context.cleanRules = [&](CleaningContext& c) {
    order.push_back("rules");
    cleanRules(c, model);
  };
  cleanAll(context);
  EXPECT_EQ(order, (std::vector<std::string>{"plugins", "rules"}));
  EXPECT_FALSE(userHas("AppData\\Local\\Present\\Cache\\a.tmp"));
  ASSERT_EQ(box.ui.boxes.size(), 1u);
  EXPECT_EQ(box.ui.boxes[0].text, "Cleaning System...Done");
}

TEST_F(RulesPageModelTest, TheRulesTabIsOffUntilItsBoxIsTicked) {
  for (const char* flag : {"", "maybe", "0"}) {
    catalogue.readRulesTab(flag);
    EXPECT_FALSE(catalogue.rulesTab) << flag;
  }
  catalogue.setRulesTabActivation(session, true);
  EXPECT_TRUE(catalogue.rulesTab);
  EXPECT_EQ(session.settings.getini("Tab", "Rules", session.maintenIni()), "1");
  catalogue.readRulesTab(session.settings.getini("Tab", "Rules", session.maintenIni()));
  EXPECT_TRUE(catalogue.rulesTab);
  catalogue.setRulesTabActivation(session, false);
  EXPECT_EQ(session.settings.getini("Tab", "Rules", session.maintenIni()), "0");
}

TEST_F(RulesPageModelTest, NoRuleFilesMeansAnEmptyPage) {
  box.files().deleteFile(box.path("winapp2.ini"));
  box.files().deleteFile(box.path("extra.rules.ini"));
  model.load();
  EXPECT_TRUE(model.rows.empty());
  EXPECT_EQ(model.summary, "0 of 0 rule entries apply to this system (0 files)");
  EXPECT_EQ(log(), "");
}

}  // namespace
}  // namespace trwk
