#pragma once
// A cleaning session whose known folders all lie in the sandbox: a Windows folder, Program
// Files, ProgramData and a user "tester" with roaming and local application data. The
// program folder is the sandbox itself.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cleaning/cleaning_context.h"
#include "testing/memory_registry.h"
#include "testing/sandbox.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace trwk::testing {

class SandboxDesktop : public Desktop {
 public:
  explicit SandboxDesktop(Sandbox& box) : box_(box) {
    const std::string profile = box.path("users\\tester");
    folders = {{KnownFolder::Windows, box.path("windows")},
               {KnownFolder::System, box.path("windows\\system32")},
               {KnownFolder::ProgramFiles, box.path("Program Files")},
               {KnownFolder::ProgramData, box.path("ProgramData")},
               {KnownFolder::Profiles, box.path("users")},
               {KnownFolder::Profile, profile},
               {KnownFolder::AppData, profile + "\\AppData\\Roaming"},
               {KnownFolder::LocalAppData, profile + "\\AppData\\Local"},
               {KnownFolder::Temp, profile + "\\AppData\\Local\\Temp"},
               {KnownFolder::Documents, profile + "\\Documents"},
               {KnownFolder::Desktop, profile + "\\Desktop"}};
  }
  std::optional<std::string> knownFolder(KnownFolder id) override {
    auto it = folders.find(id);
    return it == folders.end() ? std::nullopt : std::optional<std::string>(it->second);
  }
  std::string programFolder() override { return box_.root(); }
  bool startProgram(const std::string&, const std::string&) override { return false; }
  bool emptyRecycleBin() override { return false; }

  std::map<KnownFolder, std::string> folders;

 private:
  Sandbox& box_;
};

class RulesTest : public ::testing::Test {
 protected:
  Sandbox box;
  SandboxDesktop desktop{box};
  MemoryRegistry registry;
  Session session{{box.files(), registry, desktop, box.clock, box.random, box.ui}, box.root()};
  CleanCatalogue catalogue;
  RunState state;
  PathValues paths;
  std::vector<std::string> keep;
  CleaningContext context{session, catalogue, state, paths, keep};

  // Relative to the user's profile in the sandbox.
  void userFile(const std::string& relative, const std::string& bytes = "x") {
    box.writeFile("users\\tester\\" + relative, bytes);
  }
  bool has(const std::string& relative) {
    return box.files().fileExists(box.path(relative)) || box.files().folderExists(box.path(relative));
  }
  bool userHas(const std::string& relative) { return has("users\\tester\\" + relative); }
  std::string log() {
    return box.files().fileExists(session.log.path()) ? box.files().readAll(session.log.path()) : "";
  }

#ifndef _WIN32
  // A host link in the sandbox at `relative` to `target` (a host path or relative text).
  bool linkAt(const std::string& relative, const std::string& target) {
    std::string host = box.hostRoot() + "/drive_c/sandbox/";
    for (char c : relative) host += c == '\\' ? '/' : c;
    return ::symlink(target.c_str(), host.c_str()) == 0;
  }
  std::string hostOf(const std::string& relative) {
    std::string host = box.hostRoot() + "/drive_c/sandbox/";
    for (char c : relative) host += c == '\\' ? '/' : c;
    return host;
  }
#endif
};

}  // namespace trwk::testing
