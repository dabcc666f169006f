#include "platform/wildcard.h"

#include <gtest/gtest.h>

namespace trwk {
namespace {

struct Case {
  const char* mask;
  const char* name;
  bool matches;
};

TEST(WildcardTest, FollowsTheDosRulesForLongNames) {
  const Case cases[] = {
      {"*.*", "README", true},  // "*.*" takes names without a dot too
      {"*.*", ".hidden", true},
      {"*", "a.b.c", true},
      {"*.tmp", "x.TMP", true},    // letter case does not matter
      {"*.tmp", "x.tmpx", false},  // long names only: no 8.3 alias matching
      {"*.tmp", "x.tmp.bak", false},
      {"*.txt", "test1.test.txt", true},
      {"*.", "README", true},  // "*." means: no extension
      {"*.", "read.me", false},
      {"a?", "a", true},  // '?' may match nothing at the end ...
      {"a?", "ab", true},
      {"a?", "abc", false},
      {"a?.txt", "a.txt", true},  // ... or before a dot
      {"?est???", "test1.txt", false},
      {"h?l?o*t.dat", "hellothisisatest.dat", true},
      {"t*t", "test1.ta.tornado.txt", true},
      {"*.t??????.t*", "test1.ta.tornado.txt", true},
      {"index.dat", "INDEX.DAT", true},
      {"index.dat", "index.da", false},
      {"foo.*", "foo", true},                        // a dot before '*' may match nothing at the end
      {"cookies\xF6.txt", "COOKIES\xD6.TXT", true},  // Windows-1252 letters fold too
      {"*.bak", "file.txt.bak", true},
      {"*.bak", "file.bak.txt", false},
      {"?.txt", "ab.txt", false},
      {"a*b*c", "aXbXd", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(matchesMask(c.name, c.mask), c.matches) << c.mask << " against " << c.name;
  EXPECT_FALSE(matchesMask("a.txt", ""));  // a pattern ending in a separator names no entry
}

TEST(WildcardTest, StaysQuickOnManyStars) {
  std::string name(200, 'a');
  EXPECT_FALSE(matchesMask(name, "*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*b"));
  EXPECT_TRUE(matchesMask(name + ".x", "*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a.?"));
}

}  // namespace
}  // namespace trwk
