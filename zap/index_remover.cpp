#include "zap/index_remover.h"

#include <optional>

#include "cleaning/removal.h"
#include "foundation/run_log.h"
#include "foundation/settings.h"
#include "foundation/trap.h"
#include "platform/failure.h"

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
  }
  return removed;
}

}  // namespace trwk::zap
