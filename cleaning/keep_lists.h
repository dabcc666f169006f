#pragma once
// Cookie keep lists: cookies1.lst (Internet Explorer file names) and cookies2.lst
// (Netscape cookies.txt lines) in the program folder.
#include <string>
#include <vector>

#include "cleaning/cleaning_context.h"
#include "platform/files.h"

namespace trwk {

class Trap;

// Fields of a list file: a field ends at a comma or a line end, blanks around it are
// dropped, a field in double quotes loses them. A missing file gives no fields.
std::vector<std::string> readListFields(Files& files, const std::string& path);

// Fills the main window's copy of the Internet Explorer keep list. Logs as "listCookiestoSave".
void listCookiesToSave(CleaningContext& context);
// The Internet Explorer cookie step: every cookie file not kept is overwritten by the
// safety level and deleted; "index.dat" is never touched. Logs as "removeCookies".
void removeCookies(CleaningContext& context);

// A stored folder text ("C:\x\" or "C:\x") followed by one name.
std::string folderFile(const std::string& folder, const std::string& name);

// What the two keep-list windows share: the right-hand list of entries and its editing.
class KeepListEditor {
 public:
  // listName and templateName are file names in the program folder
  // ("cookies1.lst", "cookies1.000").
  KeepListEditor(Session& session, std::string listName, std::string templateName);

  std::vector<std::string> entries;  // "Excluded from cleaning"
  int selectedEntry = -1;
  bool closed = false;

  // True when an entry equals the name once its trailing blanks are dropped.
  bool has(const std::string& name) const;
  // Adds the name at the end unless has(name).
  void addEntry(const std::string& name);
  void selectEntry(int index);
  // "Delete": removes the selected entry.
  void deleteEntry();
  void doubleClickEntry(int index);
  void cancel() { closed = true; }

 protected:
  // Reads the list file into entries (a missing file gives none).
  std::vector<std::string> readList();
  // Writes the entries, each followed by CR LF, after the template's content. The list
  // is replaced in one step, so a failure leaves the old list whole. A template that
  // cannot be read is reported with its failure number and the entries are still saved.
  void save(Trap& trap);

  Session& session_;

 private:
  std::string listName_, templateName_;
};

}  // namespace trwk
