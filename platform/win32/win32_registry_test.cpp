#include <gtest/gtest.h>

#include "platform/win32/win32_test_support.h"

namespace trwk::win32 {
namespace {

using testing::TestKey;
constexpr RootKey kUser = RootKey::CurrentUser;

void setRaw(const std::string& subkey, const wchar_t* name, DWORD type, const void* data, DWORD size) {
  HKEY h;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, widen(subkey).c_str(), 0, KEY_SET_VALUE, &h), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExW(h, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
  RegCloseKey(h);
}

TEST(Win32Registry, SetStringOnlyUnderAnExistingKey) {
  TestKey key;
  Win32Registry reg;
  EXPECT_EQ(reg.setString(kUser, key.subkey(), "Tarnwick", "x"), 2);
  EXPECT_EQ(reg.keyExists(kUser, key.subkey()), 2) << "setString must not create the key";

  EXPECT_EQ(reg.createKey(kUser, key.sub("Run")), 0);  // creates the missing parent too
  EXPECT_EQ(reg.keyExists(kUser, key.subkey()), 0);
  EXPECT_EQ(reg.setString(kUser, key.sub("RUN"), "Tarnwick", "C:\\J\xF6rg\\trwk6.exe"), 0);
  RegValue v;
  EXPECT_EQ(reg.queryValue(kUser, key.sub("run"), "tarnwick", v), 0);
  EXPECT_EQ(v.type, ValueType::String);
  EXPECT_EQ(v.data, "C:\\J\xF6rg\\trwk6.exe");

  // Stored as a proper wide string with its final NUL, the letters as letters.
  wchar_t raw[64] = {};
  DWORD size = sizeof raw, type = 0;
  HKEY h;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, widen(key.sub("Run")).c_str(), 0, KEY_QUERY_VALUE, &h), 0);
  EXPECT_EQ(RegQueryValueExW(h, L"Tarnwick", nullptr, &type, reinterpret_cast<BYTE*>(raw), &size), 0);
  RegCloseKey(h);
  EXPECT_EQ(type, DWORD(REG_SZ));
  EXPECT_EQ(std::wstring(raw), L"C:\\J\u00F6rg\\trwk6.exe");
  EXPECT_EQ(size, (std::wstring(raw).size() + 1) * sizeof(wchar_t));

  EXPECT_EQ(reg.setString(kUser, key.sub("Run"), "", "default"), 0);
  EXPECT_EQ(reg.queryValue(kUser, key.sub("Run"), "", v), 0);
  EXPECT_EQ(v.data, "default");
  EXPECT_EQ(reg.setString(RootKey::None, key.sub("Run"), "x", "y"), 6);
}

TEST(Win32Registry, QueryGivesTypeAndStringTextWithoutItsNul) {
  TestKey key;
  Win32Registry reg;
  ASSERT_EQ(reg.createKey(kUser, key.subkey()), 0);
  const wchar_t expand[] = L"%TEMP%\\x";
  setRaw(key.subkey(), L"expand", REG_EXPAND_SZ, expand, sizeof expand);
  const wchar_t bare[] = {L'a', L'b'};  // written without a final NUL
  setRaw(key.subkey(), L"bare", REG_SZ, bare, sizeof bare);
  DWORD number = 0x01020304;
  setRaw(key.subkey(), L"number", REG_DWORD, &number, sizeof number);
  const unsigned char bin[] = {0, 1, 0xFF};
  setRaw(key.subkey(), L"bin", REG_BINARY, bin, sizeof bin);
  const wchar_t multi[] = L"a\0b\0";
  setRaw(key.subkey(), L"multi", REG_MULTI_SZ, multi, sizeof multi);
  std::wstring longText(5000, L'\u00E9');
  setRaw(key.subkey(), L"long", REG_SZ, longText.c_str(), DWORD((longText.size() + 1) * 2));

  RegValue v;
  EXPECT_EQ(reg.queryValue(kUser, key.subkey(), "expand", v), 0);
  EXPECT_EQ(v.type, ValueType::ExpandString);
  EXPECT_EQ(v.data, "%TEMP%\\x");
  EXPECT_EQ(reg.queryValue(kUser, key.subkey(), "bare", v), 0);
  EXPECT_EQ(v.data, "ab");
  EXPECT_EQ(reg.queryValue(kUser, key.subkey(), "number", v), 0);
  EXPECT_EQ(v.type, ValueType::Dword);
  EXPECT_EQ(v.data, std::string("\x04\x03\x02\x01", 4));
  EXPECT_EQ(reg.queryValue(kUser, key.subkey(), "bin", v), 0);
  EXPECT_EQ(v.type, ValueType::Binary);
  EXPECT_EQ(v.data, std::string("\0\1\xFF", 3));
  EXPECT_EQ(reg.queryValue(kUser, key.subkey(), "multi", v), 0);
  EXPECT_EQ(v.type, ValueType::Other);
  EXPECT_EQ(reg.queryValue(kUser, key.subkey(), "long", v), 0);
  EXPECT_EQ(v.data, std::string(5000, '\xE9'));

  v.type = ValueType::Dword;
  EXPECT_EQ(reg.queryValue(kUser, key.subkey(), "gone", v), 2);
  EXPECT_EQ(v.type, ValueType::None);
  EXPECT_EQ(reg.queryValue(kUser, key.sub("gone"), "x", v), 2);
}

TEST(Win32Registry, DeleteValueAndKeyReportTheSystemStatus) {
  TestKey key;
  Win32Registry reg;
  ASSERT_EQ(reg.createKey(kUser, key.sub("Child")), 0);
  ASSERT_EQ(reg.setString(kUser, key.subkey(), "v", "1"), 0);

  EXPECT_EQ(reg.deleteValue(kUser, key.subkey(), "v"), 0);
  EXPECT_EQ(reg.deleteValue(kUser, key.subkey(), "v"), 2);
  EXPECT_EQ(reg.deleteValue(kUser, key.sub("gone"), "v"), 2);

  EXPECT_EQ(reg.deleteKey(kUser, key.subkey()), 5) << "a key with subkeys stays";
  EXPECT_EQ(reg.keyExists(kUser, key.sub("Child")), 0);
  EXPECT_EQ(reg.deleteKey(kUser, key.sub("Child")), 0);
  EXPECT_EQ(reg.deleteKey(kUser, key.sub("Child")), 2);
  EXPECT_EQ(reg.deleteKey(kUser, key.subkey()), 0);
  EXPECT_EQ(reg.keyExists(kUser, key.subkey()), 2);

  EXPECT_EQ(reg.deleteKey(kUser, ""), 5) << "the root itself is never deleted";
  EXPECT_EQ(reg.keyExists(kUser, "Software"), 0);
  EXPECT_EQ(reg.deleteKey(RootKey::None, key.subkey()), 6);
}

}  // namespace
}  // namespace trwk::win32
