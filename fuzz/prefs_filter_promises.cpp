#include <vector>

#include "cleaning/netscape_cleaner.h"
#include "fuzz/promises.h"

namespace trwk::fuzz {
namespace {

constexpr std::string_view kTypedAddress = "user_pref(\"browser.url_history.URL";

// The lines of a text: CR LF, a lone LF and a lone CR each end one; a last line without
// an ending counts too.
std::vector<std::string_view> linesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

}  // namespace

std::optional<std::string> prefsFilterPromises(std::string_view input) {
  const std::string prefs(input);
  const std::string filtered = withoutTypedAddresses(prefs);
  if (withoutTypedAddresses(filtered) != filtered) return "filtering twice takes out more than once";
  if (!filtered.empty() && filtered.size() < 2) return "the filtered file is cut";
  if (!filtered.empty() && filtered.compare(filtered.size() - 2, 2, "\r\n") != 0)
    return "the filtered file does not end in CR LF";
  std::vector<std::string_view> expected;
  for (std::string_view line : linesOf(prefs))
    if (line.find(kTypedAddress) == std::string_view::npos) expected.push_back(line);
  const std::vector<std::string_view> kept = linesOf(filtered);
  if (kept.size() != expected.size())
    return "the filter kept " + std::to_string(kept.size()) + " lines, not " +
           std::to_string(expected.size());
  for (std::size_t i = 0; i < kept.size(); ++i) {
    if (kept[i].find(kTypedAddress) != std::string_view::npos) return "a typed address stayed";
    if (kept[i] != expected[i])
      return "kept line " + std::to_string(i + 1) + " is not byte for byte the original";
  }
  return std::nullopt;
}

}  // namespace trwk::fuzz
