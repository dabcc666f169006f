#pragma once
// Test doubles for the shell's models: a desktop whose program folder the test chooses,
// and one recorder for every window the start-up and the main window open.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cleaning/ie_cookies_model.h"
#include "cleaning/netscape_cookies_model.h"
#include "platform/desktop.h"
#include "shell/agreement_model.h"
#include "shell/main_window_model.h"
#include "shell/splash_model.h"
#include "shell/startup.h"
#include "shell/tips_model.h"
#include "testing/memory_registry.h"
#include "testing/sandbox.h"

namespace trwk::testing {

class FakeDesktop : public Desktop {
 public:
  explicit FakeDesktop(std::string programFolder) : folder(std::move(programFolder)) {}
  std::optional<std::string> knownFolder(KnownFolder) override { return std::nullopt; }
  std::string programFolder() override { return folder; }
  bool startProgram(const std::string& path, const std::string& arguments) override {
    started.emplace_back(path, arguments);
    return true;
  }
  bool emptyRecycleBin() override { return false; }

  std::string folder;
  std::vector<std::pair<std::string, std::string>> started;
};

// Records the windows in the order they are asked for and plays the user's part in the
// modal ones through the scripts.
class RecordingViews : public StartupViews, public MainWindowViews {
 public:
  std::vector<std::string> calls;
  // What the user does in the agreement window once it has opened (default: I Agree).
  std::function<void(AgreementModel&)> agreementScript = [](AgreementModel& a) { a.agree(); };
  std::function<void(TipsModel&)> tipsScript = [](TipsModel& t) { t.ok(); };
  std::function<void(IeCookiesModel&)> cookiesScript = [](IeCookiesModel& c) { c.cancel(); };
  std::function<void(NetscapeCookiesModel&)> netscapeCookiesScript = [](NetscapeCookiesModel& c) {
    c.cancel();
  };
  std::function<void(ListViewerModel&)> viewerScript = [](ListViewerModel& v) { v.close(); };
  // Anything a test wants to look at while a window is up.
  std::function<void(const std::string&)> onCall;
  std::string lastPicture;

  void showAgreement(AgreementModel& a) override {
    record("agreement");
    a.open();
    if (!a.closed) agreementScript(a);
  }
  void showSplash(SplashModel& s) override { record("splash " + s.versionText); }
  MainWindowViews& createMainWindow(MainWindowModel& m) override {
    main = &m;
    lastPicture = m.picturePath;
    record("create main");
    return *this;
  }
  void closeSplash() override { record("close splash"); }

  void show() override { record("show main"); }
  void refresh() override {
    if (main && main->picturePath != lastPicture) {
      lastPicture = main->picturePath;
      record("picture " + lastPicture);
    }
  }
  void showTips(TipsModel& t) override {
    record("tips");
    tipsScript(t);
  }
  void showIeCookies(IeCookiesModel& c) override {
    record("ie cookies");
    cookiesScript(c);
  }
  void showNetscapeCookies(NetscapeCookiesModel& c) override {
    record("netscape cookies");
    netscapeCookiesScript(c);
  }
  void showViewer(ListViewerModel& v) override {
    record("viewer " + v.caption);
    viewerScript(v);
  }
  void closeOtherWindows() override { record("close others"); }
  void close() override { record("close main"); }

  MainWindowModel* main = nullptr;

 private:
  void record(const std::string& call) {
    calls.push_back(call);
    if (onCall) onCall(call);
  }
};

// A main window over a sandbox, an in-memory registry, a fake desktop and recording views.
class MainWindowFixture : public ::testing::Test {
 protected:
  Sandbox box;
  MemoryRegistry reg;
  FakeDesktop desktop{box.root()};
  RecordingViews views;
  Session session{{box.files(), reg, desktop, box.clock, box.random, box.ui}, box.root()};
  MainWindowModel model{session};
};

}  // namespace trwk::testing
