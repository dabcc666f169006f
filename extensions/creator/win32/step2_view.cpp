#include "extensions/creator/win32/step2_view.h"

#include <utility>

#include "extensions/creator/win32/creator_resource.h"
#include "ui/win32/program_icon.h"

namespace trwk::creator::win32 {
namespace {

using trwk::win32::toWide;

constexpr int kFileOptionIds[] = {IDC_SINGLE_FILE, IDC_ALL_FILES, IDC_WITH_EXTENSION, IDC_FOLDER};
constexpr FileOption kFileOptions[] = {FileOption::SingleFile, FileOption::AllFiles,
                                       FileOption::WithExtension, FileOption::Folder};

}  // namespace

Step2View::Step2View(CreatorModel& model, std::function<void()> afterAction)
    : model_(model), afterAction_(std::move(afterAction)) {}

bool Step2View::onInit() {
  trwk::win32::setProgramIcon(hwnd());
  for (int id : {IDC_FILE_NAME, IDC_EXTENSION, IDC_REGISTRY_PATH, IDC_VALUE_NAME})
    SendMessageW(item(id), EM_LIMITTEXT, 255, 0);
  return false;
}

void Step2View::refresh() {
  refreshing_ = true;
  if (FolderBrowser* folders = model_.folders()) {
    refreshDrives(*folders);
    refreshFolders(*folders);
  }
  for (std::size_t i = 0; i < std::size(kFileOptionIds); ++i)
    setChecked(kFileOptionIds[i], model_.fileOption == kFileOptions[i]);
  setChecked(IDC_VALUE, model_.registryOption == RegistryOption::Value);
  setChecked(IDC_KEY, model_.registryOption == RegistryOption::Key);
  setBoxText(IDC_FILE_NAME, model_.fileName);
  setBoxText(IDC_EXTENSION, model_.extension);
  setBoxText(IDC_REGISTRY_PATH, model_.registryPath);
  setBoxText(IDC_VALUE_NAME, model_.valueName);
  setEnabled(IDC_ADD_FILES, model_.filesAddEnabled());
  setEnabled(IDC_ADD_REGISTRY, model_.registryAddEnabled());
  refreshing_ = false;
}

void Step2View::refreshDrives(FolderBrowser& folders) {
  HWND list = item(IDC_DRIVES);
  if (folders.drives() != shownDrives_) {
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (const std::string& drive : folders.drives())
      SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(toWide(drive).c_str()));
    shownDrives_ = folders.drives();
  }
  int current = -1;
  for (std::size_t i = 0; i < shownDrives_.size(); ++i)
    if (shownDrives_[i] == folders.drive()) current = static_cast<int>(i);
  SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(current), 0);
}

void Step2View::refreshFolders(FolderBrowser& folders) {
  const auto& rows = folders.folderRows();
  // Rebuilt only when another folder is open, so the list keeps its scroll position.
  if (folders.path() != shownFolder_ || rows.size() != shownRows_) {
    HWND list = item(IDC_FOLDERS);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const FolderBrowser::FolderRow& row : rows) {
      std::string shown(static_cast<std::size_t>(row.depth) * 3, ' ');
      shown += row.label;
      SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(toWide(shown).c_str()));
    }
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(folders.currentFolderRow()), 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    shownFolder_ = folders.path();
    shownRows_ = rows.size();
  }
  setText(IDC_FOLDER_PATH, folders.path());
}

void Step2View::boxChanged(int id) {
  if (refreshing_) return;
  std::string text = controlText(id);
  switch (id) {
    case IDC_FILE_NAME: model_.fileName = std::move(text); break;
    case IDC_EXTENSION: model_.extension = std::move(text); break;
    case IDC_REGISTRY_PATH: model_.registryPath = std::move(text); break;
    case IDC_VALUE_NAME: model_.valueName = std::move(text); break;
    default: return;
  }
  refresh();
}

void Step2View::keepFocusUsable(int fallbackId) {
  HWND focus = GetFocus();
  if (!focus || !IsWindowEnabled(focus)) SetFocus(item(fallbackId));
}

void Step2View::onCommand(int id, int code) {
  if (code == EN_CHANGE) return boxChanged(id);
  FolderBrowser* folders = model_.folders();
  if (id == IDC_DRIVES && code == CBN_SELCHANGE && folders) {
    auto chosen = static_cast<std::size_t>(SendMessageW(item(IDC_DRIVES), CB_GETCURSEL, 0, 0));
    if (chosen < shownDrives_.size()) folders->setDrive(shownDrives_[chosen]);
    return refresh();
  }
  if (id == IDC_FOLDERS && code == LBN_DBLCLK && folders) {
    folders->openFolderRow(static_cast<int>(SendMessageW(item(IDC_FOLDERS), LB_GETCURSEL, 0, 0)));
    return refresh();
  }
  if (code != BN_CLICKED) return;
  for (std::size_t i = 0; i < std::size(kFileOptionIds); ++i)
    if (id == kFileOptionIds[i]) {
      model_.fileOption = kFileOptions[i];
      return refresh();
    }
  switch (id) {
    case IDC_VALUE: model_.registryOption = RegistryOption::Value; return refresh();
    case IDC_KEY: model_.registryOption = RegistryOption::Key; return refresh();
    case IDC_ADD_FILES:
      model_.addFileLine();
      refresh();
      return keepFocusUsable(IDC_FOLDERS);
    case IDC_ADD_REGISTRY:
      model_.addRegistryLine();
      refresh();
      return keepFocusUsable(IDC_REGISTRY_PATH);
    case IDC_DONE: model_.done(); return afterAction_();
    default: return;  // Escape does not end the wizard; the title bar's close button does
  }
}

void Step2View::onClose() {
  model_.closeStep2();
  afterAction_();
}

}  // namespace trwk::creator::win32
