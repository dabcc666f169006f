#include "platform/text_encoding.h"

#include <array>
#include <cstdint>

namespace trwk {
namespace {

// Windows-1252 0x80..0x9F; the five unassigned bytes map to the C1 controls as
// Windows' own conversion does.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t toUnit(unsigned char b) { return (b >= 0x80 && b < 0xA0) ? kHigh[b - 0x80] : char16_t(b); }

int fromUnit(char32_t u) {
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return int(u);
  for (std::size_t i = 0; i < kHigh.size(); ++i)
    if (kHigh[i] == u) return int(0x80 + i);
  return -1;
}

}  // namespace

void appendUtf8(std::string& out, char32_t u) {
  if (u < 0x80) {
    out += char(u);
  } else if (u < 0x800) {
    out += char(0xC0 | (u >> 6));
    out += char(0x80 | (u & 0x3F));
  } else if (u < 0x10000) {
    out += char(0xE0 | (u >> 12));
    out += char(0x80 | ((u >> 6) & 0x3F));
    out += char(0x80 | (u & 0x3F));
  } else {
    out += char(0xF0 | (u >> 18));
    out += char(0x80 | ((u >> 12) & 0x3F));
    out += char(0x80 | ((u >> 6) & 0x3F));
    out += char(0x80 | (u & 0x3F));
  }
}

std::string cp1252ToUtf8(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (unsigned char b : text) appendUtf8(out, toUnit(b));
  return out;
}

std::string utf8ToCp1252(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    auto b = static_cast<unsigned char>(text[i]);
    int len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    bool ok = len > 0 && i + len <= text.size();
    char32_t u = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
    for (int k = 1; ok && k < len; ++k) {
      auto c = static_cast<unsigned char>(text[i + k]);
      ok = (c & 0xC0) == 0x80;
      u = (u << 6) | (c & 0x3F);
    }
    if (!ok) {  // not UTF-8: keep the byte as it is
      out += char(b);
      ++i;
      continue;
    }
    int m = fromUnit(u);
    out += m < 0 ? '?' : char(m);
    i += len;
  }
  return out;
}

std::u16string cp1252ToUtf16(const std::string& text) {
  std::u16string out;
  out.reserve(text.size());
  for (unsigned char b : text) out += toUnit(b);
  return out;
}

std::string utf16ToCp1252(const std::u16string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t u = text[i];
    if (u >= 0xD800 && u < 0xDC00 && i + 1 < text.size()) ++i;  // pair outside the code page
    int m = (u >= 0xD800 && u < 0xE000) ? -1 : fromUnit(u);
    out += m < 0 ? '?' : char(m);
  }
  return out;
}

char upperCp1252(char c) {
  auto b = static_cast<unsigned char>(c);
  if (b >= 'a' && b <= 'z') return char(b - 32);
  if (b >= 0xE0 && b <= 0xFE && b != 0xF7) return char(b - 32);
  if (b == 0x9A || b == 0x9C || b == 0x9E) return char(b - 16);  // š œ ž
  if (b == 0xFF) return char(0x9F);                               // ÿ
  return c;
}

std::string upperCp1252(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = upperCp1252(c);
  return out;
}

bool equalsNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (upperCp1252(a[i]) != upperCp1252(b[i])) return false;
  return true;
}

}  // namespace trwk
