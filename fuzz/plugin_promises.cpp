#include "extensions/plugins.h"
#include "foundation/profile_file.h"
#include "fuzz/imagined_session.h"
#include "fuzz/promises.h"

namespace trwk::fuzz {

std::optional<std::string> pluginBodyPromises(std::string_view input) {
  ImaginedSession s;
  s.files.store("Fuzz.cp1", std::string(input));
  const auto own = s.ownFiles();
  pluginCleanFiles(s.context, "Fuzz.cp1");
  return judgeRemovals(s, input, own, true);
}

std::optional<std::string> pluginHeaderRoundTrip(std::string_view input) {
  static const char* const kOtherKeys[] = {"Name", "Version", "Created", "Author", "Info"};
  ImaginedSession s;
  s.files.store("Fuzz.cp2", std::string(input));
  s.files.store("Fuzz.cp1", "");
  auto others = [&] {
    std::vector<std::optional<std::string>> values;
    for (const char* key : kOtherKeys)
      values.push_back(profile::read(*s.files.stored("Fuzz.cp2"), "Main", key));
    return values;
  };
  const auto before = others();

  Plugins plugins(s.session);
  plugins.fixPlugins();
  if (plugins.rowCount() != 1) return "the header is not listed";
  const bool was = plugins.ticks[0];
  const std::string name = plugins.names[0];
  std::string firstWrite;
  for (int round = 0; round < 3; ++round) {
    const bool on = round % 2 == 0 ? !was : was;
    plugins.setActive(0, on);
    Plugins restarted(s.session);
    restarted.fixPlugins();
    if (restarted.rowCount() != 1) return "the header is no longer listed after a tick";
    if (restarted.ticks[0] != on) return "a tick does not come back after a restart";
    if (restarted.names[0] != name) return "a tick changed the plugin's name";
    if (others() != before) return "a tick changed another value of the header";
    if (round == 0) firstWrite = *s.files.stored("Fuzz.cp2");
    if (round == 2 && *s.files.stored("Fuzz.cp2") != firstWrite)
      return "ticking back and forth did not give the same bytes";
  }
  for (const Change& change : s.files.changes) {
    const bool header =
        change.operation == "replaceAtomically" && objectKey(change.path) == objectKey(plugins.headerPath(0));
    const bool log =
        change.operation == "appendText" && objectKey(change.path) == objectKey(s.session.log.path());
    if (!header && !log) return "a tick made the change " + change.operation + " of " + change.path;
  }
  return std::nullopt;
}

}  // namespace trwk::fuzz
