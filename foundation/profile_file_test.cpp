#include "foundation/profile_file.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/failure.h"

namespace trwk::profile {
namespace {

using namespace std::string_literals;

std::string get(std::string_view bytes, std::string_view section, std::string_view key) {
  return read(bytes, section, key).value_or("<none>");
}

// The file after the write; the input itself when the write found nothing to change.
std::string put(std::string_view bytes, std::string_view section, std::string_view key,
                std::string_view value) {
  auto out = write(bytes, section, key, value);
  return out ? *out : std::string(bytes);
}

int failureOf(std::string_view section, std::string_view key, std::string_view value) {
  try {
    write("[A]\r\nk=v\r\n", section, key, value);
  } catch (const Failure& f) {
    return f.number();
  }
  return 0;
}

const std::string kSample =
    "; written by hand\r\n"
    "[Path]\r\n"
    "IE1=C:\\History\\\r\n"
    "  Detect =  0  \r\n"
    "\r\n"
    "[ UserDef ]\r\n"
    "UDvalue1=1\r\n"
    "UDname1=\"Quoted name\"\r\n"
    "Lonely\r\n"
    "Empty=\r\n";

TEST(ProfileRead, NamesIgnoreCaseAndSurroundingBlanks) {
  EXPECT_EQ(get(kSample, "path", "ie1"), "C:\\History\\");
  EXPECT_EQ(get(kSample, " PATH ", "Detect"), "0");
  EXPECT_EQ(get(kSample, "userdef", "UDvalue1 "), "1");
  EXPECT_EQ(get("[\xC4ndern]\r\n\xF6=1\r\n", "\xE4NDERN", "\xD6"), "1");  // Windows-1252 letters
}

TEST(ProfileRead, AbsentThingsReadAsNothing) {
  EXPECT_EQ(get("", "Path", "IE1"), "<none>");
  EXPECT_EQ(get(kSample, "Nope", "IE1"), "<none>");
  EXPECT_EQ(get(kSample, "Path", "UDvalue1"), "<none>");   // another section's key
  EXPECT_EQ(get(kSample, "UserDef", "Lonely"), "<none>");  // no equals sign
  EXPECT_EQ(get(kSample, "UserDef", ""), "<none>");
  EXPECT_EQ(get(kSample, "UserDef", "Empty"), "");
}

TEST(ProfileRead, ValuesLoseBlanksAndOnePairOfQuotesAndAreCut) {
  EXPECT_EQ(get(kSample, "UserDef", "UDname1"), "Quoted name");
  EXPECT_EQ(get("[A]\r\nk\t= 'x' \x1A\r\n", "A", "k"), "x");
  EXPECT_EQ(get("[A]\r\nk=\"x'\r\n", "A", "k"), "\"x'");
  EXPECT_EQ(get("[A]\r\nk=a = b\r\n", "A", "k"), "a = b");
  std::string v(300, 'x');
  v[253] = 'y';
  EXPECT_EQ(get("[A]\r\nk=" + v + "\r\n", "A", "k"), v.substr(0, 254));
  EXPECT_EQ(get("[A]\r\nk=\"" + v + "\"\r\n", "A", "k"), v.substr(0, 254));
  EXPECT_EQ(get("[A]\r\nk=\"" + v.substr(0, 254) + "\"\r\n", "A", "k"), v.substr(0, 254));
}

TEST(ProfileRead, FirstSectionAndFirstKeyOfANameWin) {
  std::string f = "[A]\r\nk=1\r\nk=2\r\n[B]\r\nx=1\r\n[a]\r\nk=3\r\nonly=4\r\n";
  EXPECT_EQ(get(f, "A", "k"), "1");
  EXPECT_EQ(get(f, "A", "only"), "<none>");                   // later sections of the same name are not seen
  EXPECT_EQ(get("[A]\r\nk\r\nk=2\r\n", "A", "k"), "<none>");  // a bare name hides the later one
}

TEST(ProfileRead, OddLinesAndHeaders) {
  std::string f = "top=0\r\n[A] words\r\n[broken\r\n;c=1\r\nk=1\r\n[a]b]\r\nk=2\r\n";
  EXPECT_EQ(get(f, "A", "k"), "1");
  EXPECT_EQ(get(f, "A", ";c"), "1");  // comments are lines like any other to the platform
  EXPECT_EQ(get(f, "a]b", "k"), "2");
  EXPECT_EQ(get(f, "", "top"), "0");  // lines before the first header
}

TEST(ProfileRead, AnyLineEndsEncodingsAndBrokenBytes) {
  EXPECT_EQ(get("[A]\rk=1\rj=2", "A", "j"), "2");
  EXPECT_EQ(get("[A]\nk=1\n\n\nj=2\n", "A", "j"), "2");
  EXPECT_EQ(get("[A]\r\nk=ab\0cd\r\nj=2\r\n"s, "A", "k"), "ab");
  EXPECT_EQ(get("\x00\xFF[\x01]\r\n[A]\r\nk=\x81\x8D\xFF\r\n"s, "A", "k"), "\x81\x8D\xFF");
  EXPECT_EQ(get("[A]\r\n" + std::string(1 << 20, 'z') + "\r\nk=1\r\n", "A", "k"), "1");
  EXPECT_EQ(get("\xEF\xBB\xBF[A]\r\nk=J\xC3\xB6rg \xE2\x82\xAC \xE4\xB8\xAD\r\n", "A", "k"),
            "J\xF6rg \x80 ?");
  std::string le = "\xFF\xFE"s, be = "\xFE\xFF"s;
  for (char c : std::string("[A]\r\nk=J\xF6rg\r\n")) {
    le += c, le += '\0';
    be += '\0', be += c;
  }
  EXPECT_EQ(get(le + "\x01", "A", "k"), "J\xF6rg");  // odd length
  EXPECT_EQ(get(be, "a", "K"), "J\xF6rg");
}

TEST(ProfileWrite, ReplacesInPlaceAndKeepsEveryOtherByte) {
  std::string f = put(kSample, "PATH", "detect", "1");
  std::string expected = kSample;
  expected.replace(expected.find("  Detect =  0  "), 15, "Detect=1");
  EXPECT_EQ(f, expected);
  // A bare name takes the value in its place.
  EXPECT_EQ(put("[A]\r\nLonely\r\nx=1\r\n", "A", "lonely", "2"), "[A]\r\nLonely=2\r\nx=1\r\n");
  // Line ends of other lines stay as they were.
  EXPECT_EQ(put("[A]\nk=1\nj=2", "A", "k", "3"), "[A]\nk=3\nj=2");
  EXPECT_EQ(put("[A]\rk=1\rj=2\r", "A", "j", ""), "[A]\rk=1\rj=\r");
}

TEST(ProfileWrite, NewKeyGoesAfterTheSectionsLastLineBeforeBlankLines) {
  EXPECT_EQ(put("[A]\r\nk=1\r\n\r\n  \r\n[B]\r\n", "a", "j", "2"), "[A]\r\nk=1\r\nj=2\r\n\r\n  \r\n[B]\r\n");
  EXPECT_EQ(put("[A]\r\n\r\n[B]\r\n", "A", "j", "2"), "[A]\r\nj=2\r\n\r\n[B]\r\n");
  EXPECT_EQ(put("[A]\n;note\n\n[B]\n", "A", "j", "2"), "[A]\n;note\nj=2\r\n\n[B]\n");
  // The last line of the file without a break gets one before the new line.
  EXPECT_EQ(put("[A]", "A", "j", "2"), "[A]\r\nj=2\r\n");
  // The first of two sections of the same name takes it.
  EXPECT_EQ(put("[A]\r\nk=1\r\n[A]\r\nj=1\r\n", "A", "j", "2"), "[A]\r\nk=1\r\nj=2\r\n[A]\r\nj=1\r\n");
}

TEST(ProfileWrite, NewSectionGoesAtTheEndOrMakesTheFile) {
  EXPECT_EQ(put("", "Inst", "Safetylevel", ""), "[Inst]\r\nSafetylevel=\r\n");
  EXPECT_EQ(put("[A]\r\nk=1", "B", "j", "2"), "[A]\r\nk=1\r\n[B]\r\nj=2\r\n");
  EXPECT_EQ(put("[A]\r\nk=1\r\n\r\n", "B", "j", "2"), "[A]\r\nk=1\r\n\r\n[B]\r\nj=2\r\n");
  EXPECT_EQ(put("[A]\rk=1\r", "B", "j", "2"), "[A]\rk=1\r[B]\r\nj=2\r\n");
  // As the platform does, leading blanks of new names and values go, trailing ones stay.
  EXPECT_EQ(put("", " B ", " UDvalue1 ", " 1"), "[B ]\r\nUDvalue1 =1\r\n");
}

TEST(ProfileWrite, NothingWhenTheValueIsAlreadyStored) {
  EXPECT_FALSE(write(kSample, "Path", "Detect", "0"));
  EXPECT_FALSE(write(kSample, "path", "ie1", " C:\\History\\"));
  EXPECT_FALSE(write(kSample, "UserDef", "Empty", ""));
  EXPECT_TRUE(write(kSample, "Path", "Detect", "0 "));   // trailing blank is new
  EXPECT_TRUE(write(kSample, "UserDef", "Lonely", ""));  // no value yet
}

TEST(ProfileWrite, Windows1252TextRoundTrips) {
  const std::string path = "C:\\Documents and Settings\\J\xF6rg\\";
  EXPECT_EQ(get(put(kSample, "Path", "IE1", path), "Path", "IE1"), path);
  for (int b = 1; b < 256; ++b) {
    if (b == '\r' || b == '\n') continue;
    const std::string v = {'<', char(b), '>'};
    EXPECT_EQ(get(put("", "A", "k", v), "A", "k"), v) << b;
  }
}

TEST(ProfileWrite, UnicodeFilesStayInTheirEncoding) {
  const std::string path = "C:\\J\xF6rg\\";
  std::string f = put("\xEF\xBB\xBF[A]\r\nk=\xE4\xB8\xAD\r\n", "A", "j", path);
  EXPECT_EQ(f, "\xEF\xBB\xBF[A]\r\nk=\xE4\xB8\xAD\r\nj=C:\\J\xC3\xB6rg\\\r\n");
  EXPECT_FALSE(write(f, "A", "j", path));

  auto utf16 = [](const std::u16string& s) {
    std::string out = "\xFF\xFE";
    for (char16_t c : s) out += char(c & 0xFF), out += char(c >> 8);
    return out;
  };
  std::string le = utf16(u"[A]\r\nk=\u4E2D\xD800x\r\n");  // a lone surrogate survives
  EXPECT_EQ(put(le, "A", "k2", "\xF6"), utf16(u"[A]\r\nk=\u4E2D\xD800x\r\nk2=\xF6\r\n"));
  EXPECT_EQ(put(le + "\x07", "B", "k", "1"), utf16(u"[A]\r\nk=\u4E2D\xD800x\r\n[B]\r\nk=1\r\n") + "\x07");
}

TEST(ProfileWrite, NothingIsLostFromBrokenFiles) {
  std::string bin = "\x00\x01\xFF[A\x00]\r\x1A\r\n\x80=\x00\r\n"s;
  std::string f = put(bin, "A", "k", "1");
  EXPECT_EQ(f.substr(0, bin.size()), bin);
  EXPECT_EQ(get(f, "A", "k"), "1");
  std::string huge(1 << 20, 'z');
  std::string big = "[A]\r\n" + huge + "\r\n[B]\r\nq=" + huge + "\r\n";
  f = put(big, "B", "k", "1");
  EXPECT_EQ(f, big + "k=1\r\n");
  // The section header ends at the last "]", so a NUL inside the name does not hide it.
  EXPECT_EQ(put("[A\0x]\r\n"s, "A", "k", "1"), "[A\0x]\r\nk=1\r\n"s);
}

TEST(ProfileWrite, RefusesTextTheFormatCannotHold) {
  EXPECT_EQ(failureOf("A", "k", "two\r\nlines"), fail::kInvalidCall);
  EXPECT_EQ(failureOf("A", "k", "nul\0"s), fail::kInvalidCall);
  EXPECT_EQ(failureOf("A\r\n[B", "k", "v"), fail::kInvalidCall);
  EXPECT_EQ(failureOf("A", "k=x", "v"), fail::kInvalidCall);
  EXPECT_EQ(failureOf("A", " [k]", "v"), fail::kInvalidCall);
  EXPECT_EQ(failureOf("A", "k", "a=b; [c]"), 0);
}

TEST(ProfileFile, ManyKeysOfALargeFile) {
  std::string f;
  for (int s = 0; s < 100; ++s) {
    f += "[S" + std::to_string(s) + "]\r\n";
    for (int k = 0; k < 50; ++k) f += "Key" + std::to_string(k) + "=" + std::string(40, 'v') + "\r\n";
  }
  for (int i = 0; i < 90; ++i) ASSERT_EQ(get(f, "S99", "Key49"), std::string(40, 'v'));
  for (int i = 0; i < 40; ++i) f = put(f, "S99", "Key" + std::to_string(i + 100), "1");
  EXPECT_EQ(get(f, "s99", "key139"), "1");
  EXPECT_EQ(get(f, "S0", "Key0"), std::string(40, 'v'));
}

}  // namespace
}  // namespace trwk::profile
