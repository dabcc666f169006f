#include "viewers/viewer_catalogue.h"

#include "cleaning/netscape_cookies_model.h"
#include "cleaning/path_availability.h"
#include "viewers/viewer_sources.h"

namespace trwk {

namespace {

std::string missingPath(const std::string& what, const std::string& browser) {
  return "Could not find " + what + " path.\r\nIf you use " + browser +
         " check the path under the 'Path' button.\r\nIf you don't use " + browser +
         ", you can disable the " + browser + " tabs under the 'Maintenance' button";
}

std::unique_ptr<ListViewerModel> folderViewer(Session& session, const char* caption, const char* logName,
                                              std::unique_ptr<FolderSource> source) {
  auto model = std::make_unique<ListViewerModel>(session, caption, logName, FolderSource::columns(),
                                                 std::move(source), true);
  model->sortColumn = 0;  // by name
  return model;
}

}  // namespace

std::unique_ptr<ListViewerModel> makeViewer(ViewerKind kind, Session& session, const ViewerPlaces& places) {
  const PathValues& paths = places.paths;
  switch (kind) {
    case ViewerKind::IeCache:
      // The cache's own index stays: only zap removes it, at the next start of Windows.
      return folderViewer(
          session, "Internet Explorer Cache", "IECache",
          std::make_unique<FolderSource>(session, paths.ie4, places.ieCacheIndexFound,
                                         missingPath("Internet Explorer Cache", "Internet Explorer"), true,
                                         std::vector<std::string>{"index.dat"}));
    case ViewerKind::NetscapeCache:
      return folderViewer(session, "Netscape Cache", "NetCache",
                          std::make_unique<FolderSource>(session, paths.netscape2, places.netscapeCacheFound,
                                                         missingPath("Netscape Cache", "Netscape"), true));
    case ViewerKind::OperaCache:
      return folderViewer(session, "Opera Cache", "OperaCache",
                          std::make_unique<FolderSource>(session, paths.opera2, places.operaCacheFound,
                                                         missingPath("Opera Cache", "Opera"), true));
    case ViewerKind::DocHistory:
      return folderViewer(session, "Document History", "DocHistory",
                          std::make_unique<FolderSource>(session, paths.win1, locationKnown(paths.win1),
                                                         "Could not find the Windows Doc History path.\r\n"
                                                         "Check the path under the 'Path' button.",
                                                         false));
    case ViewerKind::IeTypedUrls:
      return std::make_unique<ListViewerModel>(
          session, "Internet Explorer Typed URLs", "IETypedURLs", TypedUrlSource::columns(),
          std::make_unique<TypedUrlSource>(session, kTypedUrlsKey), false);
    case ViewerKind::NetscapeTypedUrls: {
      const std::string user = locationKnown(paths.netscape1A) && locationKnown(paths.netscape1C)
                                   ? netscapeUserFolder(paths)
                                   : std::string("-");
      return std::make_unique<ListViewerModel>(
          session, "Netscape Typed URLs", "NetTypedURLs", PrefsLinesSource::columns(),
          std::make_unique<PrefsLinesSource>(session, user, missingPath("Netscape User", "Netscape")), false);
    }
    case ViewerKind::RunHistory:
      return std::make_unique<ListViewerModel>(session, "Run History", "RunHistory", MruListSource::columns(),
                                               std::make_unique<MruListSource>(session, kRunMruKey), false);
    case ViewerKind::FindHistory:
      return std::make_unique<ListViewerModel>(session, "Find History", "FindHistory",
                                               MruListSource::columns(),
                                               std::make_unique<MruListSource>(session, kFindMruKey), false);
  }
  return nullptr;
}

}  // namespace trwk
