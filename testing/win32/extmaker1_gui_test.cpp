// The plugin creator Extmaker1.exe worked through both steps as a person would: the
// plugin's description, then a file line and a mask line from the folder list and a
// registry value line, then "Done"; the header and body files hold exactly those.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "extensions/creator/win32/creator_resource.h"
#include "testing/win32/program_folder_test.h"

namespace trwk::gui {
namespace {

constexpr UINT kSendTime = 10000;
constexpr int kTabs = 402;          // trwk6's tab strip
constexpr int kPluginList = 4402;   // "Available Plugins" on trwk6's Plugins page
constexpr const wchar_t* kToolKey = L"Software\\TarnwickGuiTest\\Tool";

// Types into a box: the box tells its window of the change, as a key press would.
bool typeInto(HWND box, const std::wstring& value) {
  DWORD_PTR ignored = 0;
  return box && SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()),
                                    SMTO_ABORTIFHUNG, kSendTime, &ignored) != 0;
}

// Double-clicks the folder list's row whose text, without the indentation, is name.
bool openFolder(HWND dialog, const std::wstring& name) {
  HWND list = findChild(dialog, IDC_FOLDERS);
  DWORD_PTR count = 0;
  if (!list || !SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, kSendTime, &count))
    return false;
  for (DWORD_PTR row = 0; row < count; ++row) {
    wchar_t buffer[512] = {};
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, kSendTime,
                        &ignored);
    std::wstring label(buffer);
    if (label.substr(label.find_first_not_of(L' ')) != name) continue;
    SendMessageTimeoutW(list, LB_SETCURSEL, row, 0, SMTO_ABORTIFHUNG, kSendTime, &ignored);
    return SendMessageTimeoutW(dialog, WM_COMMAND, MAKEWPARAM(IDC_FOLDERS, LBN_DBLCLK),
                               reinterpret_cast<LPARAM>(list), SMTO_ABORTIFHUNG, kSendTime, &ignored) != 0;
  }
  return false;
}

bool waitUntil(const std::function<bool()>& done) {
  for (int i = 0; i < 200; ++i) {
    if (done()) return true;
    Sleep(50);
  }
  return done();
}

std::wstring wide(const std::string& s) {
  return std::wstring(s.begin(), s.end());
}

class Extmaker1Gui : public ProgramFolderTest {
 protected:
  void SetUp() override {
    ProgramFolderTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(fs::exists(folder / "Extmaker1.exe"));
    writeFile(folder / "traces" / "old.sav", "saved\n");
    writeFile(folder / "traces" / "a.bak", "backup\n");
    writeFile(folder / "traces" / "keep.txt", "kept\n");
  }

  // The "Info" box of the process holding exactly this text, answered with the button.
  void answerInfo(const GuiProcess& p, const std::wstring& message, int button) {
    HWND box = findWindow(p.id(), L"Info", kWindowTime);
    ASSERT_TRUE(box) << "windows: " << captions(p);
    EXPECT_TRUE(findChild(box, message)) << narrow(message);
    ASSERT_TRUE(click(findChild(box, button)));
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(box); }));
  }

  HWND step1(const GuiProcess& p) {
    HWND w = findWindow(p.id(), L"Plugin Creator 1.1 - Step 1", kWindowTime);
    EXPECT_TRUE(w) << "windows: " << captions(p);
    return w;
  }
};

TEST_F(Extmaker1Gui, BothStepsWriteAPluginThatTheMainProgramRuns) {
  // The values the plugin's registry line names, and one beside it that must stay.
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kToolKey, L"LastFile", REG_SZ, L"game.sav", 18), ERROR_SUCCESS);
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kToolKey, L"Volume", REG_SZ, L"7", 4), ERROR_SUCCESS);

  GuiProcess program((folder / "Extmaker1.exe").wstring(), L"", folder.wstring());
  HWND first = step1(program);
  ASSERT_TRUE(first);
  EXPECT_TRUE(
      findChild(first,
                L"It is recommended that you read the documentation before proceeding. The plug-ins removes "
                L"the files, folders and/or registry data, that you've programmed it to remove. If you don't "
                L"know or are unsure how or what to remove - don't do it. Be careful, backup your system and "
                L"test your plug-ins before you distribute them."));
  for (const wchar_t* label : {L"Plugin Name:", L"Version:", L"Created (date):", L"Author:", L"Plugin Info:"})
    EXPECT_TRUE(findChild(first, label)) << narrow(label);
  ASSERT_TRUE(typeInto(findChild(first, IDC_NAME), L"GuiGame"));
  ASSERT_TRUE(typeInto(findChild(first, IDC_VERSION), L"1.2"));
  ASSERT_TRUE(typeInto(findChild(first, IDC_CREATED), L"2024-05-01"));
  ASSERT_TRUE(typeInto(findChild(first, IDC_AUTHOR), L"Tester"));
  ASSERT_TRUE(typeInto(findChild(first, IDC_INFO), L"Removes the saved game"));
  ASSERT_TRUE(click(findChild(first, L"Next")));

  HWND second = findWindow(program.id(), L"Plugin Creator 1.1 - Step 2", kWindowTime);
  ASSERT_TRUE(second) << "windows: " << captions(program);
  EXPECT_FALSE(IsWindowVisible(first));
  for (const wchar_t* caption :
       {L"Files and Folders", L"Registry Keys and Values", L"Remove this single file",
        L"Remove all files in a folder", L"Remove all files in a folder with this extension:",
        L"Remove a folder (and sub folders)", L"Remove this registry value", L"Remove a registry key",
        L"Done",
        L"Double click the folder you want to remove or the folder where the file(s) you want to remove are "
        L"located",
        L"This option is only for advanced users, take a backup of the registry before you start!",
        L"Enter the registry path to the key (the root directory must be in capital letters ex. "
        L"HKEY_CURRENT_USER)"})
    EXPECT_TRUE(findChild(second, caption)) << narrow(caption);
  HWND addFiles = findChild(second, IDC_ADD_FILES);
  HWND addRegistry = findChild(second, IDC_ADD_REGISTRY);
  ASSERT_TRUE(addFiles && addRegistry);
  EXPECT_EQ(text(addFiles), L"Add to Plugin");
  EXPECT_EQ(text(addRegistry), L"Add to Plugin");
  EXPECT_FALSE(IsWindowEnabled(addFiles));
  EXPECT_FALSE(IsWindowEnabled(addRegistry));

  // The folder list opens at the folder the program was started in.
  ASSERT_TRUE(openFolder(second, L"traces"));
  const std::string traces = narrow(text(findChild(second, IDC_FOLDER_PATH)));
  ASSERT_EQ(traces.substr(traces.size() - 7), "\\traces") << traces;

  // A single file: asked first, appended on Yes, and the frame starts again.
  ASSERT_TRUE(setChecked(findChild(second, IDC_SINGLE_FILE), true));
  EXPECT_FALSE(IsWindowEnabled(addFiles)) << "no file name yet";
  ASSERT_TRUE(typeInto(findChild(second, IDC_FILE_NAME), L"old.sav"));
  EXPECT_TRUE(IsWindowEnabled(addFiles));
  ASSERT_TRUE(click(addFiles));
  answerInfo(program, wide("Do you want to add this line to your Plugin?\r\n" + traces + "\\old.sav"), IDYES);
  ASSERT_TRUE(waitUntil([&] { return !IsWindowEnabled(addFiles); }));
  EXPECT_FALSE(isChecked(findChild(second, IDC_SINGLE_FILE)));
  EXPECT_EQ(text(findChild(second, IDC_FILE_NAME)), L"");

  // A mask: the extension box loses its wildcard.
  ASSERT_TRUE(setChecked(findChild(second, IDC_WITH_EXTENSION), true));
  ASSERT_TRUE(typeInto(findChild(second, IDC_EXTENSION), L"*.bak"));
  ASSERT_TRUE(click(addFiles));
  answerInfo(program, wide("Do you want to add this line to your Plugin?\r\n" + traces + "\\*.bak"), IDYES);
  ASSERT_TRUE(waitUntil([&] { return !IsWindowEnabled(addFiles); }));

  // A line declined is not written.
  ASSERT_TRUE(setChecked(findChild(second, IDC_FOLDER), true));
  ASSERT_TRUE(click(addFiles));
  answerInfo(program, wide("Do you want to add this line to your Plugin?\r\n" + traces), IDNO);

  // A registry value, appended without a question.
  ASSERT_TRUE(setChecked(findChild(second, IDC_VALUE), true));
  EXPECT_FALSE(IsWindowEnabled(addRegistry)) << "no value name yet";
  ASSERT_TRUE(typeInto(findChild(second, IDC_VALUE_NAME), L"LastFile"));
  ASSERT_TRUE(
      typeInto(findChild(second, IDC_REGISTRY_PATH), L"HKEY_CURRENT_USER\\Software\\TarnwickGuiTest\\Tool"));
  EXPECT_TRUE(IsWindowEnabled(addRegistry));
  ASSERT_TRUE(click(addRegistry));
  ASSERT_TRUE(waitUntil([&] { return text(findChild(second, IDC_REGISTRY_PATH)).empty(); }));
  EXPECT_FALSE(IsWindowEnabled(addRegistry));

  ASSERT_TRUE(click(findChild(second, L"Done")));
  const std::string body = (folder / "GuiGame.cp1").string(), header = (folder / "GuiGame.cp2").string();
  answerInfo(program,
             wide("Plugin created!\r\n" + body + "\r\n" + header +
                  "\r\n\r\nYou must restart Tarnwick before you can use the new plugin"),
             IDOK);
  DWORD code = 1234;
  ASSERT_TRUE(program.waitForExit(kWindowTime, &code)) << "still open: " << captions(program);
  EXPECT_EQ(code, 0u);

  EXPECT_EQ(readFile(folder / "GuiGame.cp2"),
            "[Main]\r\nName=GuiGame\r\nVersion=1.2\r\nCreated=2024-05-01\r\nAuthor=Tester\r\nActive=0\r\n"
            "Info=Removes the saved game\r\n");
  EXPECT_EQ(readFile(folder / "GuiGame.cp1"),
            traces + "\\old.sav\r\n" + traces +
                "\\*.bak\r\nHKEY_CURRENT_USER\\Software\\TarnwickGuiTest\\Tool+"
                "LastFile\r\n");
  // The wizard only writes the plugin: the files it names are still there.
  EXPECT_TRUE(fs::exists(folder / "traces" / "old.sav"));
  EXPECT_TRUE(fs::exists(folder / "traces" / "a.bak"));

  // The main program lists it on its Plugins page; ticked and cleaned, it removes exactly
  // what its lines name.
  // Paths are not detected on this start: no box stands between the agreement and the
  // main window.
  writeFile(folder / "mainten.ini", "[Path]\r\nDetect=1\r\n");
  GuiProcess trwk6((folder / "trwk6.exe").wstring(), L"", folder.wstring());
  HWND agreement = findWindow(trwk6.id(), L"License Agreement and Disclaimer", kWindowTime);
  ASSERT_TRUE(agreement) << "windows: " << captions(trwk6);
  ASSERT_TRUE(click(findChild(agreement, L"I Agree")));
  HWND main = findWindow(trwk6.id(), L"Tarnwick", kWindowTime);
  ASSERT_TRUE(main) << "windows: " << captions(trwk6);
  HWND tabs = findChild(main, kTabs);
  ASSERT_TRUE(tabs);
  // The tab strip moves on a page at a time, as the arrow keys do, up to the Plugins page.
  for (int i = 0; i < 9 && !IsWindowVisible(findChild(main, kPluginList)); ++i) {
    PostMessageW(tabs, WM_KEYDOWN, VK_RIGHT, 0);
    Sleep(300);
  }
  HWND list = findChild(main, kPluginList);
  ASSERT_TRUE(list && IsWindowVisible(list)) << "the Plugins page is up";
  ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 1);
  EXPECT_EQ(SendMessageW(list, LB_GETITEMDATA, 0, 0), 0) << "a new plugin is not active";
  SendMessageW(list, LB_SETCURSEL, 0, 0);
  SendMessageW(list, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(SendMessageW(list, LB_GETITEMDATA, 0, 0), 1);
  EXPECT_NE(readFile(folder / "GuiGame.cp2").find("Active=True\r\n"), std::string::npos)
      << "a tick is written at once";

  ASSERT_TRUE(click(findChild(main, L"Clean Plugins")));
  HWND done = findWindow(trwk6.id(), L"Info", kWindowTime);
  ASSERT_TRUE(done) << "windows: " << captions(trwk6);
  EXPECT_TRUE(findChild(done, L"Cleaning System...Done"));
  ASSERT_TRUE(click(findChild(done, L"OK")));
  EXPECT_FALSE(fs::exists(folder / "traces" / "old.sav"));
  EXPECT_FALSE(fs::exists(folder / "traces" / "a.bak"));
  EXPECT_TRUE(fs::exists(folder / "traces" / "keep.txt")) << "no line names it";
  wchar_t value[16] = {};
  DWORD size = sizeof(value);
  EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, kToolKey, L"LastFile", RRF_RT_REG_SZ, nullptr, value, &size),
            ERROR_FILE_NOT_FOUND);
  size = sizeof(value);
  EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, kToolKey, L"Volume", RRF_RT_REG_SZ, nullptr, value, &size),
            ERROR_SUCCESS);
  close(main);
  DWORD mainCode = 1234;
  EXPECT_TRUE(trwk6.waitForExit(kWindowTime, &mainCode)) << "still open: " << captions(trwk6);
  EXPECT_EQ(mainCode, 0u);
  EXPECT_NE(readFile(folder / "GuiGame.cp2").find("Active=True\r\n"), std::string::npos);
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TarnwickGuiTest");
}

TEST_F(Extmaker1Gui, AnEmptyBoxIsReportedAndCancelEndsWithoutWriting) {
  GuiProcess program((folder / "Extmaker1.exe").wstring(), L"", folder.wstring());
  HWND first = step1(program);
  ASSERT_TRUE(first);
  ASSERT_TRUE(typeInto(findChild(first, IDC_NAME), L"Half"));
  ASSERT_TRUE(click(findChild(first, L"Next")));
  answerInfo(program, L"You have to fill all fields in the form", IDOK);
  EXPECT_TRUE(IsWindowVisible(first));
  ASSERT_TRUE(click(findChild(first, L"Cancel")));
  DWORD code = 1234;
  ASSERT_TRUE(program.waitForExit(kWindowTime, &code)) << "still open: " << captions(program);
  EXPECT_EQ(code, 0u);
  EXPECT_FALSE(fs::exists(folder / "Half.cp1"));
  EXPECT_FALSE(fs::exists(folder / "Half.cp2"));
}

}  // namespace
}  // namespace trwk::gui
