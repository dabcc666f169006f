#include "foundation/session.h"

namespace trwk {

Session::Session(Platform p, std::string folder)
    : platform(p),
      programFolder(std::move(folder)),
      log(p.files, p.clock, programFolder),
      settings(p.files, &log) {}

std::string programFolderFrom(std::string executableFolder) {
  if (!executableFolder.empty() && (executableFolder.back() == '\\' || executableFolder.back() == '/'))
    executableFolder.pop_back();
  return executableFolder;
}

}  // namespace trwk
