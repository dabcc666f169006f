#include "testing/fault_files.h"

#include "platform/failure.h"

namespace trwk::testing {

void FaultFiles::check(const std::string& operation) {
  ++calls[operation];
  auto f = faults_.find(operation);
  if (f != faults_.end()) throw Failure(f->second);
}

std::string FaultFiles::readAll(const std::string& path) {
  check("readAll");
  return inner_.readAll(path);
}
void FaultFiles::appendText(const std::string& path, const std::string& bytes) {
  check("appendText");
  inner_.appendText(path, bytes);
}
void FaultFiles::replaceAtomically(const std::string& path, const std::string& bytes) {
  check("replaceAtomically");
  inner_.replaceAtomically(path, bytes);
}
void FaultFiles::createFolder(const std::string& path) {
  check("createFolder");
  inner_.createFolder(path);
}
void FaultFiles::deleteFile(const std::string& path) {
  check("deleteFile");
  inner_.deleteFile(path);
}
void FaultFiles::removeFolder(const std::string& path) {
  check("removeFolder");
  inner_.removeFolder(path);
}
void FaultFiles::copyFile(const std::string& from, const std::string& to, bool overwrite) {
  check("copyFile");
  inner_.copyFile(from, to, overwrite);
}
void FaultFiles::clearAttributes(const std::string& path) {
  check("clearAttributes");
  inner_.clearAttributes(path);
}

void FaultFiles::overwriteInPlace(const std::string& path, const std::string& filler) {
  check("overwriteInPlace");
  inner_.overwriteInPlace(path, filler);
}

}  // namespace trwk::testing
