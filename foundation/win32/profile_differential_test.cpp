// Our profile engine against the platform's own GetPrivateProfileStringA and
// WritePrivateProfileStringA, case by case on temporary files.
//
// Where we differ on purpose (so these are not in the compared tables):
// - A write keeps every line it does not change byte for byte. The platform under Wine
//   rewrites the whole file from what it parsed: blank lines go, blanks around names,
//   "=" and values go, every line end becomes CR LF, bytes after a NUL in a line go.
//   Writes are compared byte for byte only on files already in that form; on any other
//   file the values the platform reads back from both results are compared instead.
// - A value of exactly 254 characters inside quotes reads whole; the platform loses its
//   last character.
// - An empty key reads nothing. Text with a line break or NUL, an empty key, a key with
//   "=" or a leading "[" is refused (Failure 5) instead of written into the file, where
//   it would break lines or make a false section.
// - Names that differ only in the case of a letter outside ASCII ("\xC4" and "\xE4") are
//   the same name to us, as they are to Windows; Wine folds ASCII letters only.
// - Malformed UTF-8 in a file with a UTF-8 mark is kept as it is; the platform turns it
//   into U+FFFD when it rewrites the file.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "foundation/profile_file.h"

namespace trwk::profile {
namespace {

using namespace std::string_literals;
using Probe = std::pair<std::string, std::string>;  // section, key

class ProfileDifferential : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "trwk-profile-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder_.c_str(), nullptr);
  }

  static void TearDownTestSuite() {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, nullptr);  // the platform lets go of its cache
    for (const auto& f : files_) DeleteFileA(f.c_str());
    RemoveDirectoryA(folder_.c_str());
  }

  void SetUp() override {
    if (GetACP() != 1252) GTEST_SKIP() << "the comparison needs the Windows-1252 code page";
  }

  // A fresh name per file: the platform caches files by name and time of change.
  static std::string newPath() {
    std::string path = folder_ + "\\case" + std::to_string(files_.size()) + ".ini";
    files_.push_back(path);
    return path;
  }

  static std::string fileWith(const std::optional<std::string>& bytes) {
    std::string path = newPath();
    if (bytes) std::ofstream(path, std::ios::binary) << *bytes;
    return path;
  }

  static std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // What the settings reader makes of the platform's answer.
  static std::string platformRead(const std::string& path, const Probe& p) {
    char buffer[255] = {};
    DWORD n = GetPrivateProfileStringA(p.first.c_str(), p.second.c_str(), "", buffer, 255, path.c_str());
    return n > 0 ? std::string(buffer) : std::string();
  }

  static std::string ourRead(const std::optional<std::string>& bytes, const Probe& p) {
    return bytes ? read(*bytes, p.first, p.second).value_or("") : "";
  }

  static inline std::string folder_;
  static inline std::vector<std::string> files_;
};

std::string utf16le(const std::u16string& s) {
  std::string out = "\xFF\xFE";
  for (char16_t c : s) out += char(c & 0xFF), out += char(c >> 8);
  return out;
}

std::string utf16be(const std::u16string& s) {
  std::string out = "\xFE\xFF";
  for (char16_t c : s) out += char(c >> 8), out += char(c & 0xFF);
  return out;
}

const std::string kLong(300, 'x');
const std::string kMiB(1 << 20, 'm');
const std::string kJorg = "C:\\Documents and Settings\\J\xF6rg\\";

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
    "Empty=\r\n"
    "\r\n";

struct ReadCase {
  std::string name;
  std::optional<std::string> file;  // nothing: no such file
  std::vector<Probe> probes;
};

TEST_F(ProfileDifferential, ReadsAgree) {
  // clang-format off
  const std::vector<ReadCase> cases = {
      {"missing file", std::nullopt, {{"Path", "IE1"}}},
      {"empty file", "", {{"Path", "IE1"}}},
      {"names and blanks", kSample,
       {{"Path", "IE1"}, {"path", "ie1"}, {" PATH ", "Detect"}, {"Path", "Detect "}, {"UserDef", "UDvalue1 "},
        {"userdef", "\tudvalue1"}, {"UserDef", "UDname1"}, {"UserDef", "Lonely"}, {"UserDef", "Empty"},
        {"UserDef", "Nope"}, {"Nope", "IE1"}, {"Path", "UDvalue1"}, {"", "IE1"}}},
      {"quotes",
       "[A]\r\nk1=\"x\"\r\nk2='x'\r\nk3=\"\"\r\nk4=\"\r\nk5=\"x'\r\nk6=\"\"x\"\"\r\nk7= \"a b\" \r\n"
       "k8='x\"\r\nk9=x\"\r\n",
       {{"A", "k1"}, {"A", "k2"}, {"A", "k3"}, {"A", "k4"}, {"A", "k5"}, {"A", "k6"}, {"A", "k7"},
        {"A", "k8"}, {"A", "k9"}}},
      {"long values",
       "[A]\r\nk300=" + kLong + "\r\nk254=" + kLong.substr(0, 254) + "\r\nk255=" + kLong.substr(0, 255) +
           "\r\nq300=\"" + kLong + "\"\r\nq253=\"" + kLong.substr(0, 253) + "\"\r\nq256=\"" +
           kLong.substr(0, 256) + "\"\r\n",
       {{"A", "k300"}, {"A", "k254"}, {"A", "k255"}, {"A", "q300"}, {"A", "q253"}, {"A", "q256"}}},
      {"first of a name wins",
       "[A]\r\nk=1\r\nk=2\r\nbare\r\nbare=3\r\n[B]\r\nx=1\r\n[a]\r\nk=3\r\nonly=4\r\n",
       {{"A", "k"}, {"A", "only"}, {"A", "bare"}, {"B", "x"}}},
      {"odd lines and headers",
       "top=0\r\n[A] trailing words\r\n[broken\r\n[x=y\r\n;c=1\r\n=nameless\r\nk=1\r\n[a]b]\r\nk=2\r\n"
       "[]\r\nk=3\r\n[ spaced  name ]\r\nk=4\r\n",
       {{"A", "k"}, {"A", "[x"}, {"A", ";c"}, {"A", "[broken"}, {"a]b", "k"}, {"", "top"}, {"", "k"},
        {"spaced  name", "k"}}},
      {"blanks around", "[A]\r\n\tk\t=\tv\x1A\r\n\x1A[B]\x1A\r\nk=\xA0x\xA0\r\n", {{"A", "k"}, {"B", "k"}}},
      {"Windows-1252 letters", "[\xC4ndern \x8A\xFF]\r\n\xF6=1\r\n\xDF=2\r\n",
       {{"\xC4NDERN \x8A\xFF", "\xF6"}, {"\xC4ndern \x8A\xFF", "\xDF"}}},
      {"high bytes", "[A]\r\nk=\x80\x81\x8D\x8F\x90\x9D\xA0\xFF\r\n", {{"A", "k"}}},
      {"CR only", "[A]\rk=1\rj=2", {{"A", "k"}, {"A", "j"}}},
      {"LF only", "[A]\nk=1\n\n\nj=2\n", {{"A", "k"}, {"A", "j"}}},
      {"mixed line ends", "[A]\r\r\nk=1\n\rj=2\r\n\r\n", {{"A", "k"}, {"A", "j"}}},
      {"no final line end", "[A]\r\nk=1", {{"A", "k"}}},
      {"UTF-8 mark", "\xEF\xBB\xBF[A]\r\nk=J\xC3\xB6rg \xE2\x82\xAC \xE4\xB8\xAD\r\n", {{"A", "k"}}},
      {"UTF-16 LE", utf16le(u"[A]\r\nk=J\u00F6rg \u20AC \u4E2D\r\n"), {{"A", "k"}, {"a", "K"}}},
      {"UTF-16 BE", utf16be(u"[A]\r\nk=J\u00F6rg\r\n"), {{"A", "k"}}},
      {"NUL bytes", "\0\x01[Z]\r\n[A\0x]\r\nk=ab\0cd\r\nn\0m=2\r\nj=3\r\n"s,
       {{"A", "k"}, {"A", "n"}, {"A", "j"}, {"Z", "k"}}},
      {"a mebibyte line", "[A]\r\nq=" + kMiB + "\r\nk=1\r\n" + kMiB + "\r\nj=2\r\n",
       {{"A", "k"}, {"A", "j"}}},
  };
  // clang-format on
  for (const auto& c : cases) {
    std::string path = fileWith(c.file);
    for (const auto& p : c.probes)
      EXPECT_EQ(ourRead(c.file, p), platformRead(path, p)) << c.name << ": [" << p.first << "] " << p.second;
  }
}

struct WriteCase {
  std::string name;
  std::optional<std::string> file;
  std::string section, key, value;
  bool sameBytes = true;        // the file is in the form the platform writes
  std::vector<Probe> probes{};  // read back from both results besides the written key
};

TEST_F(ProfileDifferential, WritesAgree) {
  const std::string canonical = "[Path]\r\nIE1=C:\\History\\\r\nDetect=0\r\n[Inst]\r\nSafetylevel=3\r\n";
  const std::vector<Probe> canonicalKeys = {{"Path", "IE1"}, {"Path", "Detect"}, {"Inst", "Safetylevel"}};
  // clang-format off
  const std::vector<WriteCase> cases = {
      {"create", std::nullopt, "Inst", "Safetylevel", "3"},
      {"create empty value", std::nullopt, "Inst", "Safetylevel", ""},
      {"empty file", "", "Inst", "Safetylevel", "3"},
      {"replace", canonical, "Path", "Detect", "1", true, canonicalKeys},
      {"replace other case", canonical, "PATH", "detect", "1", true, canonicalKeys},
      {"replace with empty", canonical, "Path", "IE1", "", true, canonicalKeys},
      {"new key in first section", canonical, "Path", "IE2", "C:\\Cache\\", true, canonicalKeys},
      {"new key in last section", canonical, "Inst", "Autostart", "1", true, canonicalKeys},
      {"new section", canonical, "Rensa", "Value1", "1", true, canonicalKeys},
      {"same value", canonical, "Path", "Detect", "0"},
      {"same value, odd file", kSample, "path", "detect", "0"},
      {"leading blanks of a value", canonical, "Path", "Detect", "  \t1 "},
      {"trailing blank of a new key", canonical, "UserDef", "UDvalue1 ", "1", true,
       {{"UserDef", "UDvalue1"}}},
      {"trailing blank of an old key", "[UserDef]\r\nUDvalue1=0\r\n", "UserDef", " UDvalue1 ", "1"},
      {"blanks around a new section", canonical, " Tab ", "IE", "1", true, {{"Tab", "IE"}}},
      {"Windows-1252 path", canonical, "Path", "IE1", kJorg},
      {"high bytes", canonical, "A", "k", "\x80\x81\x8D\x8F\x90\x9D\xA0\xFF"},
      {"comments and bare names", "; top\r\n[A]\r\n;note\r\nbare\r\nk=1\r\n", "A", "j", "2", true,
       {{"A", "k"}, {"A", ";note"}}},
      {"bare name takes a value", "[A]\r\nbare\r\nk=1\r\n", "A", "BARE", "2"},
      {"duplicate sections", "[A]\r\nk=1\r\n[A]\r\nj=1\r\n", "a", "j", "2"},
      {"duplicate keys", "[A]\r\nk=1\r\nk=2\r\n", "A", "k", "3"},
      {"keys before any section", "top=0\r\n[A]\r\nk=1\r\n", "A", "j", "2", true, {{"", "top"}}},
      {"bracket in a name", "[a]b]\r\nk=1\r\n", "a]b", "j", "2"},
      {"no final line end, new key", "[A]\r\nk=1", "A", "j", "2"},
      {"no final line end, new section", "[A]\r\nk=1", "B", "j", "2"},
      {"header at the very end", "[A]", "A", "j", "2"},
      {"quoted value", canonical, "Path", "IE1", "\"C:\\x\\\""},
      {"long value", canonical, "Path", "IE1", kLong},
      {"a mebibyte line", "[A]\r\nq=" + kMiB + "\r\n[B]\r\nk=1\r\n", "A", "j", "2"},
      {"UTF-8 mark", "\xEF\xBB\xBF[A]\r\nk=\xE4\xB8\xAD\r\n", "A", "j", kJorg},
      {"UTF-8 mark only", "\xEF\xBB\xBF", "A", "j", kJorg},
      {"UTF-16 LE", utf16le(u"[A]\r\nk=\u4E2D\r\n"), "A", "j", kJorg},
      {"UTF-16 BE", utf16be(u"[A]\r\nk=\u4E2D\r\n"), "B", "j", kJorg},
      // Files not in the platform's own form: the values read back are compared.
      {"odd file, replace", kSample, "Path", "Detect", "1", false,
       {{"Path", "IE1"}, {"UserDef", "UDname1"}, {"UserDef", "Empty"}}},
      {"odd file, new key before blank line", kSample, "Path", "IE2", "x", false,
       {{"Path", "IE1"}, {"Path", "Detect"}, {"UserDef", "UDvalue1"}}},
      {"odd file, new section", kSample, "Tab", "IE", "1", false,
       {{"Path", "Detect"}, {"UserDef", "Lonely"}}},
      {"CR only", "[A]\rk=1\r[B]\rj=2\r", "A", "n", "3", false, {{"A", "k"}, {"B", "j"}}},
      {"LF only", "[A]\nk=1\n[B]\nj=2", "B", "n", "3", false, {{"A", "k"}, {"B", "j"}}},
      {"header with words after it", "[A] words\r\nk=1\r\n", "A", "k", "2", false},
      {"NUL bytes", "[A\0x]\r\nk=ab\0cd\r\nj=1\r\n"s, "A", "k", "2", false, {{"A", "j"}}},
  };
  // clang-format on
  for (const auto& c : cases) {
    const std::string theirs = fileWith(c.file);
    ASSERT_TRUE(WritePrivateProfileStringA(c.section.c_str(), c.key.c_str(), c.value.c_str(), theirs.c_str()))
        << c.name;
    const std::string before = c.file.value_or("");
    const std::string ours = write(before, c.section, c.key, c.value).value_or(before);
    if (c.sameBytes) {
      EXPECT_EQ(ours, bytesOf(theirs)) << c.name;
    }

    // The platform reads our result as it reads its own.
    const std::string oursPath = fileWith(ours);
    std::vector<Probe> probes = c.probes;
    probes.emplace_back(c.section, c.key);
    for (const auto& p : probes) {
      std::string expected = platformRead(theirs, p);
      EXPECT_EQ(platformRead(oursPath, p), expected) << c.name << ": [" << p.first << "] " << p.second;
      EXPECT_EQ(ourRead(ours, p), expected) << c.name << ": [" << p.first << "] " << p.second;
    }
  }
}

}  // namespace
}  // namespace trwk::profile
