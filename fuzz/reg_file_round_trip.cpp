#include "fuzz/reg_file_round_trip.h"

#include <ctime>

#include "platform/posix/reg_file.h"

namespace trwk::fuzz {
namespace {

constexpr std::time_t kNow = 1800000000;

// The next field of the control line, up to a tab or the line's end.
std::string field(std::string_view& line) {
  std::size_t end = line.find('\t');
  std::string out(line.substr(0, end));
  line.remove_prefix(end == std::string_view::npos ? line.size() : end + 1);
  return out;
}

}  // namespace

std::optional<std::string> regFileRoundTrip(std::string_view input) {
  std::size_t nl = input.find('\n');
  if (nl == std::string_view::npos) return std::nullopt;
  std::string_view control = input.substr(0, nl);
  const std::string key = field(control), name = field(control), text = field(control);
  const std::string original(input.substr(nl + 1));

  posix::RegFile file(original);
  if (file.text() != original) return "the file does not go back byte for byte";
  (void)file.value(key, name);
  if (!file.setString(key, name, text, kNow)) {
    if (file.text() != original) return "a refused change still changed the file";
    return std::nullopt;
  }
  // What is on disk after the write is all that counts: read it as a new start would.
  const std::string written = file.text();
  posix::RegFile reread(written);
  auto value = reread.value(key, name);
  if (!value) return "a value that was set cannot be read back";
  if (value->type != ValueType::String) return "a value that was set reads back as another type";
  if (value->data != text) return "a value that was set reads back as other text";
  if (!reread.keyExists(key)) return "the key of a value that was set is missing";
  if (!reread.setString(key, name, text, kNow) || reread.text() != written)
    return "setting the same text again changed the file";
  return std::nullopt;
}

}  // namespace trwk::fuzz
