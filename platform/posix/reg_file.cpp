#include "platform/posix/reg_file.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/text_encoding.h"

namespace trwk::posix {
namespace {

bool isHex(char c) {
  return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}
int hexValue(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                                                     : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
}

// Case folding for key and value names; agrees with the program's Windows-1252 folding.
char16_t fold(char16_t c) {
  if (c >= 'a' && c <= 'z') return static_cast<char16_t>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 32);
  switch (c) {
    case 0xFF: return 0x178;
    case 0x161: return 0x160;
    case 0x153: return 0x152;
    case 0x17E: return 0x17D;
    default: return c;
  }
}

bool sameName(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (fold(a[i]) != fold(b[i])) return false;
  return true;
}

bool startsWithNoCase(const std::u16string& text, const std::u16string& prefix) {
  return text.size() >= prefix.size() && sameName(text.substr(0, prefix.size()), prefix);
}

// "Software\\Wine\\" and "\Software\Wine" both name Software\Wine.
std::u16string normalPath(const std::string& path) {
  std::u16string out;
  std::size_t i = 0;
  while (i < path.size()) {
    std::size_t end = path.find('\\', i);
    if (end == std::string::npos) end = path.size();
    if (end > i) {
      if (!out.empty()) out += u'\\';
      out += cp1252ToUtf16(path.substr(i, end - i));
    }
    i = end + 1;
  }
  return out;
}

std::u16string parentPath(const std::u16string& path) {
  auto cut = path.rfind(u'\\');
  return cut == std::u16string::npos ? std::u16string() : path.substr(0, cut);
}

bool isBlank(const std::string& line) {
  return line == "\n" || line == "\r\n";
}

std::size_t skipSpaces(const std::string& s, std::size_t pos) {
  while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t')) ++pos;
  return pos;
}

// "#time=...", "#class=...", "#link": the lines Wine writes between a key and its values.
bool isComment(const std::string& line) {
  std::size_t p = skipSpaces(line, 0);
  return p < line.size() && line[p] == '#';
}

// Trailing backslash (before the line ending) that continues hex data on the next line.
bool continues(const std::string& line) {
  std::size_t end = line.size();
  while (end > 0 && std::isspace(static_cast<unsigned char>(line[end - 1]))) --end;
  return end > 0 && line[end - 1] == '\\';
}

std::string hexBytes(const std::string& data, std::size_t pos) {
  std::string out;
  while (pos + 1 < data.size()) {
    char c = data[pos];
    if (c == ',' || c == '\\' || std::isspace(static_cast<unsigned char>(c))) {
      ++pos;
      continue;
    }
    if (!isHex(c) || !isHex(data[pos + 1])) break;
    out += static_cast<char>(hexValue(c) * 16 + hexValue(data[pos + 1]));
    pos += 2;
  }
  return out;
}

std::string fromUtf16Bytes(const std::string& bytes) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
    text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                  (static_cast<unsigned char>(bytes[i + 1]) << 8));
  if (!text.empty() && text.back() == 0) text.pop_back();
  return utf16ToCp1252(text);
}

ValueType typeOfNumber(unsigned long n) {
  switch (n) {
    case 1: return ValueType::String;
    case 2: return ValueType::ExpandString;
    case 3: return ValueType::Binary;
    case 4: return ValueType::Dword;
    default: return ValueType::Other;
  }
}

// Decodes the data part of a value ("str(2):\"...\"", "dword:00000001", "hex:01,02").
std::optional<RegValue> decodeData(const std::string& data) {
  RegValue out;
  auto stringAt = [&](std::size_t pos, ValueType type) -> std::optional<RegValue> {
    std::u16string text;
    if (!parseRegText(data, pos, '"', text)) return std::nullopt;
    out.type = type;
    out.data = utf16ToCp1252(text);
    return out;
  };
  if (data.starts_with("\"")) return stringAt(1, ValueType::String);
  if (data.starts_with("str:\"")) return stringAt(5, ValueType::String);
  if (data.starts_with("str(")) {
    std::size_t close = data.find("):\"");
    if (close == std::string::npos) return std::nullopt;
    unsigned long n = std::strtoul(data.c_str() + 4, nullptr, 16);
    return stringAt(close + 3, n == 7 ? ValueType::Other : typeOfNumber(n));
  }
  if (data.starts_with("dword:")) {
    std::uint32_t v = static_cast<std::uint32_t>(std::strtoul(data.c_str() + 6, nullptr, 16));
    out.type = ValueType::Dword;
    for (int i = 0; i < 4; ++i) out.data += static_cast<char>((v >> (8 * i)) & 0xFF);
    return out;
  }
  std::size_t pos = 0;
  ValueType type = ValueType::Binary;
  if (data.starts_with("hex:")) {
    pos = 4;
  } else if (data.starts_with("hex(")) {
    std::size_t close = data.find("):");
    if (close == std::string::npos) return std::nullopt;
    type = typeOfNumber(std::strtoul(data.c_str() + 4, nullptr, 16));
    pos = close + 2;
  } else {
    return std::nullopt;
  }
  std::string bytes = hexBytes(data, pos);
  out.type = type;
  out.data = (type == ValueType::String || type == ValueType::ExpandString) ? fromUtf16Bytes(bytes) : bytes;
  return out;
}

std::string valueLine(const std::u16string& name, const std::string& text) {
  std::string line = name.empty() ? "@=" : "\"" + escapeRegText(name, '"', '"') + "\"=";
  return line + "\"" + escapeRegText(cp1252ToUtf16(text), '"', '"') + "\"\n";
}

}  // namespace

std::string escapeRegText(const std::u16string& text, char quote1, char quote2) {
  static const char kEscapes[] = ".......abtnvfr.............e....";
  std::string out;
  out.reserve(text.size());
  char buffer[16];
  for (std::size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    bool hasNext = i + 1 < text.size();
    char16_t next = hasNext ? text[i + 1] : 0;
    if (c > 127) {
      // Four digits when a hex digit follows, or it would be read as part of the number.
      bool padded = hasNext && next < 128 && isHex(static_cast<char>(next));
      std::snprintf(buffer, sizeof buffer, padded ? "\\x%04x" : "\\x%x", static_cast<unsigned>(c));
      out += buffer;
    } else if (c < 32) {
      if (kEscapes[c] != '.') {
        out += '\\';
        out += kEscapes[c];
      } else {
        bool padded = hasNext && next >= '0' && next <= '7';
        std::snprintf(buffer, sizeof buffer, padded ? "\\%03o" : "\\%o", static_cast<unsigned>(c));
        out += buffer;
      }
    } else {
      char a = static_cast<char>(c);
      if (a == '\\' || a == quote1 || a == quote2) out += '\\';
      out += a;
    }
  }
  return out;
}

std::optional<std::size_t> parseRegText(const std::string& line, std::size_t pos, char end,
                                        std::u16string& out) {
  out.clear();
  while (pos < line.size() && line[pos] != end) {
    char c = line[pos];
    if (c != '\\') {
      out += static_cast<char16_t>(static_cast<unsigned char>(c));
      ++pos;
      continue;
    }
    if (++pos >= line.size()) return std::nullopt;
    c = line[pos];
    switch (c) {
      case 'a':
        out += u'\a';
        ++pos;
        break;
      case 'b':
        out += u'\b';
        ++pos;
        break;
      case 'e':
        out += char16_t(27);
        ++pos;
        break;
      case 'f':
        out += u'\f';
        ++pos;
        break;
      case 'n':
        out += u'\n';
        ++pos;
        break;
      case 'r':
        out += u'\r';
        ++pos;
        break;
      case 't':
        out += u'\t';
        ++pos;
        break;
      case 'v':
        out += u'\v';
        ++pos;
        break;
      case 'x': {
        ++pos;
        if (pos >= line.size() || !isHex(line[pos])) {
          out += u'x';
          break;
        }
        unsigned v = 0;
        for (int k = 0; k < 4 && pos < line.size() && isHex(line[pos]); ++k, ++pos)
          v = v * 16 + static_cast<unsigned>(hexValue(line[pos]));
        out += static_cast<char16_t>(v);
        break;
      }
      default:
        if (c >= '0' && c <= '7') {
          unsigned v = 0;
          for (int k = 0; k < 3 && pos < line.size() && line[pos] >= '0' && line[pos] <= '7'; ++k, ++pos)
            v = v * 8 + static_cast<unsigned>(line[pos] - '0');
          out += static_cast<char16_t>(v);
        } else {
          out += static_cast<char16_t>(static_cast<unsigned char>(c));
          ++pos;
        }
    }
  }
  if (pos >= line.size()) return std::nullopt;
  return pos + 1;
}

std::string emptyRegFile(const std::string& root) {
  return "WINE REGISTRY Version 2\n;; All keys relative to " + root + "\n\n#arch=win64\n";
}

RegFile::RegFile(const std::string& text) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t nl = text.find('\n', start);
    std::size_t end = nl == std::string::npos ? text.size() : nl + 1;
    lines_.push_back(text.substr(start, end - start));
    start = end;
  }
  index();
}

std::string RegFile::text() const {
  std::string out;
  for (const auto& line : lines_) out += line;
  return out;
}

void RegFile::index() {
  keys_.clear();
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const std::string& line = lines_[i];
    std::size_t p = skipSpaces(line, 0);
    if (p >= line.size()) continue;
    if (line[p] == '[') {
      Key key;
      std::u16string path;
      if (!parseRegText(line, p + 1, ']', path)) continue;  // Wine skips a malformed key too
      key.path = path;
      key.line = i;
      key.begin = (i > 0 && isBlank(lines_[i - 1])) ? i - 1 : i;
      if (!keys_.empty()) keys_.back().end = key.begin;
      keys_.push_back(std::move(key));
      continue;
    }
    if ((line[p] != '"' && line[p] != '@') || keys_.empty()) continue;
    Value value;
    std::size_t after = p + 1;
    if (line[p] == '"') {
      auto end = parseRegText(line, p + 1, '"', value.name);
      if (!end) continue;
      after = *end;
    }
    value.first = i;
    after = skipSpaces(line, after);
    if (after < line.size() && line[after] == '=') after = skipSpaces(line, after + 1);
    if (line.compare(after, 3, "hex") == 0)
      while (continues(lines_[i]) && i + 1 < lines_.size()) ++i;
    value.last = i;
    keys_.back().values.push_back(std::move(value));
  }
  if (!keys_.empty()) keys_.back().end = lines_.size();
}

const RegFile::Key* RegFile::findKey(const std::u16string& path) const {
  for (const auto& key : keys_)
    if (sameName(key.path, path)) return &key;
  return nullptr;
}

bool RegFile::anyBelow(const std::u16string& path) const {
  if (path.empty())
    return std::any_of(keys_.begin(), keys_.end(), [](const Key& k) { return !k.path.empty(); });
  std::u16string prefix = path + u'\\';
  for (const auto& key : keys_)
    if (startsWithNoCase(key.path, prefix)) return true;
  return false;
}

bool RegFile::exists(const std::u16string& path) const {
  return path.empty() || findKey(path) || anyBelow(path);
}

bool RegFile::keyExists(const std::string& path) const {
  return exists(normalPath(path));
}

bool RegFile::hasSubkeys(const std::string& path) const {
  return anyBelow(normalPath(path));
}

std::optional<RegValue> RegFile::value(const std::string& key, const std::string& name) const {
  const Key* k = findKey(normalPath(key));
  if (!k) return std::nullopt;
  std::u16string wanted = cp1252ToUtf16(name);
  for (const auto& v : k->values) {
    if (!sameName(v.name, wanted)) continue;
    std::string line;
    for (std::size_t i = v.first; i <= v.last; ++i) line += lines_[i];
    std::size_t p = skipSpaces(line, 0);
    if (line[p] == '"') {
      std::u16string ignored;
      p = *parseRegText(line, p + 1, '"', ignored);
    } else {
      ++p;
    }
    p = skipSpaces(line, p);
    if (p < line.size() && line[p] == '=') p = skipSpaces(line, p + 1);
    return decodeData(line.substr(p));
  }
  return std::nullopt;
}

std::vector<std::string> RegFile::newBlock(const std::u16string& path, std::time_t now) const {
  // The key line carries seconds since 1970, the #time line the same moment in Windows
  // file-time ticks (100 ns since 1601), as Wine writes them.
  auto ticks = (static_cast<std::uint64_t>(now) + 11644473600ull) * 10000000ull;
  char time[64];
  std::snprintf(time, sizeof time, "#time=%x%08x\n", static_cast<unsigned>(ticks >> 32),
                static_cast<unsigned>(ticks & 0xFFFFFFFFu));
  return {"\n",
          "[" + escapeRegText(path, '[', ']') + "] " + std::to_string(static_cast<long long>(now)) + "\n",
          time};
}

void RegFile::appendBlock(const std::u16string& path, std::time_t now) {
  if (!lines_.empty() && lines_.back().back() != '\n') lines_.back() += '\n';
  auto block = newBlock(path, now);
  lines_.insert(lines_.end(), block.begin(), block.end());
  index();
}

bool RegFile::createKey(const std::string& path, std::time_t now) {
  std::u16string p = normalPath(path);
  if (exists(p)) return false;
  appendBlock(p, now);
  return true;
}

bool RegFile::setString(const std::string& key, const std::string& name, const std::string& text,
                        std::time_t now) {
  std::u16string path = normalPath(key);
  if (!exists(path)) return false;
  if (!findKey(path)) appendBlock(path, now);  // a key known only through its subkeys
  const Key& k = *findKey(path);
  std::u16string wanted = cp1252ToUtf16(name);
  std::string line = valueLine(wanted, text);
  const std::vector<std::string> before = lines_;
  placeValueLine(k, wanted, line);
  index();
  // Whatever the file looked like, a success must read back as what was set.
  auto stored = value(key, name);
  if (stored && stored->type == ValueType::String && stored->data == text) return true;
  lines_ = before;
  index();
  return false;
}

void RegFile::placeValueLine(const Key& k, const std::u16string& name, const std::string& line) {
  for (const auto& v : k.values) {
    if (!sameName(v.name, name)) continue;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(v.first + 1),
                 lines_.begin() + static_cast<std::ptrdiff_t>(v.last + 1));
    lines_[v.first] = line;
    return;
  }
  std::size_t at = k.line + 1;
  if (!k.values.empty()) {
    // A hex value cut off at the end of the file still asks for one more line: a line
    // put after it would be read as its data. The new value goes before it instead.
    const Value& last = k.values.back();
    at = continues(lines_[last.last]) ? last.first : last.last + 1;
  } else {
    while (at < k.end && isComment(lines_[at])) ++at;
  }
  if (at > 0 && lines_[at - 1].back() != '\n') lines_[at - 1] += '\n';
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), line);
}

bool RegFile::deleteValue(const std::string& key, const std::string& name) {
  const Key* k = findKey(normalPath(key));
  if (!k) return false;
  std::u16string wanted = cp1252ToUtf16(name);
  for (const auto& v : k->values) {
    if (!sameName(v.name, wanted)) continue;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(v.first),
                 lines_.begin() + static_cast<std::ptrdiff_t>(v.last + 1));
    index();
    return true;
  }
  return false;
}

RegFile::Deleted RegFile::deleteKey(const std::string& path, std::time_t now) {
  std::u16string p = normalPath(path);
  if (anyBelow(p)) return Deleted::HasSubkeys;
  const Key* k = findKey(p);
  if (!k || p.empty()) return Deleted::NotFound;
  std::size_t begin = k->begin, end = k->end;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(begin),
               lines_.begin() + static_cast<std::ptrdiff_t>(end));
  index();
  // The parent outlives its last subkey even when it was known only through it.
  std::u16string parent = parentPath(p);
  if (!parent.empty() && !exists(parent)) {
    auto block = newBlock(parent, now);
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(begin), block.begin(), block.end());
    index();
  }
  return Deleted::Yes;
}

}  // namespace trwk::posix
