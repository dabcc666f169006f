#include "platform/wildcard.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "platform/text_encoding.h"

namespace trwk {
namespace {

// The mask is first rewritten into the DOS wildcards the file system matches with:
// '?' becomes kQm, '*' before a dot becomes kStar, a dot before '*', '?' or the end
// becomes kDot.
constexpr char kStar = '<';  // any characters up to the name's last dot
constexpr char kQm = '>';    // one character, or nothing at a dot or at the end
constexpr char kDot = '"';   // a dot, or nothing at the end

std::string dosMask(const std::string& mask) {
  std::string out = mask;
  for (std::size_t i = 0; i < out.size(); ++i) {
    char next = i + 1 < mask.size() ? mask[i + 1] : '\0';
    if (mask[i] == '?')
      out[i] = kQm;
    else if (mask[i] == '*' && next == '.')
      out[i] = kStar;
    else if (mask[i] == '.' && (next == '?' || next == '*' || next == '\0'))
      out[i] = kDot;
  }
  return out;
}

bool skippableAtEnd(char m) {
  return m == '*' || m == kStar || m == kDot || m == kQm;
}

// Decides each (name position, mask position) once, so that no mask can take long,
// whatever run of stars a plugin file holds.
class Matcher {
 public:
  Matcher(const std::string& name, const std::string& mask)
      : name_(name),
        mask_(dosMask(mask)),
        lastDot_(name.rfind('.')),
        known_((name.size() + 1) * (mask_.size() + 1), -1) {}

  bool at(std::size_t n, std::size_t m) {
    if (n == name_.size()) {
      while (m < mask_.size() && skippableAtEnd(mask_[m])) ++m;
      return m == mask_.size();
    }
    if (m == mask_.size()) return false;
    signed char& known = known_[n * (mask_.size() + 1) + m];
    if (known < 0) known = decide(n, m) ? 1 : 0;
    return known == 1;
  }

 private:
  bool decide(std::size_t n, std::size_t m) {
    switch (mask_[m]) {
      case '*': return at(n, m + 1) || at(n + 1, m);
      case kStar: {
        // It may run up to the name's last dot, not beyond it.
        std::size_t limit = (lastDot_ == std::string::npos || lastDot_ < n) ? name_.size() : lastDot_;
        return at(n, m + 1) || (n < limit && at(n + 1, m));
      }
      case kQm: {
        if (name_[n] != '.') return at(n + 1, m + 1);
        std::size_t after = m + 1;
        while (after < mask_.size() && mask_[after] == kQm) ++after;
        return after == mask_.size() ? at(n + 1, after) : at(n, after);  // a final run may take the dot
      }
      default: {
        char c = mask_[m] == kDot ? '.' : mask_[m];
        return upperCp1252(c) == upperCp1252(name_[n]) && at(n + 1, m + 1);
      }
    }
  }

  const std::string& name_;
  std::string mask_;
  std::size_t lastDot_;
  std::vector<signed char> known_;
};

}  // namespace

bool matchesMask(const std::string& name, const std::string& mask) {
  if (name.empty() || mask.empty()) return false;  // a pattern ending in a separator names no entry
  if (mask == "*" || mask == "*.*") return true;
  return Matcher(name, mask).at(0, 0);
}

void sortByName(std::vector<DirEntry>& entries) {
  // Each name is folded once, not once per comparison.
  std::vector<std::string> keys;
  keys.reserve(entries.size());
  for (const DirEntry& e : entries) keys.push_back(upperCp1252(e.name));
  std::vector<std::size_t> order(entries.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return keys[a] != keys[b] ? keys[a] < keys[b] : entries[a].name < entries[b].name;
  });
  std::vector<DirEntry> sorted;
  sorted.reserve(entries.size());
  for (std::size_t i : order) sorted.push_back(std::move(entries[i]));
  entries = std::move(sorted);
}

}  // namespace trwk
