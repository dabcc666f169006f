#pragma once
// What each fuzz target asks of its parser, shared by the libFuzzer entry (fuzz_main.cpp)
// and the replay of the kept inputs in the unit tests. Each takes any bytes and gives
// nothing when every promise held, otherwise what broke.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/reg_file_round_trip.h"

namespace trwk::fuzz {

using Promises = std::optional<std::string> (*)(std::string_view input);

// One fuzz target: its name names the executable "<name>_fuzz", its corpus folder
// fuzz/corpus/<name> and its dictionary fuzz/<name>.dict (when there is one).
struct Target {
  const char* name;
  Promises promises;
};
const std::vector<Target>& targets();

// Runs one target's promises on an input; an exception that escapes breaks a promise too.
std::optional<std::string> checked(const Target& target, std::string_view input);

// The profile engine (mainten.ini, url.ini, plugin headers). The input is one control
// line "<section>\t<key>\t<value>\t<other section>\t<other key>" ended by LF, then the
// file's bytes: the value written reads back as written (blanks around it and one pair of
// quotes dropped, 254 characters at most), the other key keeps its value, every byte
// outside the one changed line stays, and writing the same value again keeps it.
std::optional<std::string> profileRoundTrip(std::string_view input);

// A plugin body (*.cp1) run against the imagined file system: only what a safe, full path
// line names is removed, nothing protected and none of the program's own files; registry
// lines take only values and keys of HKEY_CURRENT_USER they name.
std::optional<std::string> pluginBodyPromises(std::string_view input);

// A plugin header (*.cp2): ticking the plugin on and off comes back after a restart, keeps
// every other value of the header, and ticking it back and forth gives the same bytes.
std::optional<std::string> pluginHeaderRoundTrip(std::string_view input);

// A user set list (userdef1.lst), with the set's base file before the first NUL: cleaning
// the set keeps the promises of a plugin body (no registry), and the set editor's save
// followed by a load gives its entries back after the base file's own.
std::optional<std::string> userSetPromises(std::string_view input);

// A cookie keep list (cookies1.lst), with its template before the first NUL: entries saved
// by the keep-list window read back after the template's own, and the cookie step never
// overwrites or deletes a kept cookie or index.dat while every other cookie goes.
std::optional<std::string> keepListPromises(std::string_view input);

// The prefs.js filter: idempotent, every kept line byte for byte and in order, every line
// without the typed-address marker kept, none with it.
std::optional<std::string> prefsFilterPromises(std::string_view input);

// A community rule file (winapp2.ini): every problem is reported at a line of the file, a
// refused entry never runs, and running every entry on the imagined system walks only
// safe, full paths outside the protected places, writes nothing but the run log and
// deletes registry values and keys under HKEY_CURRENT_USER only.
std::optional<std::string> ruleFilePromises(std::string_view input);

}  // namespace trwk::fuzz
