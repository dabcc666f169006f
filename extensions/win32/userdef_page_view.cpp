#include "extensions/win32/userdef_page_view.h"

#include <algorithm>
#include <utility>

#include "extensions/win32/userdef_resource.h"

namespace trwk::win32 {
namespace {

constexpr int kFirstSetItem = 22;  // clean items 22..25 are the sets 1..4

bool inRange(int id, int first, int count) {
  return id >= first && id < first + count;
}

// The folder list indents each row by its depth, as a file dialog's folder tree does.
std::vector<std::string> folderLabels(const FolderBrowser& browser) {
  std::vector<std::string> labels;
  for (const FolderBrowser::FolderRow& row : browser.folderRows())
    labels.push_back(std::string(static_cast<std::size_t>(row.depth) * 3, ' ') + row.label);
  return labels;
}

}  // namespace

UserDefPageView::UserDefPageView(HWND parent, UserDefSets& sets, CleanCatalogue& catalogue,
                                 UserDefPageActions actions, RECT area)
    : sets_(sets), catalogue_(catalogue), actions_(std::move(actions)) {
  createPage(IDD_USERDEF_PAGE, parent, area);
}

bool UserDefPageView::onInit() {
  toolbar_.create(hwnd(), IDC_UD_TOOLBAR, {0, 0, 232, 15}, IDC_UD_TOOL_FIRST, sets_.toolbar());
  return PageView::onInit();
}

void UserDefPageView::beforeShown() {
  sets_.browser.refresh();  // drives and folders may have changed while hidden
}

void UserDefPageView::refreshSets() {
  for (int k = 0; k < kUserDefSets; ++k) {
    const auto at = static_cast<std::size_t>(k);
    setChecked(IDC_UD_ACTIVATE_FIRST + k, catalogue_.userDefNameEnabled[at]);
    setBoxText(IDC_UD_NAME_FIRST + k, catalogue_.userDefNames[at]);
    setEnabled(IDC_UD_NAME_FIRST + k, catalogue_.userDefNameEnabled[at]);
    const CleanItem& clean = catalogue_.item(kFirstSetItem + k);
    setBoxText(IDC_UD_ITEM_FIRST + k, clean.label);
    setChecked(IDC_UD_ITEM_FIRST + k, clean.ticked);
    setEnabled(IDC_UD_ITEM_FIRST + k, clean.enabled);
  }
}

void UserDefPageView::refreshEditor() {
  showComboRows(IDC_UD_CHOOSER, sets_.chooser.rows, shownChooser_, sets_.chooser.selected, !filled_);
  showListRows(IDC_UD_ENTRIES, sets_.entries, shownEntries_, sets_.selectedEntry, !filled_);
  setEnabled(IDC_UD_ADD, sets_.addEnabled);
  setEnabled(IDC_UD_REMOVE, sets_.removeEnabled);
  toolbar_.show(sets_.toolbar());
}

void UserDefPageView::refreshPickers() {
  const FolderBrowser& browser = sets_.browser;
  const auto drive = std::find(browser.drives().begin(), browser.drives().end(), browser.drive());
  const int driveRow =
      drive == browser.drives().end() ? -1 : static_cast<int>(drive - browser.drives().begin());
  showComboRows(IDC_UD_DRIVES, browser.drives(), shownDrives_, driveRow, !filled_);

  setBoxText(IDC_UD_FOLDER_PATH, browser.path());
  showListRows(IDC_UD_FOLDERS, folderLabels(browser), shownFolders_, browser.currentFolderRow(), !filled_);
  showListRows(IDC_UD_FILES, browser.fileNames(), shownFiles_, browser.selectedFile(), !filled_);
  setEnabled(IDC_UD_FILES, sets_.fileListEnabled);

  setBoxText(IDC_UD_PATTERN, sets_.patternText);
  setEnabled(IDC_UD_PATTERN, sets_.patternEnabled);
  setChecked(IDC_UD_OPTION_ALL_FILES, sets_.option == UserDefOption::AllFilesInFolder);
  setChecked(IDC_UD_OPTION_SINGLE, sets_.option == UserDefOption::SingleFiles);
  setChecked(IDC_UD_OPTION_FOLDER, sets_.option == UserDefOption::FolderAndSubfolders);
}

void UserDefPageView::refresh() {
  if (!hwnd()) return;
  refreshing_ = true;
  refreshSets();
  refreshEditor();
  refreshPickers();
  filled_ = true;
  refreshing_ = false;
}

// Every action may change the lists, the sets and the main window's items.
void UserDefPageView::act(const std::function<void()>& action) {
  action();
  refresh();
  actions_.afterAction();
}

void UserDefPageView::onSetsCommand(int id, int code) {
  if (inRange(id, IDC_UD_ACTIVATE_FIRST, kUserDefSets)) {
    if (code != BN_CLICKED) return;
    const bool on = checked(id);
    act([&] { actions_.activate(id - IDC_UD_ACTIVATE_FIRST, on); });
  } else if (inRange(id, IDC_UD_NAME_FIRST, kUserDefSets)) {
    if (code != EN_CHANGE) return;
    const std::string name = controlText(id);
    act([&] { actions_.rename(id - IDC_UD_NAME_FIRST, name); });
  } else if (inRange(id, IDC_UD_ITEM_FIRST, kUserDefSets)) {
    if (code != BN_CLICKED) return;
    const bool on = checked(id);
    act([&] { catalogue_.item(kFirstSetItem + id - IDC_UD_ITEM_FIRST).ticked = on; });
  } else if (id == IDC_UD_CLEAN && code == BN_CLICKED) {
    act([&] { actions_.cleanUserDef(); });
  } else if (id == IDC_UD_PREVIEW && code == BN_CLICKED) {
    act([&] { actions_.previewUserDef(); });
  } else if (id == IDC_UD_DEFINED_FILES && code == BN_CLICKED) {
    act([&] { actions_.showDefinedFiles(); });
  } else if (id == IDC_UD_CHOOSER && code == CBN_SELCHANGE) {
    const int row = comboSelection(item(id));
    act([&] { sets_.chooseRow(row); });
  } else if (id == IDC_UD_ENTRIES) {
    const int row = listSelection(item(id));
    if (code == LBN_SELCHANGE)
      act([&] { sets_.selectEntry(row); });
    else if (code == LBN_DBLCLK)
      act([&] { sets_.doubleClickEntry(row); });
  } else if (id == IDC_UD_SAVE && code == BN_CLICKED) {
    act([&] { sets_.save(); });
  } else if (id == IDC_UD_REMOVE && code == BN_CLICKED) {
    act([&] { sets_.remove(); });
  }
}

void UserDefPageView::onPickersCommand(int id, int code) {
  FolderBrowser& browser = sets_.browser;
  if (id == IDC_UD_DRIVES && code == CBN_SELCHANGE) {
    const int row = comboSelection(item(id));
    if (row >= 0 && row < static_cast<int>(browser.drives().size()))
      act([&] { browser.setDrive(browser.drives()[static_cast<std::size_t>(row)]); });
  } else if (id == IDC_UD_FOLDERS && code == LBN_DBLCLK) {
    const int row = listSelection(item(id));
    act([&] { browser.openFolderRow(row); });
  } else if (id == IDC_UD_FILES) {
    const int row = listSelection(item(id));
    if (code == LBN_SELCHANGE)
      act([&] { browser.selectFile(row); });
    else if (code == LBN_DBLCLK)
      act([&] { sets_.doubleClickFile(row); });
  } else if (id == IDC_UD_PATTERN && code == EN_CHANGE) {
    const std::string text = controlText(id);
    act([&] { sets_.setPattern(text); });
  } else if (code == BN_CLICKED &&
             (id == IDC_UD_OPTION_ALL_FILES || id == IDC_UD_OPTION_SINGLE || id == IDC_UD_OPTION_FOLDER)) {
    const UserDefOption option = id == IDC_UD_OPTION_ALL_FILES ? UserDefOption::AllFilesInFolder
                                 : id == IDC_UD_OPTION_SINGLE  ? UserDefOption::SingleFiles
                                                               : UserDefOption::FolderAndSubfolders;
    act([&] { sets_.chooseOption(option); });
  } else if (id == IDC_UD_ADD && code == BN_CLICKED) {
    act([&] { sets_.add(); });
  }
}

void UserDefPageView::onCommand(int id, int code) {
  if (refreshing_) return;
  if (const int tool = toolbar_.buttonOf(id); tool >= 0)
    act([&] { sets_.pressTool(tool); });
  else if (id >= IDC_UD_DRIVES && id <= IDC_UD_FOLDER_PATH)
    onPickersCommand(id, code);
  else
    onSetsCommand(id, code);
}

}  // namespace trwk::win32
