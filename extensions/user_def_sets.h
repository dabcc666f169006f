#pragma once
// The four user-defined file sets ("User.def 1".."User.def 4"): the editor of the
// User.def page (set chooser, entry list, the "All Files" pickers and their options), the
// list files userdef1.lst..userdef4.lst, and the cleaning of the ticked sets.
//
// The set names and activations belong to the clean-item catalogue (UDname, UDvalue);
// this model only reads them.
#include <cstddef>
#include <string>
#include <vector>

#include "cleaning/cleaning_context.h"
#include "extensions/folder_browser.h"
#include "foundation/session.h"
#include "platform/failure.h"
#include "ui/toolbar.h"

namespace trwk {

class Trap;

inline constexpr int kUserDefSets = 4;
// List rows are 16-bit: a set holds at most this many entries.
inline constexpr std::size_t kMaxUserDefEntries = 32767;

// "userdef3.lst" and "userdef3.000" for set 3 (set = 1..4).
std::string userDefListName(int set);
std::string userDefBaseName(int set);

// The lines of a list file as Windows-1252 text, one entry per line, commas and spaces
// kept. A line ends at CR LF, a lone CR or a lone LF. Throws Failure when the file
// cannot be read (53 when it is missing).
std::vector<std::string> readUserDefLines(Files& files, const std::string& path);

// The chooser of active sets: one row per active set, in set order, and the set each
// row stands for.
struct SetChooser {
  std::vector<std::string> rows;
  std::vector<int> rowSets;  // set number 1..4 of each row
  int selected = -1;

  // Rebuilds the rows from the catalogue: a set is active when its stored flag, read as a
  // number, is 1. A flag that is not a number is logged through the trap and its set left
  // out. Nothing is chosen afterwards.
  void rebuild(const CleanCatalogue& catalogue, Trap& trap);
};

enum class UserDefOption { AllFilesInFolder, SingleFiles, FolderAndSubfolders };

class UserDefSets {
 public:
  // startFolder: where the folder list opens first.
  UserDefSets(Session& session, CleanCatalogue& catalogue, const std::string& startFolder = "C:\\");

  // --- "User.def Files" frame
  SetChooser chooser;
  int chosenSet = 1;                 // 1..4
  std::vector<std::string> entries;  // the chosen set's list, in file order
  int selectedEntry = -1;
  bool addEnabled = false;
  bool removeEnabled = false;

  // --- "All Files" frame
  FolderBrowser browser;
  UserDefOption option = UserDefOption::SingleFiles;
  bool fileListEnabled = false;
  bool patternEnabled = true;
  std::string patternText = "*.*";

  // Refreshes the set chooser from the active sets and loads the set of row 0; with no
  // active set the list is cleared and "Add", "Remove" and the file list are disabled.
  // Failures are logged as "fixUserDef".
  void fixUserDef();
  // Loads the chosen set's list file into the entry list. A missing list file leaves the
  // list empty and is logged, as every failure here, as "fillUserDefList".
  void fillUserDefList();
  // A choice in the set chooser.
  void chooseRow(int row);

  // One of the three options; the pattern box and the file list follow it.
  void chooseOption(UserDefOption chosen);
  // Every edit of the pattern box.
  void setPattern(const std::string& text);

  // "Add": the folder list's folder, its files or the selected file, by the option. A
  // guarded folder asks first, and only Yes adds it (cleaning refuses it all the same).
  // The set is saved whether or not anything was added.
  void add();
  // A double click in the file list adds that one file.
  void doubleClickFile(int row);

  void selectEntry(int row);
  // "Remove": the highlighted entry goes, then the set is saved.
  void remove();
  void doubleClickEntry(int row);

  // "Save": the list file is started from the set's base file and gets every entry as
  // one line ended by CR LF. A base file that cannot be read is reported by the system's
  // error code for it (systemErrorOf: 2 when it is missing) and the entries are still
  // written; the file is replaced in one step.
  void save();

  // The page's toolbar: "Add" and "Remove" repeat the buttons and are enabled with them.
  enum Tool { kToolAdd, kToolRemove };
  Toolbar toolbar() const { return {{"Add", addEnabled}, {"Remove", removeEnabled}}; }
  // A press on a disabled button does nothing.
  void pressTool(int tool);

  // The text an option adds for folder P (and a file name for single files).
  static std::string candidateFor(UserDefOption option, const std::string& folder,
                                  const std::string& fileName = "");
  // A folder the protected-location policy refuses to empty or remove: any drive root,
  // the Windows folder, a profile, the program folder, what holds one of these ... in any
  // spelling.
  bool isGuarded(const std::string& folder) const;

 private:
  bool ask(const std::string& text);

  Session& session_;
  CleanCatalogue& catalogue_;
};

// The Windows system error code that a failure stands for, as GetLastError tells it after
// a failed file operation: 2 for a missing file (53), 3 for a missing folder (76), 5 for
// a denied access (70, 75), 32 for a file in use (55), 80 for an existing file (58), 112
// for a full disk (61); 31, a general failure, for anything else.
int systemErrorOf(const Failure& failure);

// The viewer window "User Defined Files": its own chooser of the active sets and the
// chosen set's list; nothing can be edited. Failures are logged as "Form4.fixUserDef"
// and "Form4.fillUserDefList".
class UserDefViewer {
 public:
  UserDefViewer(Session& session, const CleanCatalogue& catalogue);

  SetChooser chooser;
  int chosenSet = 1;
  std::vector<std::string> entries;
  bool closed = false;

  // On opening: the chooser is rebuilt, row 0 chosen and its set loaded.
  void open();
  void chooseRow(int row);
  // "Done".
  void done() { closed = true; }

 private:
  void fixUserDef();
  void fillUserDefList();

  Session& session_;
  const CleanCatalogue& catalogue_;
};

// "Clean User.def": every ticked set of items 22..25, in order, one progress step each.
// The sets are cleaned from their list files as last saved.
void cleanUserDefined(CleaningContext& context, UserDefSets& sets);
void cleanUserDefined(CleaningContext& context);
// Cleans one set (0..3 = set 1..4): each line of its list names a file, a folder (removed
// with its contents) or a mask in one folder (matching files and folders). Lines naming
// nothing are skipped; lines that are not a full path on a drive (unsafePathText) are
// refused and logged, and the removal engine refuses protected locations.
void removeUserdefinedSel(CleaningContext& context, int set);

}  // namespace trwk
