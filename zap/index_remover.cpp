#include "zap/index_remover.h"

#include <optional>

#include "cleaning/removal.h"
#include "foundation/run_log.h"
#include "foundation/settings.h"
#include "foundation/trap.h"
#include "platform/failure.h"
#include "platform/text_encoding.h"
#include "platform/wildcard.h"

namespace trwk::zap {

namespace {

// The folder text as stored, turned into the mask of its index files; nothing when the
// folder is unknown ("-" or empty) or not there.
std::optional<std::string> checkFileName(Files& files, Trap& trap, const std::string& folder) {
  if (folder.empty() || folder == "-") return std::nullopt;
  if (!files.folderExists(folder)) {
    trap.report(fail::kPathNotFound, failureDescription(fail::kPathNotFound) + ": " + folder);
    return std::nullopt;
  }
  const bool separated = folder.back() == '\\' || folder.back() == '/';
  return folder + (separated ? "" : "\\") + "*.dat";
}

// The history's records: History.IE5\index.dat and the index.dat of each MSHist* folder
// in it (the history of one day or week). One walk from History.IE5, which, like every
// MSHist* folder below it, is opened without following a link; a link goes as itself and
// a folder its index leaves empty goes too. Nothing when there is no History.IE5.
std::uint64_t removeHistoryRecords(Files& files, Trap& trap, const Protection& protection,
                                   const std::string& history) {
  const bool separated = history.back() == '\\' || history.back() == '/';
  const std::string records = history + (separated ? "" : "\\") + "History.IE5";
  if (!files.folderExists(records)) return 0;
  const KeepRule keep = [](const DirEntry& entry, int depth) {
    const bool index = !entry.isFolder && equalsNoCase(entry.name, "index.dat");
    if (depth == 0) return entry.isFolder && !entry.isLink ? !matchesMask(entry.name, "MSHist*") : !index;
    return depth > 1 || !index;
  };
  Removal removal(files, protection);
  trap.run([&] { removal.deleteMatching(records + "\\*", true, OnError::KeepGoing, keep); });
  if (int failure = removal.firstFailure()) trap.report(failure, removal.firstFailureText());
  return removal.stats().files;
}

}  // namespace

std::uint64_t removeIndexFiles(Files& files, Clock& clock, Desktop& desktop,
                               const std::string& programFolder) {
  RunLog log(files, clock, programFolder);
  Settings settings(files, &log);
  const std::string ini = inProgramFolder(programFolder, "mainten.ini");
  Trap main(log, "ZAP-Main"), getIni(log, "ZAP-getIni"), check(log, "ZAP-checkFileName");

  if (!files.fileExists(ini)) {
    getIni.report(fail::kFileNotFound, failureDescription(fail::kFileNotFound) + ": " + ini);
    return 0;
  }
  const Protection protection(files, systemFoldersOf(desktop, programFolder), programFolder);
  std::uint64_t removed = 0;
  for (const char* key : {"IE1", "IE2", "IE3", "IE4"}) {
    main.checkpoint();
    getIni.checkpoint();
    check.checkpoint();
    std::string folder;
    getIni.run([&] { folder = settings.getini("Path", key, ini); });
    std::optional<std::string> mask = checkFileName(files, check, folder);
    if (!mask) continue;
    Removal removal(files, protection);
    main.run([&] { removed += removal.deleteMatching(*mask, false, OnError::KeepGoing); });
    if (int failure = removal.firstFailure()) main.report(failure, removal.firstFailureText());
    if (std::string(key) == "IE1") removed += removeHistoryRecords(files, main, protection, folder);
  }
  return removed;
}

}  // namespace trwk::zap
