#include "foundation/convert.h"

#include <cmath>
#include <cstdlib>

#include "platform/failure.h"
#include "platform/text_encoding.h"

namespace trwk {
namespace {

std::string trimmed(const std::string& text) {
  auto b = text.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  auto e = text.find_last_not_of(" \t");
  return text.substr(b, e - b + 1);
}

}  // namespace

long toInteger(const std::string& text) {
  std::string t = trimmed(text);
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  std::size_t digits = 0, dots = 0;
  for (std::size_t k = i; k < t.size(); ++k) {
    if (t[k] >= '0' && t[k] <= '9') ++digits;
    else if (t[k] == '.' && dots == 0) ++dots;
    else throw Failure(fail::kTypeMismatch);
  }
  if (digits == 0) throw Failure(fail::kTypeMismatch);
  double v = std::strtod(t.c_str(), nullptr);
  if (std::fabs(v) > 2147483647.0) throw Failure(6);
  return static_cast<long>(std::nearbyint(v));
}

bool toBoolean(const std::string& text) {
  std::string t = trimmed(text);
  if (equalsNoCase(t, "True")) return true;
  if (equalsNoCase(t, "False")) return false;
  return toInteger(t) != 0;
}

}  // namespace trwk
