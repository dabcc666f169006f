#pragma once
// A throwaway place for one test: natively a fresh minimal Wine prefix in a temporary
// folder served by the POSIX backend; on Windows a fresh temporary folder and registry
// key served by the real API. Removed again when the sandbox goes.
#include <memory>
#include <string>

#include "platform/platform.h"
#include "platform/system_platform.h"
#include "testing/fixed_clock.h"
#include "testing/scripted_ui.h"

namespace trwk::testing {

class Sandbox {
 public:
  Sandbox();
  ~Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  Files& files() { return *services_.files; }
  Registry& registry() { return *services_.registry; }
  Desktop& desktop() { return *services_.desktop; }
  FixedClock clock;
  CountingRandom random;
  ScriptedUi ui;
  Platform platform() { return {files(), registry(), desktop(), clock, random, ui}; }

  // Windows path of an empty folder that belongs to this test, with no trailing
  // separator ("C:\sandbox" natively, "C:\users\...\Temp\trwk-1234" on Windows).
  const std::string& root() const { return root_; }
  // root() + "\" + relative.
  std::string path(const std::string& relative) const;
  // A key under HKEY_CURRENT_USER that belongs to this test ("Software\TarnwickTest\1234"),
  // created empty and deleted with the sandbox.
  const std::string& regKey() const { return regKey_; }

  // Test set-up helpers that go through the seam.
  void writeFile(const std::string& relative, const std::string& bytes);
  std::string readFile(const std::string& relative);

  // Natively: the host folder of the prefix (for tests that look behind the seam).
  std::string hostRoot() const { return hostRoot_; }

 private:
  struct Host;                  // what the platform needs kept alive (natively: the prefix)
  std::unique_ptr<Host> host_;  // declared first, so that it goes last
  SystemServices services_;
  std::string root_, regKey_, hostRoot_;
};

}  // namespace trwk::testing
