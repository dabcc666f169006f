#pragma once
// A whole cleaning session over the imagined file system and a recording registry, and
// the judge of what a cleaning run asked of them.
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "cleaning/cleaning_context.h"
#include "fuzz/imagined_files.h"
#include "testing/fixed_clock.h"
#include "testing/scripted_ui.h"

namespace trwk::fuzz {

// The program folder starts with the program, its settings and its overwrite fillers.
struct ImaginedSession {
  ImaginedSession();

  ImaginedDesktop desktop;
  ImaginedFiles files{ImaginedDesktop::kProgramFolder, ImaginedDesktop::systemFolders()};
  RecordingRegistry registry;
  testing::FixedClock clock;
  testing::CountingRandom random;
  testing::ScriptedUi ui;
  Session session{{files, registry, desktop, clock, random, ui}, ImaginedDesktop::kProgramFolder};
  CleanCatalogue catalogue;
  RunState state;
  PathValues paths;
  std::vector<std::string> keep;
  CleaningContext context{session, catalogue, state, paths, keep};

  // The keys (objectKey) of the files stored in the program folder so far: the program's own.
  std::set<std::string> ownFiles() const;
};

// The input split at its first NUL byte: the text before it and the text after it (nothing
// and the whole input when there is none).
std::pair<std::string, std::string> splitAtNul(std::string_view input);

// Nothing when every removal the run asked for is one a line of `listText` names and that
// line is a safe full path (unsafePathText says nothing, masks allowed in its last part):
// the line's file, the line's folder with its tree, or the line's mask in its folder. Any
// piece of text between line breaks counts as a line. No removal may reach a drive root,
// a protected system folder, a folder that holds one, a profile root, or one of
// `ownFiles`; nothing may be written but the run log; the registry may lose values and
// keys under HKEY_CURRENT_USER named by a line only when `registryLines` is set.
std::optional<std::string> judgeRemovals(const ImaginedSession& s, std::string_view listText,
                                         const std::set<std::string>& ownFiles, bool registryLines);

}  // namespace trwk::fuzz
