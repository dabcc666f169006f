#include "testing/sandbox.h"

#include <atomic>
#include <cstdlib>
#include <stdexcept>

#include "platform/text_encoding.h"

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>

#include "platform/posix/posix_services.h"
#include "testing/prefix_builder.h"
#endif

namespace trwk::testing {
namespace {

int nextNumber() {
  static std::atomic<int> counter{0};
  return ++counter;
}

std::string processId() {
#ifdef _WIN32
  return std::to_string(::_getpid());
#else
  return std::to_string(::getpid());
#endif
}

#ifdef _WIN32
// Removes a folder tree through the seam; links are removed as links and never entered.
void removeFolderTree(Files& files, const std::string& folder) {
  ListOptions everything;
  everything.files = everything.folders = everything.hiddenAndSystem = true;
  for (const auto& entry : files.list(folder + "\\*", everything)) {
    std::string path = folder + "\\" + entry.name;
    if (entry.isFolder && !entry.isLink) {
      removeFolderTree(files, path);
      continue;
    }
    try {
      if (!entry.isLink) files.clearAttributes(path);
      files.deleteFile(path);
    } catch (const std::exception&) {
      // What cannot go stays: nothing here may reach behind a link.
    }
  }
  try {
    files.removeFolder(folder);
  } catch (const std::exception&) {
  }
}
#endif

}  // namespace

#ifndef _WIN32
// Natively the sandbox owns a whole prefix, and points HOME and XDG_DATA_HOME into it
// while it lives, so that the recycle bin it may empty is its own.
struct Sandbox::Host {
  TempPrefix prefix;
  std::string oldHome, oldData;
  bool hadHome = false, hadData = false;

  Host() {
    if (const char* v = std::getenv("HOME")) hadHome = true, oldHome = v;
    if (const char* v = std::getenv("XDG_DATA_HOME")) hadData = true, oldData = v;
    ::setenv("HOME", prefix.host("home").c_str(), 1);
    ::setenv("XDG_DATA_HOME", prefix.host("home/.local/share").c_str(), 1);
  }
  ~Host() {
    hadHome ? (void)::setenv("HOME", oldHome.c_str(), 1) : (void)::unsetenv("HOME");
    hadData ? (void)::setenv("XDG_DATA_HOME", oldData.c_str(), 1) : (void)::unsetenv("XDG_DATA_HOME");
  }
};
#else
struct Sandbox::Host {};
#endif

Sandbox::Sandbox() : host_(std::make_unique<Host>()) {
  std::string id = processId() + "-" + std::to_string(nextNumber());
#ifdef _WIN32
  services_ = makeSystemServices();
  auto temp = desktop().knownFolder(KnownFolder::Temp);
  if (!temp) throw std::runtime_error("the sandbox needs a temporary folder");
  root_ = *temp + "\\trwk-" + id;
  files().createFolder(root_);
#else
  hostRoot_ = host_->prefix.hostPath();
  services_ = posix::makeServicesForPrefix(hostRoot_, "C:\\Program Files\\Tarnwick");
  files().createFolder("C:\\Program Files\\Tarnwick");
  root_ = "C:\\sandbox";
  files().createFolder(root_);
#endif
  regKey_ = "Software\\TarnwickTest\\" + id;
  if (registry().createKey(RootKey::CurrentUser, regKey_) != regstatus::kSuccess)
    throw std::runtime_error("the sandbox cannot create its registry key " + regKey_);
}

Sandbox::~Sandbox() {
#ifdef _WIN32
  try {
    removeFolderTree(files(), root_);
  } catch (...) {
  }
  registry().deleteKey(RootKey::CurrentUser, regKey_);
  registry().deleteKey(RootKey::CurrentUser, "Software\\TarnwickTest");  // stays while others use it
#endif
  // Natively the prefix goes as a whole with host_.
}

std::string Sandbox::path(const std::string& relative) const {
  return root_ + "\\" + relative;
}

void Sandbox::writeFile(const std::string& relative, const std::string& bytes) {
  for (std::size_t cut = relative.find('\\'); cut != std::string::npos; cut = relative.find('\\', cut + 1)) {
    std::string folder = path(relative.substr(0, cut));
    if (!files().folderExists(folder)) files().createFolder(folder);
  }
  files().replaceAtomically(path(relative), bytes);
}

std::string Sandbox::readFile(const std::string& relative) {
  return files().readAll(path(relative));
}

}  // namespace trwk::testing
