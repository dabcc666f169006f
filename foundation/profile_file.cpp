#include "foundation/profile_file.h"

#include <algorithm>

#include "platform/failure.h"
#include "platform/text_encoding.h"

namespace trwk::profile {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kNewLine = "\r\n";

// Blanks as the platform's profile parser sees them; ^Z is the end mark of DOS files.
bool isBlank(char c) {
  auto b = static_cast<unsigned char>(c);
  return (b >= 0x09 && b <= 0x0D) || b == 0x1A || b == 0x20;
}

std::string_view trimLeft(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && isBlank(s[i])) ++i;
  return s.substr(i);
}

std::string_view trimRight(std::string_view s) {
  std::size_t n = s.size();
  while (n > 0 && isBlank(s[n - 1])) --n;
  return s.substr(0, n);
}

std::string_view trim(std::string_view s) {
  return trimRight(trimLeft(s));
}

// Names and values end at a NUL, as the platform's strings do.
std::string_view untilNul(std::string_view s) {
  return s.substr(0, s.find('\0'));
}

bool sameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (upperCp1252(a[i]) != upperCp1252(b[i])) return false;
  return true;
}

// ---- Encodings ------------------------------------------------------------------------

enum class Encoding { kAnsi, kUtf8, kUtf16Le, kUtf16Be };

// UTF-16 to UTF-8; a surrogate without its partner is kept as a three-byte sequence so
// that the way back gives the very same units.
std::string utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  const std::size_t units = bytes.size() / 2;
  auto unit = [&](std::size_t i) -> char32_t {
    auto a = static_cast<unsigned char>(bytes[2 * i]);
    auto b = static_cast<unsigned char>(bytes[2 * i + 1]);
    return bigEndian ? char32_t(a << 8 | b) : char32_t(b << 8 | a);
  };
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < units; ++i) {
    char32_t u = unit(i);
    if (u >= 0xD800 && u < 0xDC00 && i + 1 < units) {
      char32_t low = unit(i + 1);
      if (low >= 0xDC00 && low < 0xE000) {
        u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    appendUtf8(out, u);
  }
  return out;
}

void appendUnit(std::string& out, char32_t u, bool bigEndian) {
  char hi = char((u >> 8) & 0xFF), lo = char(u & 0xFF);
  if (bigEndian) {
    out += hi;
    out += lo;
  } else {
    out += lo;
    out += hi;
  }
}

std::string utf8ToUtf16(std::string_view text, bool bigEndian) {
  std::string out;
  out.reserve(text.size() * 2);
  for (std::size_t i = 0; i < text.size();) {
    auto b = static_cast<unsigned char>(text[i]);
    std::size_t len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    bool ok = len > 0 && i + len <= text.size();
    char32_t u = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
    for (std::size_t k = 1; ok && k < len; ++k) {
      auto c = static_cast<unsigned char>(text[i + k]);
      ok = (c & 0xC0) == 0x80;
      u = (u << 6) | (c & 0x3F);
    }
    if (!ok) {  // cannot come from a decoded file; keep the byte as a unit of its own
      appendUnit(out, b, bigEndian);
      ++i;
      continue;
    }
    if (u >= 0x10000) {
      appendUnit(out, 0xD800 + ((u - 0x10000) >> 10), bigEndian);
      appendUnit(out, 0xDC00 + ((u - 0x10000) & 0x3FF), bigEndian);
    } else {
      appendUnit(out, u, bigEndian);
    }
    i += len;
  }
  return out;
}

// The file as 8-bit text to parse: its own Windows-1252 bytes, or UTF-8 (the bytes
// after the mark, or the UTF-16 text converted) for files with a byte-order mark.
class Text {
 public:
  explicit Text(std::string_view bytes) {
    auto starts = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
    if (starts(kUtf8Mark)) {
      encoding_ = Encoding::kUtf8;
      view_ = bytes.substr(kUtf8Mark.size());
    } else if (starts("\xFF\xFE") || starts("\xFE\xFF")) {
      encoding_ = bytes[0] == '\xFF' ? Encoding::kUtf16Le : Encoding::kUtf16Be;
      std::string_view units = bytes.substr(2);
      if (units.size() % 2) oddByte_ = units.substr(units.size() - 1);  // kept as it was
      converted_ = utf16ToUtf8(units, encoding_ == Encoding::kUtf16Be);
    } else {
      view_ = bytes;
    }
  }

  bool unicode() const { return encoding_ != Encoding::kAnsi; }
  std::string_view body() const { return utf16() ? std::string_view(converted_) : view_; }

  // A name or value given as Windows-1252 text, as the file holds it.
  std::string fromCp1252(std::string_view s) const {
    return unicode() ? cp1252ToUtf8(std::string(s)) : std::string(s);
  }
  std::string toCp1252(std::string_view s) const {
    return unicode() ? utf8ToCp1252(std::string(s)) : std::string(s);
  }

  // New body text back into the file's own bytes.
  std::string encode(std::string body) const {
    switch (encoding_) {
      case Encoding::kAnsi: return body;
      case Encoding::kUtf8: return std::string(kUtf8Mark) + body;
      case Encoding::kUtf16Le: return "\xFF\xFE" + utf8ToUtf16(body, false) + std::string(oddByte_);
      case Encoding::kUtf16Be: return "\xFE\xFF" + utf8ToUtf16(body, true) + std::string(oddByte_);
    }
    return body;
  }

 private:
  bool utf16() const { return encoding_ == Encoding::kUtf16Le || encoding_ == Encoding::kUtf16Be; }

  Encoding encoding_ = Encoding::kAnsi;
  std::string_view view_;
  std::string converted_;
  std::string_view oddByte_;
};

// ---- Lines ----------------------------------------------------------------------------

// A line's content runs to the first CR or LF; its break is the whole run of CR and LF
// characters after it, so blank lines hide in the break as they do for the platform.
struct Line {
  std::size_t begin = 0;  // first byte of the content
  std::size_t end = 0;    // one past the content
};

class Lines {
 public:
  explicit Lines(std::string_view text) : text_(text) {}

  bool next(Line& line) {
    if (pos_ >= text_.size()) return false;
    line.begin = pos_;
    line.end = std::min(text_.find_first_of(kNewLine, pos_), text_.size());
    pos_ = line.end;
    while (pos_ < text_.size() && (text_[pos_] == '\r' || text_[pos_] == '\n')) ++pos_;
    return true;
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

struct Entry {
  enum class Kind { kBlank, kSection, kKey } kind = Kind::kBlank;
  std::string_view name;                  // blanks around it removed
  std::optional<std::string_view> value;  // after "=", blanks around it removed
};

Entry classify(std::string_view content) {
  std::string_view t = trim(content);
  if (t.empty()) return {};
  if (t.front() == '[') {
    // The name runs to the last "]"; a "[" line without one is an ordinary line.
    auto close = t.rfind(']');
    if (close != std::string_view::npos) return {Entry::Kind::kSection, trim(t.substr(1, close - 1)), {}};
  }
  auto eq = t.find('=');
  if (eq == std::string_view::npos) return {Entry::Kind::kKey, t, {}};
  return {Entry::Kind::kKey, trimRight(t.substr(0, eq)), trimLeft(t.substr(eq + 1))};
}

// Compares the names of the file with a wanted Windows-1252 name.
class Names {
 public:
  explicit Names(const Text& text) : text_(text) {}
  bool match(std::string_view inFile, std::string_view wanted) const {
    inFile = untilNul(inFile);
    if (!text_.unicode()) return sameNoCase(inFile, wanted);
    return sameNoCase(text_.toCp1252(inFile), wanted);
  }

 private:
  const Text& text_;
};

// What the platform copies into the caller's 255-character buffer: one pair of matching
// quotes around the value goes when the value fits, and at most 254 characters come.
std::string copyOut(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    std::string_view inner = v.substr(1);  // the closing quote still on
    if (inner.size() <= kValueLimit + 1) return std::string(inner.substr(0, inner.size() - 1));
    return std::string(inner.substr(0, kValueLimit));
  }
  return std::string(v.substr(0, kValueLimit));
}

void requirePlain(std::string_view s) {
  if (s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
    throw Failure(fail::kInvalidCall);
}

}  // namespace

std::optional<std::string> read(std::string_view bytes, std::string_view section, std::string_view key) {
  const std::string_view wantSection = trim(untilNul(section));
  const std::string_view wantKey = trim(untilNul(key));
  if (wantKey.empty()) return std::nullopt;

  const Text text(bytes);
  const Names names(text);
  const std::string_view body = text.body();
  // Lines before the first section header form a section without a name.
  bool inSection = wantSection.empty();
  Lines lines(body);
  for (Line line; lines.next(line);) {
    Entry e = classify(body.substr(line.begin, line.end - line.begin));
    if (e.kind == Entry::Kind::kBlank) continue;
    if (e.kind == Entry::Kind::kSection) {
      if (inSection) return std::nullopt;  // only the first section of the name counts
      inSection = names.match(e.name, wantSection);
      continue;
    }
    if (!inSection || !names.match(e.name, wantKey)) continue;
    if (!e.value) return std::nullopt;
    std::string_view value = untilNul(*e.value);
    return text.unicode() ? copyOut(text.toCp1252(value)) : copyOut(value);
  }
  return std::nullopt;
}

std::optional<std::string> write(std::string_view bytes, std::string_view section, std::string_view key,
                                 std::string_view value) {
  requirePlain(section);
  requirePlain(key);
  requirePlain(value);
  const std::string_view wantSection = trim(section);
  const std::string_view wantKey = trim(key);
  if (wantKey.empty() || wantKey.front() == '[' || wantKey.find('=') != std::string_view::npos)
    throw Failure(fail::kInvalidCall);

  const Text text(bytes);
  const Names names(text);
  const std::string_view body = text.body();
  // As the platform does, leading blanks of new names and of the value are dropped.
  const std::string newValue = text.fromCp1252(trimLeft(value));

  bool inSection = wantSection.empty();
  bool found = inSection;
  std::size_t insertAt = 0;  // just after the last line of the section so far
  bool breakFirst = false;   // that line ends the file without a line break
  std::optional<Line> keyLine;
  Entry keyEntry;
  Lines lines(body);
  for (Line line; lines.next(line);) {
    Entry e = classify(body.substr(line.begin, line.end - line.begin));
    if (e.kind == Entry::Kind::kBlank) continue;
    if (e.kind == Entry::Kind::kSection) {
      if (inSection) break;
      if (!names.match(e.name, wantSection)) continue;
      inSection = found = true;
    } else if (!inSection) {
      continue;
    } else if (names.match(e.name, wantKey)) {
      keyLine = line;
      keyEntry = e;
      break;
    }
    // A new key follows the section's last line but stays before the blank lines that
    // part it from the next section: only the first line break is stepped over.
    insertAt = line.end;
    if (body.substr(insertAt, 2) == kNewLine) {
      insertAt += 2;
    } else if (insertAt < body.size()) {
      ++insertAt;
    }
    breakFirst = line.end == body.size();
  }

  std::string out;
  out.reserve(body.size() + section.size() + key.size() + value.size() + 8);
  if (keyLine) {
    if (keyEntry.value && untilNul(*keyEntry.value) == newValue) return std::nullopt;
    out.append(body.substr(0, keyLine->begin));
    out.append(keyEntry.name).append("=").append(newValue);
    out.append(body.substr(keyLine->end));
  } else if (found) {
    // A name at the very start of the file that begins with the bytes of a byte-order
    // mark would change how the whole file is read: an empty line goes first.
    const std::string newKey = text.fromCp1252(trimLeft(key));
    bool markLike = false;
    for (std::string_view mark : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"})
      markLike = markLike || std::string_view(newKey).substr(0, mark.size()) == mark;
    if (insertAt == 0 && markLike) out.append(kNewLine);
    out.append(body.substr(0, insertAt));
    if (breakFirst) out.append(kNewLine);
    out.append(text.fromCp1252(trimLeft(key))).append("=").append(newValue).append(kNewLine);
    out.append(body.substr(insertAt));
  } else {
    out.append(body);
    if (!body.empty() && body.back() != '\r' && body.back() != '\n') out.append(kNewLine);
    out.append("[").append(text.fromCp1252(trimLeft(section))).append("]").append(kNewLine);
    out.append(text.fromCp1252(trimLeft(key))).append("=").append(newValue).append(kNewLine);
  }
  return text.encode(std::move(out));
}

}  // namespace trwk::profile
