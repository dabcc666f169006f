// Extmaker1.exe: the plugin creator, a two-step wizard that writes one plugin into its
// own folder (the main program's folder).
#include <windows.h>
// After windows.h, which it builds on.
#include <commctrl.h>
// The seam has its own MessageBox type; the wide function is always called by name.
#undef MessageBox

#include <exception>
#include <string>
#include <vector>

#include "extensions/creator/creator_model.h"
#include "extensions/creator/win32/creator_resource.h"
#include "extensions/creator/win32/step1_view.h"
#include "extensions/creator/win32/step2_view.h"
#include "platform/system_platform.h"
#include "platform/win32/win32_ui.h"

namespace {

using trwk::creator::CreatorModel;

std::string currentFolder() {
  DWORD size = GetCurrentDirectoryW(0, nullptr);
  std::vector<wchar_t> buffer(size + 1);
  GetCurrentDirectoryW(size + 1, buffer.data());
  return trwk::win32::fromWide(buffer.data());
}

// Shows the window of the model's step after each button: step 2 replaces step 1, and
// the end of the wizard closes every window.
class Wizard {
 public:
  explicit Wizard(CreatorModel& model)
      : model_(model), step1_(model, [this] { follow(); }), step2_(model, [this] { follow(); }) {}

  bool start() {
    if (!step1_.createModeless(IDD_STEP1, nullptr)) return false;
    ShowWindow(step1_.hwnd(), SW_SHOW);
    SetForegroundWindow(step1_.hwnd());
    return true;
  }

 private:
  void follow() {
    switch (model_.step()) {
      case CreatorModel::Step::One: return;
      case CreatorModel::Step::Two:
        if (step2_.isOpen()) return;
        if (step2_.createModeless(IDD_STEP2, nullptr)) {
          ShowWindow(step2_.hwnd(), SW_SHOW);
          SetForegroundWindow(step2_.hwnd());
        }
        ShowWindow(step1_.hwnd(), SW_HIDE);
        return;
      case CreatorModel::Step::Ended:
        if (step1_.isOpen()) step1_.closeWindow();
        if (step2_.isOpen()) step2_.closeWindow();
        PostQuitMessage(0);
        return;
    }
  }

  CreatorModel& model_;
  trwk::creator::win32::Step1View step1_;
  trwk::creator::win32::Step2View step2_;
};

int run() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  trwk::SystemServices services = trwk::makeSystemServices();
  trwk::win32::Win32Ui ui;
  // The folder list opens where the program was started, on that drive.
  const std::string programFolder = services.desktop->programFolder();
  CreatorModel model(*services.files, ui, programFolder, currentFolder(),
                     trwk::systemFoldersOf(*services.desktop, programFolder));
  Wizard wizard(model);
  if (!wizard.start()) return 1;
  return trwk::win32::Win32Ui::runMessageLoop();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  try {
    return run();
  } catch (const std::exception& e) {
    MessageBoxW(nullptr, trwk::win32::toWide(e.what()).c_str(), L"Plugin Creator", MB_OK | MB_ICONERROR);
    return 1;
  }
}
