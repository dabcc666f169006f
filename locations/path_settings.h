#pragma once
// "Save" of each family on the Path tab: validates the folders in the boxes, stores them
// in [Path] of mainten.ini and in memory, and switches the family's clean items on or
// off. Also the ten folder-pick buttons, typing in the Netscape "User" list, and fixPath,
// which puts the stored folders back into the tab at start-up.
#include <string>

#include "cleaning/clean_catalogue.h"
#include "cleaning/cleaning_context.h"
#include "foundation/session.h"
#include "locations/locations_model.h"
#include "locations/path_detection.h"

namespace trwk {

class PathSettings : public PathSaves {
 public:
  static constexpr const char* kPickerTitle = "Select Directory";

  // paths: the in-memory [Path] values the cleaners read; detection refills the
  // Netscape "User" list whenever the users box changes.
  PathSettings(Session& session, LocationsModel& model, PathValues& paths, CleanCatalogue& catalogue,
               PathDetection& detection)
      : session_(session), model_(model), paths_(paths), catalogue_(catalogue), detection_(detection) {}

  // A missing folder: Internet Explorer keeps its stored key, the others store "-". A
  // protected or unsafe folder (see locationRefusal) is missing here, and the message
  // says in one more sentence why.
  void saveIE() override;  // cmdIESpara
  void saveNetscape() override;
  void saveOpera() override;
  void saveWindows() override;

  // The pick button beside a box: the picked folder goes into the box (Cancel leaves it
  // as it was), then the box's family is saved.
  void pickFolder(PathBox box);
  // A box edited by hand; the users box refills the "User" list. Nothing is stored.
  void editBox(PathBox box, const std::string& text);
  // Typing in the "User" list's text: every change is saved at once.
  void typeUser(const std::string& text);
  // Picking an entry of the "User" list (stored by the next Netscape Save).
  void selectUser(int position);

  // The picked folder ending in "\", or current when the picker gave nothing.
  std::string setPath(const std::string& current);
  // The picked folder without a trailing "\" (a drive root keeps its own), or "".
  std::string BrowseForDirectory();

  // Puts the in-memory [Path] values into the boxes and sets the availability flags. A
  // value never stored, or one that may not be a location, becomes "-" in memory (the
  // file keeps it). storedUserPosition: [Path] Netscape1B as read.
  void fixPath(const std::string& storedUserPosition);

 private:
  void applyNetscape();
  void applyOpera();
  void applyIE();
  void applyWindows();
  // What a Save makes of a box's folder: stored when it exists and may be a location;
  // otherwise missing, with one sentence saying why when it is refused rather than absent.
  struct Verdict {
    bool stored = false;
    std::string why;
  };
  Verdict judge(const std::string& folder);
  bool known(PathBox box) const;
  void store(const char* key, const std::string& value);
  void info(const std::string& text);

  Session& session_;
  LocationsModel& model_;
  PathValues& paths_;
  CleanCatalogue& catalogue_;
  PathDetection& detection_;
};

}  // namespace trwk
