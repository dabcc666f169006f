#pragma once
// The viewer windows the family pages open, each with its caption and its name in the
// run log, built over the stored locations.
#include <memory>

#include "cleaning/cleaning_context.h"
#include "viewers/list_viewer_model.h"

namespace trwk {

enum class ViewerKind {
  IeCache,            // "View Cache" on the Internet Explorer page
  IeTypedUrls,        // "View Typed URLs" on the Internet Explorer page
  NetscapeCache,      // "View Cache" on the Netscape page
  NetscapeTypedUrls,  // "View Typed URLs" on the Netscape page
  OperaCache,         // "View Cache" on the Opera page
  RunHistory,         // "View Run History" on the Windows page
  FindHistory,        // "View Find History" on the Windows page
  DocHistory,         // "View Doc History" on the Windows page
};

// What the viewers know of the stored locations: the in-memory [Path] values and whether
// each cache folder was found (a cache viewer opens only over a found folder).
struct ViewerPlaces {
  PathValues paths;
  bool ieCacheIndexFound = false;
  bool netscapeCacheFound = false;
  bool operaCacheFound = false;
};

inline constexpr const char* kTypedUrlsKey = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
inline constexpr const char* kRunMruKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
inline constexpr const char* kFindMruKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Doc Find Spec MRU";

std::unique_ptr<ListViewerModel> makeViewer(ViewerKind kind, Session& session, const ViewerPlaces& places);

}  // namespace trwk
