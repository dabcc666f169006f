// "Auto-Start on Windows Startup" on each registry backend: natively an in-memory
// registry and the Wine prefix's user.reg, under Wine and Windows the real registry.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "cleaning/clean_catalogue.h"
#include "platform/text_encoding.h"
#include "testing/memory_registry.h"
#include "testing/sandbox.h"

namespace trwk {
namespace {

constexpr const char* kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Sends the user's Run key to a key of the test's own, so that a test run on a real
// Windows never registers anything to start.
class RunKeyRedirect : public Registry {
 public:
  RunKeyRedirect(Registry& inner, std::string target) : inner_(inner), target_(std::move(target)) {}
  long keyExists(RootKey r, const std::string& k) override { return inner_.keyExists(r, map(r, k)); }
  long createKey(RootKey r, const std::string& k) override { return inner_.createKey(r, map(r, k)); }
  long setString(RootKey r, const std::string& k, const std::string& n, const std::string& v) override {
    return inner_.setString(r, map(r, k), n, v);
  }
  long queryValue(RootKey r, const std::string& k, const std::string& n, RegValue& out) override {
    return inner_.queryValue(r, map(r, k), n, out);
  }
  long deleteValue(RootKey r, const std::string& k, const std::string& n) override {
    return inner_.deleteValue(r, map(r, k), n);
  }
  long deleteKey(RootKey r, const std::string& k) override { return inner_.deleteKey(r, map(r, k)); }

 private:
  std::string map(RootKey root, const std::string& subkey) const {
    return root == RootKey::CurrentUser && equalsNoCase(subkey, kRun) ? target_ : subkey;
  }
  Registry& inner_;
  std::string target_;
};

// Ticks and clears the box on one registry whose Run key does not exist yet.
void tickAndClear(testing::Sandbox& box, Registry& registry) {
  Session session{{box.files(), registry, box.desktop(), box.clock, box.random, box.ui}, box.root()};
  CleanCatalogue catalogue;
  ASSERT_NE(registry.keyExists(RootKey::CurrentUser, kRun), 0) << "the test needs a missing Run key";

  catalogue.setAutoStart(session, true);
  RegValue value;
  ASSERT_EQ(registry.queryValue(RootKey::CurrentUser, kRun, "Tarnwick", value), 0)
      << "a missing Run key is made, not skipped";
  EXPECT_EQ(value.type, ValueType::String);
  EXPECT_EQ(value.data.substr(0, value.data.find('\0')), box.root() + "\\trwk6.exe");

  catalogue.setAutoStart(session, true);  // again at the next start: the same one value
  catalogue.setAutoStart(session, false);
  EXPECT_FALSE(catalogue.autoStart);
  EXPECT_NE(registry.queryValue(RootKey::CurrentUser, kRun, "Tarnwick", value), 0);
  EXPECT_EQ(registry.keyExists(RootKey::CurrentUser, kRun), 0) << "the Run key itself stays";
  EXPECT_TRUE(box.ui.boxes.empty());
}

TEST(AutoStartTest, TickingMakesAMissingRunKeyInMemory) {
  testing::Sandbox box;
  testing::MemoryRegistry memory;
  tickAndClear(box, memory);
}

TEST(AutoStartTest, TickingMakesAMissingRunKeyOnTheSystemRegistry) {
  testing::Sandbox box;
  const std::string target = box.regKey() + "\\Run";
  RunKeyRedirect redirected(box.registry(), target);
  tickAndClear(box, redirected);
  // The sandbox removes only its own empty key.
  EXPECT_EQ(box.registry().deleteKey(RootKey::CurrentUser, target), 0);
}

}  // namespace
}  // namespace trwk
