#include "platform/posix/reg_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "platform/posix/host_io.h"
#include "platform/text_encoding.h"

namespace trwk::posix {
namespace {

constexpr std::time_t kNow = 1800000000;

std::string sample() {
  auto text = readHostFile(std::filesystem::path(TRWK_SOURCE_DIR) / "platform" / "posix" / "testdata" / "sample.reg");
  if (!text) throw std::runtime_error("testdata/sample.reg is missing");
  return *text;
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    out.push_back(text.substr(start, end - start));
    start = end;
  }
  return out;
}

// The lines of `after` with `inserted` taken out at `at` must be exactly `before`.
void expectInsertedAt(const std::string& before, const std::string& after, std::size_t at,
                      const std::vector<std::string>& inserted) {
  auto a = linesOf(after);
  ASSERT_GE(a.size(), at + inserted.size());
  EXPECT_EQ(std::vector<std::string>(a.begin() + static_cast<std::ptrdiff_t>(at),
                                     a.begin() + static_cast<std::ptrdiff_t>(at + inserted.size())),
            inserted);
  a.erase(a.begin() + static_cast<std::ptrdiff_t>(at),
          a.begin() + static_cast<std::ptrdiff_t>(at + inserted.size()));
  EXPECT_EQ(a, linesOf(before));
}

std::string dword(std::uint32_t v) {
  return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
          static_cast<char>((v >> 16) & 0xFF), static_cast<char>(v >> 24)};
}

TEST(RegFileTest, ReadsEveryKindOfValue) {
  RegFile file(sample());
  auto expect = [&](const char* key, const char* name, ValueType type, const std::string& data) {
    auto v = file.value(key, name);
    ASSERT_TRUE(v) << key << " / " << name;
    EXPECT_EQ(v->type, type) << name;
    EXPECT_EQ(v->data, data) << name;
  };
  expect("Control Panel\\Desktop", "DragFullWindows", ValueType::String, "0");
  expect("control panel\\DESKTOP", "fontsmoothinggamma", ValueType::Dword, dword(0x578));
  expect("Control Panel\\Desktop", "UserPreferencesMask", ValueType::Binary,
         std::string("\x10\0\x02\x80\x10\0\0\0", 8));
  expect("Control Panel\\Desktop", "Wallpaper", ValueType::String, "");
  expect("Environment", "PATH", ValueType::ExpandString, "%SystemRoot%\\system32;C:\\Tools");
  expect("Environment", "TEMP", ValueType::String, "C:\\users\\J\xF6rg\\Temp");
  expect("Environment", "Quote", ValueType::String, "say \"hi\"\tthen\nleave");
  expect("Environment", "Multi", ValueType::Other, std::string("one\0two\0", 8));
  expect("AppEvents\\Schemes", "", ValueType::String, "Windows default");
  expect("Software\\Classes\\.txt", "", ValueType::String, "txtfile");
  expect("Software\\Wine\\Fonts", "Blob", ValueType::ExpandString, "%SystemRoot%");  // over two lines
  expect("Software\\Wine\\Fonts", "Sized", ValueType::Dword, dword(16));
  EXPECT_FALSE(file.value("Environment", "Missing"));
  EXPECT_FALSE(file.value("Software\\Wine", "c:"));  // that value belongs to Software\Wine\Drives

  // Keys without a block of their own exist through their subkeys.
  EXPECT_TRUE(file.keyExists("Software\\Wine"));
  EXPECT_TRUE(file.keyExists("SOFTWARE"));
  EXPECT_TRUE(file.keyExists("Control Panel\\International"));
  EXPECT_FALSE(file.keyExists("Software\\Win"));
  EXPECT_TRUE(file.hasSubkeys("Software\\Wine"));
  EXPECT_FALSE(file.hasSubkeys("Software\\Wine\\Fonts"));
}

TEST(RegFileTest, ChangesOnlyTheLinesItMust) {
  const std::string original = sample();
  const auto lines = linesOf(original);
  RegFile file(original);

  ASSERT_TRUE(file.setString("environment", "User", "J\xF6rg \"the\" admin\\", kNow));
  std::size_t afterMulti = 26;  // the line after "Multi", the last value of [Environment]
  ASSERT_EQ(lines[afterMulti - 1].substr(0, 7), "\"Multi\"");
  expectInsertedAt(original, file.text(), afterMulti, {"\"User\"=\"J\\xf6rg \\\"the\\\" admin\\\\\"\n"});
  EXPECT_EQ(file.value("Environment", "USER")->data, "J\xF6rg \"the\" admin\\");

  ASSERT_TRUE(file.setString("Control Panel\\Desktop", "DragFullWindows", "1", kNow));
  auto changed = linesOf(file.text());
  EXPECT_EQ(changed[11], "\"DragFullWindows\"=\"1\"\n");

  // A value over two lines goes with both of them; the value after it stays.
  ASSERT_TRUE(file.deleteValue("Software\\Wine\\Fonts", "Blob"));
  EXPECT_EQ(file.value("Software\\Wine\\Fonts", "Sized")->data, dword(16));

  ASSERT_TRUE(file.deleteValue("Environment", "User"));
  ASSERT_TRUE(file.setString("Control Panel\\Desktop", "DragFullWindows", "0", kNow));
  auto back = linesOf(file.text());
  auto expected = lines;
  expected.erase(expected.begin() + 38, expected.begin() + 40);  // the two lines of "Blob"
  EXPECT_EQ(back, expected);

  // Under a missing key nothing is created.
  EXPECT_FALSE(file.setString("Software\\Nowhere", "x", "y", kNow));
  EXPECT_EQ(linesOf(file.text()), expected);
}

TEST(RegFileTest, CreatesAndDeletesKeysAsWineWouldKeepThem) {
  const std::string original = sample();
  RegFile file(original);
  ASSERT_TRUE(file.createKey("Software\\TarnwickTest\\1", kNow));
  EXPECT_FALSE(file.createKey("software\\tarnwicktest\\1", kNow));
  expectInsertedAt(original, file.text(), linesOf(original).size(),
                   {"\n", "[Software\\\\TarnwickTest\\\\1] 1800000000\n", "#time=1dda4c66b338000\n"});
  EXPECT_TRUE(file.keyExists("Software\\TarnwickTest"));

  EXPECT_EQ(file.deleteKey("Software\\TarnwickTest", kNow), RegFile::Deleted::HasSubkeys);
  EXPECT_EQ(file.deleteKey("Software\\TarnwickTest\\1", kNow), RegFile::Deleted::Yes);
  EXPECT_TRUE(file.keyExists("Software\\TarnwickTest"));  // the parent outlives its last subkey
  EXPECT_EQ(file.deleteKey("Software\\TarnwickTest", kNow), RegFile::Deleted::Yes);
  EXPECT_EQ(file.text(), original);
  EXPECT_EQ(file.deleteKey("Software\\TarnwickTest", kNow), RegFile::Deleted::NotFound);

  // A value under a key known only through its subkeys gives the key its own block.
  ASSERT_TRUE(file.setString("Software\\Wine", "Version", "win7", kNow));
  EXPECT_EQ(file.value("Software\\Wine", "Version")->data, "win7");
  EXPECT_TRUE(file.keyExists("Software\\Wine\\Drives"));
}

TEST(RegFileTest, EscapesAsWineDoes) {
  EXPECT_EQ(escapeRegText(u"J\u00f6rg", '"', '"'), "J\\xf6rg");
  EXPECT_EQ(escapeRegText(u"\u00f6a", '"', '"'), "\\x00f6a");  // a hex digit follows
  EXPECT_EQ(escapeRegText(u"a\\b\"c[d]", '"', '"'), "a\\\\b\\\"c[d]");
  EXPECT_EQ(escapeRegText(u"a\\b\"c[d]", '[', ']'), "a\\\\b\"c\\[d\\]");
  EXPECT_EQ(escapeRegText(std::u16string(u"\t\n\x01"
                                         u"5\x02",
                                         5),
                          '"', '"'),
            "\\t\\n\\0015\\2");
  const std::u16string tricky = u"\u00e9\u20ac1 \\ \"q\" \x1b\x7f end";
  std::u16string back;
  std::string line = escapeRegText(tricky, '"', '"') + "\"";
  ASSERT_EQ(parseRegText(line, 0, '"', back), line.size());
  EXPECT_EQ(back, tricky);
}

// Files cut off or ended oddly (an interrupted writer, an editor): a value that setString
// reports as set must read back from the written text, and the other value is untouched.
TEST(RegFileTest, MalformedEndingsStillReadBackWhatWasSet) {
  struct Case {
    const char* what;
    std::string file, key, name;
    const char* other;  // a value of the file that must read the same afterwards, or null
  };
  const Case cases[] = {
      {"continued hex at the end", "[k] 1\n\"x\"=hex:01,02,\\", "k", "y", "x"},
      {"continued hex, then the final break", "[k] 1\n\"x\"=hex:01,02,\\\n", "k", "y", "x"},
      {"continued hex with CR LF", "[k] 1\r\n\"x\"=hex:01,\\\r\n", "k", "y", "x"},
      {"continued hex set itself", "[k] 1\n\"x\"=hex:01,02,\\", "k", "x", nullptr},
      {"continued hex under a subkey", "[k\\\\s] 1\n\"x\"=hex:01,\\", "k", "y", nullptr},
      {"no final break after a value", "[k] 1\n\"x\"=\"a\"", "k", "y", "x"},
      {"no final break, that value set", "[k] 1\n\"x\"=\"a\"", "k", "x", nullptr},
      {"a key header at the end", "[k] 1", "k", "y", nullptr},
      {"a key header and its time at the end", "[k] 1\n#time=1", "k", "", nullptr},
      {"CR-only line endings", "[k] 1\r\"x\"=\"a\"\r", "k", "y", nullptr},
      {"an unterminated string at the end", "[k] 1\n\"x\"=\"a\\", "k", "y", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RegFile file(c.file);
    std::optional<RegValue> other = c.other ? file.value(c.key, c.other) : std::nullopt;
    ASSERT_TRUE(file.setString(c.key, c.name, "new \\ text", kNow));
    RegFile reread(file.text());
    auto value = reread.value(c.key, c.name);
    ASSERT_TRUE(value) << file.text();
    EXPECT_EQ(value->type, ValueType::String);
    EXPECT_EQ(value->data, "new \\ text");
    if (other) {
      auto after = reread.value(c.key, c.other);
      ASSERT_TRUE(after) << file.text();
      EXPECT_EQ(after->data, other->data);
    }
  }
}

// On a prefix made by wineboot (`make test` provides one), the files go back byte for
// byte, and values written back unchanged are written exactly as Wine wrote them.
TEST(RegFileTest, RoundTripsARealPrefix) {
  const char* real = std::getenv("TRWK_REAL_PREFIX");
  if (!real || !*real) GTEST_SKIP() << "TRWK_REAL_PREFIX is not set";
  for (const char* name : {"user.reg", "system.reg"}) {
    auto text = readHostFile(std::string(real) + "/" + name);
    ASSERT_TRUE(text) << name;
    RegFile file(*text);
    EXPECT_EQ(file.text(), *text);
    const char* key =
        std::string(name) == "user.reg" ? "Environment" : "Software\\Microsoft\\Windows\\CurrentVersion";
    ASSERT_TRUE(file.setString(key, "TarnwickTest", "x", kNow));
    EXPECT_EQ(linesOf(file.text()).size(), linesOf(*text).size() + 1);
    ASSERT_TRUE(file.deleteValue(key, "TarnwickTest"));
    ASSERT_TRUE(file.createKey("Software\\TarnwickTest\\1", kNow));
    ASSERT_EQ(file.deleteKey("Software\\TarnwickTest\\1", kNow), RegFile::Deleted::Yes);
    ASSERT_EQ(file.deleteKey("Software\\TarnwickTest", kNow), RegFile::Deleted::Yes);
    EXPECT_EQ(file.text(), *text) << name;
  }
  EXPECT_EQ(RegFile(*readHostFile(std::string(real) + "/system.reg"))
                .value("Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir")
                ->data,
            "C:\\Program Files");

  // Every plain string value of user.reg set again to what it holds.
  auto text = *readHostFile(std::string(real) + "/user.reg");
  RegFile file(text);
  std::string key;
  int rewritten = 0;
  for (const auto& line : linesOf(text)) {
    std::u16string parsed;
    if (line.starts_with("[")) {
      // Names beyond Windows-1252 cannot be asked for through the program's text.
      key = line.find("\\x") == std::string::npos && parseRegText(line, 1, ']', parsed)
                ? utf16ToCp1252(parsed)
                : "";
      continue;
    }
    if (key.empty() || !line.starts_with("\"") || line.find("\\x") != std::string::npos) continue;
    auto end = parseRegText(line, 1, '"', parsed);
    if (!end || line.compare(*end, 2, "=\"") != 0) continue;
    std::string valueName = utf16ToCp1252(parsed);
    auto value = file.value(key, valueName);
    ASSERT_TRUE(value) << line;
    ASSERT_TRUE(file.setString(key, valueName, value->data, kNow));
    ++rewritten;
  }
  EXPECT_GT(rewritten, 100);
  EXPECT_EQ(file.text(), text);
}

}  // namespace
}  // namespace trwk::posix
