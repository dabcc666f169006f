#include "shell/main_window_model.h"

#include "shell/tips_model.h"

namespace trwk {
namespace {

// Requests of a model that has no window yet go nowhere.
class NoViews : public MainWindowViews {
 public:
  void show() override {}
  void refresh() override {}
  void showTips(TipsModel&) override {}
  void closeOtherWindows() override {}
  void close() override {}
};

NoViews noViews;

}  // namespace

MainWindowModel::MainWindowModel(Session& session)
    : pages{"Internet Explorer", "Netscape", "Opera",       "Windows",   "User.def",
            "Plugins",           "Paths",    "Maintenance", "Statistics"},
      notices{Notice{"You dont have Internet Explorer installed or have specified incorrect paths"},
              Notice{"You dont have Netscape installed or have specified incorrect paths"},
              Notice{"You dont have Opera installed or have specified incorrect paths"}},
      session_(session),
      views_(&noViews) {}

void MainWindowModel::unload() {
  if (unloaded) return;  // a second close while closing changes nothing
  unloaded = true;
  views_->closeOtherWindows();
  visible = false;
  views_->close();
}

void MainWindowModel::selectPage(int index) {
  if (index < 0 || index >= static_cast<int>(pages.size())) return;
  page = index;
  views_->refresh();
}

void MainWindowModel::showPicture(const std::string& path) {
  picturePath = path;
  views_->refresh();
}

void MainWindowModel::setProgress(int value, int max) {
  progressMax = max > 0 ? max : 1;
  progressValue = value < 0 ? 0 : value > progressMax ? progressMax : value;
  views_->refresh();
}

void MainWindowModel::setStatus(const std::string& text) {
  statusText = text;
  views_->refresh();
}

}  // namespace trwk
