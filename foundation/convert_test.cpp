#include "foundation/convert.h"

#include <gtest/gtest.h>

#include "platform/failure.h"

namespace trwk {
namespace {

int failureOf(const std::string& text, bool boolean) {
  try {
    boolean ? (void)toBoolean(text) : (void)toInteger(text);
  } catch (const Failure& f) {
    return f.number();
  }
  return 0;
}

TEST(Convert, NumbersAcceptBlanksSignsAndRoundHalfToEven) {
  EXPECT_EQ(toInteger("3"), 3);
  EXPECT_EQ(toInteger(" -12 "), -12);
  EXPECT_EQ(toInteger("+4"), 4);
  EXPECT_EQ(toInteger("2.5"), 2);
  EXPECT_EQ(toInteger("3.5"), 4);
}

TEST(Convert, TextThatIsNoNumberIsATypeMismatch) {
  for (const char* bad : {"", " ", "abc", "1a", "--1", ".", "1.2.3"}) EXPECT_EQ(failureOf(bad, false), 13) << bad;
  EXPECT_EQ(failureOf("99999999999", false), 6);
}

TEST(Convert, TruthValues) {
  EXPECT_TRUE(toBoolean("1"));
  EXPECT_TRUE(toBoolean("-1"));
  EXPECT_TRUE(toBoolean("True"));
  EXPECT_TRUE(toBoolean("tRUE"));
  EXPECT_FALSE(toBoolean("0"));
  EXPECT_FALSE(toBoolean("False"));
  EXPECT_EQ(failureOf("", true), 13);
  EXPECT_EQ(failureOf("yes", true), 13);
}

}  // namespace
}  // namespace trwk
