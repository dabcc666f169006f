#include <algorithm>
#include <exception>

#include "foundation/profile_file.h"
#include "fuzz/promises.h"
#include "platform/failure.h"
#include "platform/text_encoding.h"

namespace trwk::fuzz {
namespace {

std::string field(std::string_view& line) {
  std::size_t end = line.find('\t');
  std::string out(line.substr(0, end));
  line.remove_prefix(end == std::string_view::npos ? line.size() : end + 1);
  return out;
}

bool isBlank(char c) {
  auto b = static_cast<unsigned char>(c);
  return (b >= 0x09 && b <= 0x0D) || b == 0x1A || b == 0x20;
}

std::string trimmed(std::string_view s) {
  std::size_t begin = 0, end = s.size();
  while (begin < end && isBlank(s[begin])) ++begin;
  while (end > begin && isBlank(s[end - 1])) --end;
  return std::string(s.substr(begin, end - begin));
}

// Names as the reader compares them: up to a NUL, blanks around dropped, any letter case.
std::string nameOf(std::string_view s) {
  return upperCp1252(trimmed(s.substr(0, s.find('\0'))));
}

// What a read gives back for a value written: the blanks around it and one pair of matching
// quotes go, and no more than 254 characters come.
std::string readBack(std::string_view value) {
  std::string v = trimmed(value);
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    if (v.size() - 2 <= profile::kValueLimit) return v.substr(1, v.size() - 2);
    return v.substr(1, profile::kValueLimit);
  }
  return v.substr(0, profile::kValueLimit);
}

// Text the format cannot hold, which a write must refuse.
bool unholdable(const std::string& section, const std::string& key, const std::string& value) {
  const std::string_view breaks("\r\n\0", 3);
  for (const std::string* s : {&section, &key, &value})
    if (s->find_first_of(breaks) != std::string::npos) return true;
  const std::string k = trimmed(key);
  return k.empty() || k.front() == '[' || k.find('=') != std::string::npos;
}

// Outside the UTF-16 forms a write changes the bytes of one line only, or adds lines:
// whatever differs between the common start and the common end holds no line break.
bool oneLineChanged(const std::string& before, const std::string& after) {
  if (before.rfind("\xFF\xFE", 0) == 0 || before.rfind("\xFE\xFF", 0) == 0) return true;
  const std::size_t limit = std::min(before.size(), after.size());
  std::size_t prefix = 0, suffix = 0;
  while (prefix < limit && before[prefix] == after[prefix]) ++prefix;
  while (suffix < limit - prefix && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
    ++suffix;
  return std::string_view(before).substr(prefix, before.size() - prefix - suffix).find_first_of("\r\n") ==
         std::string_view::npos;
}

std::string shown(const std::optional<std::string>& value) {
  return value ? "\"" + *value + "\"" : "nothing";
}

}  // namespace

std::optional<std::string> profileRoundTrip(std::string_view input) {
  std::size_t nl = input.find('\n');
  if (nl == std::string_view::npos) return std::nullopt;
  std::string_view control = input.substr(0, nl);
  const std::string section = field(control), key = field(control), value = field(control);
  const std::string otherSection = field(control), otherKey = field(control);
  const std::string original(input.substr(nl + 1));

  std::optional<std::string> written;
  try {
    written = profile::write(original, section, key, value);
  } catch (const Failure& f) {
    if (f.number() == fail::kInvalidCall && unholdable(section, key, value)) return std::nullopt;
    return "a write of text the format can hold was refused (" + f.description() + ")";
  } catch (const std::exception& e) {
    return std::string("a write threw ") + e.what();
  }
  if (unholdable(section, key, value)) return "a write of text the format cannot hold was not refused";

  const std::string expected = readBack(value);
  if (!written) {  // the file holds that value already
    auto before = profile::read(original, section, key);
    if (before != expected) return "a write was skipped though the file holds " + shown(before);
    return std::nullopt;
  }
  auto after = profile::read(*written, section, key);
  if (after != expected) return "a value written reads back as " + shown(after) + ", not " + shown(expected);

  const bool sameKey = nameOf(section) == nameOf(otherSection) && nameOf(key) == nameOf(otherKey);
  if (!sameKey &&
      profile::read(original, otherSection, otherKey) != profile::read(*written, otherSection, otherKey))
    return "writing one key changed the value of another";

  if (!oneLineChanged(original, *written)) return "a write changed more than one line";

  // The same value again may spell the line anew, but changes nothing else.
  if (auto again = profile::write(*written, section, key, value)) {
    if (profile::read(*again, section, key) != expected) return "writing the same value again changed it";
    if (!oneLineChanged(*written, *again)) return "writing the same value again changed more than one line";
  }
  return std::nullopt;
}

}  // namespace trwk::fuzz
