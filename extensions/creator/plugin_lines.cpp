#include "extensions/creator/plugin_lines.h"

#include <array>
#include <cctype>
#include <string_view>

namespace trwk::creator {
namespace {

void removeAll(std::string& text, std::string_view what) {
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at))
    text.erase(at, what.size());
}

bool isDriveRoot(const std::string& folder) {
  return folder.size() == 3 && std::isalpha(static_cast<unsigned char>(folder[0])) && folder[1] == ':' &&
         folder[2] == '\\';
}

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// Windows opens these names as devices, whatever extension follows them.
bool isDeviceName(const std::string& name) {
  std::string base = upper(name.substr(0, name.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  static constexpr std::array<std::string_view, 4> kPlain = {"CON", "PRN", "AUX", "NUL"};
  for (std::string_view device : kPlain)
    if (base == device) return true;
  return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) && base[3] >= '1' &&
         base[3] <= '9';
}

// Longest name of one folder entry, and longest full path the classic file functions take.
constexpr std::size_t kLongestEntry = 255;
constexpr std::size_t kLongestPath = 259;

}  // namespace

std::string lineFolder(const std::string& folder) {
  if (isDriveRoot(folder)) return upper(folder.substr(0, 2));
  std::string trimmed = folder;
  while (trimmed.size() > 1 && trimmed.back() == '\\') trimmed.pop_back();
  if (trimmed.size() == 2 && trimmed[1] == ':') trimmed = upper(trimmed);
  return trimmed;
}

std::string cleanExtension(const std::string& box) {
  std::string extension = box;
  removeAll(extension, "*.");
  removeAll(extension, "*.*");
  removeAll(extension, "*");
  removeAll(extension, ".");
  return extension;
}

std::string fileLine(FileOption option, const std::string& folder, const std::string& fileName,
                     const std::string& extension) {
  const std::string f = lineFolder(folder);
  switch (option) {
    case FileOption::SingleFile: return f + "\\" + fileName;
    case FileOption::AllFiles: return f + "\\*.*";
    case FileOption::WithExtension: return f + "\\*." + cleanExtension(extension);
    case FileOption::Folder: return f;
    case FileOption::None: break;
  }
  return {};
}

std::string registryLine(RegistryOption option, const std::string& keyPath, const std::string& valueName) {
  switch (option) {
    case RegistryOption::Value: return keyPath + "+" + valueName;
    case RegistryOption::Key: return keyPath + "-";
    case RegistryOption::None: break;
  }
  return {};
}

std::optional<std::string> pluginNameProblem(const std::string& name, const std::string& programFolder) {
  const std::string lead = "The plugin name \"" + name + "\" cannot be used as a file name: ";
  if (name.find_first_not_of(" \t") == std::string::npos) return "The plugin name cannot be blank.";
  if (name.find_first_of("\\/:*?\"<>|") != std::string::npos)
    return lead + "it may not hold any of the characters \\ / : * ? \" < > |";
  for (char c : name)
    if (static_cast<unsigned char>(c) < 0x20) return lead + "it may not hold control characters.";
  if (name.back() == '.' || name.back() == ' ') return lead + "it may not end with a dot or a space.";
  if (isDeviceName(name))
    return lead + "CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9 are names of devices.";
  // Both files are the name + ".cp1" or ".cp2" in the program folder.
  if (name.size() + 4 > kLongestEntry || programFolder.size() + 1 + name.size() + 4 > kLongestPath)
    return lead + "it is too long.";
  return std::nullopt;
}

}  // namespace trwk::creator
