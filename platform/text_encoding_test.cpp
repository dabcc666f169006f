#include "platform/text_encoding.h"

#include <gtest/gtest.h>

namespace trwk {
namespace {

TEST(TextEncoding, Windows1252RoundTripsThroughUtf8AndUtf16) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += char(b);
  EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
  EXPECT_EQ(utf16ToCp1252(cp1252ToUtf16(all)), all);
  EXPECT_EQ(cp1252ToUtf8("J\xF6rg \x80"), "J\xC3\xB6rg \xE2\x82\xAC");
  EXPECT_EQ(cp1252ToUtf16("\x80")[0], u'\u20AC');
}

TEST(TextEncoding, UnmappableBecomesQuestionMarkAndBadUtf8IsKept) {
  EXPECT_EQ(utf8ToCp1252("\xE4\xB8\xAD"), "?");  // a CJK character
  EXPECT_EQ(utf8ToCp1252("a\xF6z"), "a\xF6z");    // a lone Latin-1 byte stays
  EXPECT_EQ(utf16ToCp1252(u"\U0001F600x"), "?x");
}

TEST(TextEncoding, CaseFoldingCoversAccentedLetters) {
  EXPECT_TRUE(equalsNoCase("j\xF6rg", "J\xD6RG"));
  EXPECT_FALSE(equalsNoCase("\xF7", "\xD7"));  // division and multiplication signs differ
  EXPECT_FALSE(equalsNoCase("ab", "abc"));
}

}  // namespace
}  // namespace trwk
