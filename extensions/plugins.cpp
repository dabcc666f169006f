#include "extensions/plugins.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "cleaning/protection.h"
#include "cleaning/removal.h"
#include "cleaning/run_completion.h"
#include "cleaning/secure_removal.h"
#include "foundation/convert.h"
#include "foundation/registry_layer.h"
#include "foundation/trap.h"

namespace trwk {
namespace {

constexpr std::string_view kCurrentUser = "HKEY_CURRENT_USER\\";
constexpr std::size_t kShownLine = 200;  // of a refused line, in the run log

char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool lessIgnoringCase(const std::string& a, const std::string& b) {
  bool less = std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                           [](char x, char y) { return lower(x) < lower(y); });
  bool greater = std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(),
                                              [](char x, char y) { return lower(x) < lower(y); });
  // Names equal but for letter case (possible on some file systems) keep a fixed order.
  return less || (!greater && a < b);
}

bool startsWith(const std::string& text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

// Lines end in CR LF, a lone CR or a lone LF.
std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(std::move(line));
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

// A line as the run log shows it: control bytes as "?", cut when long.
std::string shown(const std::string& line) {
  std::string out = line.substr(0, kShownLine);
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 0x20) c = '?';
  if (line.size() > kShownLine) out += "...";
  return out;
}

[[noreturn]] void refuse(const std::string& reason, const std::string& line) {
  throw Failure(fail::kInvalidCall, reason + ": " + shown(line));
}

bool hasControlBytes(const std::string& line) {
  return std::any_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

void registryLine(Session& session, const std::string& line) {
  // The creator's lines always name HKEY_CURRENT_USER; dropping some other root's name
  // would leave a mangled path that may still name a real key.
  if (!startsWith(line, kCurrentUser)) refuse("Refused: registry root is not HKEY_CURRENT_USER", line);
  std::string rest = line.substr(kCurrentUser.size());
  if (std::size_t plus = rest.find('+'); plus != std::string::npos) {
    RegistryLayer(session.platform.registry, session.platform.ui)
        .deleteValue(RootKey::CurrentUser, rest.substr(0, plus), rest.substr(plus + 1));
    return;
  }
  if (!rest.empty() && rest.back() == '-') {
    std::string key = rest.substr(0, rest.size() - 1);
    if (key.find_first_not_of('\\') == std::string::npos) refuse("Refused: no registry key named", line);
    SecureRemoval(session).deleteRegistryKey(RootKey::CurrentUser, key);
    return;
  }
  refuse("Registry line names neither a value (+) nor a key (-)", line);
}

void reportFirstFailure(const Removal& removal, const std::string& line) {
  if (int number = removal.firstFailure())
    throw Failure(number, failureDescription(number) + ": " + shown(line));
}

void pathLine(Session& session, const std::string& line) {
  // Only full paths on a drive are run: a relative path would depend on the current
  // folder, and a network path or a device name is not what a cleaning recipe is for.
  if (auto unsafe = unsafePathText(line, true)) refuse("Refused: " + *unsafe, line);
  Files& files = session.platform.files;
  std::size_t last = line.find_last_of('\\');
  bool mask = line.find_first_of("*?", last) != std::string::npos;
  Removal removal(session);
  if (mask) {
    // Nothing goes unless an ordinary file matches; then the matching folders go too.
    if (!session.settings.fileExists(line)) return;
    removal.deleteMatching(line, true, OnError::KeepGoing);
    reportFirstFailure(removal, line);
    return;
  }
  std::string path = line;
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  if (path.size() <= 3) refuse("Refused: a drive cannot be removed", line);
  if (session.settings.fileExists(path)) {
    removal.deleteFile(path);
    return;
  }
  ListOptions everything;
  everything.folders = true;
  std::vector<DirEntry> found = files.list(path, everything);
  if (found.empty() || !(found.front().isFolder || found.front().isLink)) return;  // absent, or a hidden file
  // A folder goes with its contents; a link named here goes as a link.
  removal.deleteTree(path, OnError::KeepGoing);
  reportFirstFailure(removal, line);
}

void runLine(Session& session, const std::string& line) {
  if (line.find_first_not_of(' ') == std::string::npos) return;
  if (startsWith(line, "/*")) return;
  // A name cut short at a stray byte would be a different name.
  if (hasControlBytes(line)) refuse("Refused: control characters in line", line);
  if (startsWith(line, "HKEY"))
    registryLine(session, line);
  else
    pathLine(session, line);
}

}  // namespace

std::string bodyFileFor(const std::string& headerFile) {
  if (headerFile.empty()) return headerFile;
  std::string body = headerFile;
  body.back() = '1';
  return body;
}

void Plugins::fixPlugins() {
  Trap trap(session_.log, "fixPlugins");
  headerFiles.clear();
  names.clear();
  ticks.clear();
  list4.clear();
  highlighted = -1;

  trap.checkpoint();
  trap.run([&] {
    ListOptions options;  // as a file list shows them: no folders, no hidden or system files
    options.hiddenAndSystem = false;
    for (const DirEntry& entry : session_.platform.files.list(session_.inFolder("*.cp2"), options))
      if (!entry.isFolder) headerFiles.push_back(entry.name);
    std::sort(headerFiles.begin(), headerFiles.end(), lessIgnoringCase);
  });

  for (int row = 0; row < rowCount(); ++row) {
    trap.checkpoint();
    std::string header = headerPath(row);
    std::string name = session_.settings.getini("Main", "Name", header);
    names.push_back(name);
    list4.push_back(name);
    ticks.push_back(false);
    trap.run([&] { ticks.back() = toBoolean(session_.settings.getini("Main", "Active", header)); });
  }

  trap.checkpoint();
  pathBox = session_.programFolder + "\\";
}

void Plugins::setActive(int row, bool on) {
  if (row < 0 || row >= rowCount()) return;
  ticks[static_cast<std::size_t>(row)] = on;
  std::string header = headerPath(row);
  // A plugin deleted since start must not come back as a header holding only `Active`.
  if (!session_.platform.files.fileExists(header)) return;
  session_.settings.AddToini("Main", "Active", on ? "True" : "False", header);
}

void Plugins::highlight(int row) {
  highlighted = row >= 0 && row < rowCount() ? row : -1;
}

std::string Plugins::headerPath(int row) const {
  return session_.inFolder(headerFiles.at(static_cast<std::size_t>(row)));
}

std::string Plugins::bodyFileName(int row) const {
  return bodyFileFor(headerFiles.at(static_cast<std::size_t>(row)));
}

void pluginCleanFiles(CleaningContext& context, const std::string& bodyFile) {
  Session& session = context.session;
  Trap trap(session.log, "pluginCleanFiles");
  std::string text;
  // A missing or unreadable body file ends this plugin only.
  if (!trap.run([&] { text = session.platform.files.readAll(session.inFolder(bodyFile)); })) return;
  std::vector<std::string> lines = splitLines(text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    trap.step = static_cast<std::int16_t>(std::min<std::size_t>(i + 1, INT16_MAX));
    trap.run([&] { runLine(session, lines[i]); });
  }
}

void cleanPlugins(CleaningContext& context, Plugins& plugins) {
  RunState& state = context.state;
  Trap trap(context.session.log, "cmdCleanPlugins");
  state.runningFamily = "Plugins";
  state.statusText = "Removing Plugin files";
  context.refresh();

  const int ticked = static_cast<int>(std::count(plugins.ticks.begin(), plugins.ticks.end(), true));
  trap.checkpoint();
  if (!state.cleanAllRunning) {
    trap.run([&] { beginFamilyRun(context, kPluginsFamilyCode); });
    state.animation = {1000, true};
    state.progress = {0, std::max(ticked, 1)};
    context.refresh();
  }

  for (int row = 0; row < plugins.rowCount(); ++row) {
    if (!plugins.ticks[static_cast<std::size_t>(row)]) continue;
    trap.checkpoint();
    state.runningPart = plugins.names[static_cast<std::size_t>(row)];
    trap.run([&] { pluginCleanFiles(context, plugins.bodyFileName(row)); });
    state.runningPart.clear();
    if (!state.cleanAllRunning) state.progress.advance();
    context.refresh();
  }

  trap.checkpoint();
  if (!state.cleanAllRunning) trap.run([&] { completeRun(context); });
}

bool startPluginCreator(Session& session) {
  const std::string exe = session.inFolder("Extmaker1.exe");
  Ui& ui = session.platform.ui;
  if (!session.platform.files.fileExists(exe)) {
    ui.messageBox({"The Plugin Creator (Extmaker1.exe) was not found in the program folder:\r\n" +
                       session.programFolder + "\r\n\r\nReinstall Tarnwick to use it.",
                   "Start Plugin Creator", Buttons::Ok, Icon::Exclamation, 1});
    return false;
  }
  bool started = false;
  Trap(session.log, "cmdStartPluginCreator").run([&] {
    started = session.platform.desktop.startProgram(exe, "");
  });
  if (!started)
    ui.messageBox({"The Plugin Creator could not be started:\r\n" + exe, "Start Plugin Creator", Buttons::Ok,
                   Icon::Exclamation, 1});
  return started;
}

}  // namespace trwk
