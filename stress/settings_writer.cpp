// The settings writer that stress/settings_kill.sh kills at random moments, and the judge
// of what each kill left. Both work on mainten.ini in the program folder of a prefix.
//   settings_writer write PREFIX FIRST   writes key FIRST % 64, FIRST+1 % 64 ... for ever
//                                        and tells each index on stdout once it is written
//   settings_writer check PREFIX LAST    judges the file after the write of LAST was the last
//                                        one told (-1: none yet)
// mainten.ini starts as SEED (the bytes the script put there, kept as mainten.ini.seed) and
// may only ever grow by a [Stress] section whose keys Key0..Key63 appear in order, each
// "Key<k>=v<j>:<j's padding>" for the index j last written to it.
// check exits 0 when all is well, 3 for a torn or unparseable file, 4 for a lost key.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "foundation/settings.h"
#include "platform/posix/host_io.h"
#include "platform/posix/posix_services.h"

namespace {

constexpr long kKeys = 64;
constexpr const char* kProgramFolder = "C:\\Program Files\\Tarnwick";
constexpr const char* kIni = "C:\\Program Files\\Tarnwick\\mainten.ini";

std::string keyName(long index) {
  return "Key" + std::to_string(index % kKeys);
}

// Values of different lengths, so that a file cut short or mixed from two writes shows.
std::string valueOf(long index) {
  return "v" + std::to_string(index) + ":" + std::string(static_cast<std::size_t>(index * 37 % 300), 'x');
}

int write(trwk::Settings& settings, long first) {
  for (long i = first;; ++i) {
    if (!settings.AddToini("Stress", keyName(i), valueOf(i), kIni)) {
      std::fprintf(stderr, "settings_writer: the write of %ld failed\n", i);
      return 1;
    }
    const std::string told = std::to_string(i) + "\n";
    if (::write(1, told.data(), told.size()) != static_cast<ssize_t>(told.size())) return 1;
  }
}

int verdict(int code, const std::string& why) {
  std::printf("%s\n", why.c_str());
  return code;
}

int check(trwk::Settings& settings, const std::string& hostIni, long last) {
  auto seed = trwk::posix::readHostFile(hostIni + ".seed");
  auto file = trwk::posix::readHostFile(hostIni);
  if (!seed) return verdict(2, "no seed file");
  if (!file) return verdict(3, "torn: mainten.ini is gone");
  if (file->compare(0, seed->size(), *seed) != 0)
    return verdict(3, "torn: the lines before [Stress] changed");
  std::string rest = file->substr(seed->size());
  const long written = last + 1;  // writes told; one more may have reached the disk untold
  if (rest.empty()) return written == 0 ? 0 : verdict(4, "lost: the [Stress] section is gone");
  if (rest.compare(0, 10, "[Stress]\r\n") != 0) return verdict(3, "torn: no [Stress] line after the seed");
  std::size_t at = 10;
  long k = 0;
  for (; at < rest.size(); ++k) {
    std::size_t end = rest.find("\r\n", at);
    if (end == std::string::npos) return verdict(3, "torn: a line without its end");
    std::string line = rest.substr(at, end - at);
    at = end + 2;
    const std::string prefix = keyName(k) + "=v";
    if (k >= kKeys || line.compare(0, prefix.size(), prefix) != 0)
      return verdict(3, "torn: unexpected line " + line.substr(0, 40));
    char* stop = nullptr;
    long j = std::strtol(line.c_str() + prefix.size(), &stop, 10);
    if (j % kKeys != k || line != keyName(k) + "=" + valueOf(j))
      return verdict(3, "torn: a value mixed from two writes for " + keyName(k));
    // The key's last told write, or one after it that did not live to be told.
    long told = written - 1 - ((written - 1 - k) % kKeys + kKeys) % kKeys;
    if (j > written) return verdict(3, "torn: " + keyName(k) + " holds a write that never started");
    if (k <= written - 1 && j < told)
      return verdict(4, "lost: " + keyName(k) + " lost write " + std::to_string(told));
    if (settings.getini("Stress", keyName(k), kIni) != valueOf(j).substr(0, 254))
      return verdict(3, "unparseable: the settings reader does not read " + keyName(k));
  }
  const long expected = std::min(written, kKeys);
  if (k < expected)
    return verdict(4, "lost: only " + std::to_string(k) + " keys of " + std::to_string(expected));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: settings_writer write|check PREFIX INDEX\n");
    return 2;
  }
  const std::string mode = argv[1], prefix = argv[2];
  const long index = std::strtol(argv[3], nullptr, 10);
  auto services = trwk::posix::makeServicesForPrefix(prefix, kProgramFolder);
  trwk::Settings settings(*services.files, nullptr);
  if (mode == "write") return write(settings, index);
  if (mode == "check") return check(settings, prefix + "/drive_c/Program Files/Tarnwick/mainten.ini", index);
  std::fprintf(stderr, "settings_writer: no mode %s\n", mode.c_str());
  return 2;
}
