#pragma once
// "Auto-Detect": finds where Internet Explorer, Netscape, Opera and Windows keep the
// files the cleaners remove, and puts what it finds into the Path tab's boxes. Storing
// the result is each family's Save; findPath chains detection and Save for all four.
#include <optional>
#include <string>

#include "cleaning/cleaning_context.h"
#include "foundation/session.h"
#include "locations/locations_model.h"

namespace trwk {

// Why a folder cannot be one the cleaners work on, though it may exist: text that is not a
// full path on a drive (relative, "..", a network or device path ...) or a protected
// location (a drive root, the Windows folder, a profile root ...). Nothing when it can;
// the folders inside protected ones, such as the Windows folder's Temp, can.
std::optional<std::string> locationRefusal(Session& session, const std::string& folder);

class PathDetection {
 public:
  // paths: the in-memory [Path] values the cleaners read (findPath keeps IE4 in step).
  PathDetection(Session& session, LocationsModel& model, PathValues& paths)
      : session_(session), model_(model), paths_(paths) {}

  // The Windows folder and the Program Files folder, asked once at start-up.
  void takeSystemFolders();

  void detectIE();  // cmdIEHitta
  void detectNetscape();
  void detectOpera();
  void detectWindows();

  // Refills the Netscape "User" list with the entries of the users folder, selecting the
  // first one. A drive root ("C:\", "D:\", "E:\") leaves the list empty.
  void fillUserCombo(const std::string& folder);
  // Puts a text into the "Netscape Profile Directory" box; a change refills the list.
  void setUsersBox(const std::string& text);

  // Detects and saves every family, then writes [Path] IE4 and Detect = "1".
  void findPath(PathSaves& saves);

 private:
  // The shell's folder followed by "\", or "-" when the shell does not know it.
  std::string shellFolder(KnownFolder id);
  // The shell's folder as a location: "-" also when it may not be one.
  std::string shellLocation(KnownFolder id);
  // The folder, or "-" when it is not known or may not be a location.
  std::string location(const std::string& folder);
  // The first candidate that exists, or "-".
  std::string firstExisting(std::initializer_list<std::string> candidates);
  // The folder when it exists, else "-"; found tells which.
  std::string ifExists(const std::string& folder, bool& found);

  Session& session_;
  LocationsModel& model_;
  PathValues& paths_;
};

}  // namespace trwk
