#pragma once
// The lines of a plugin's body file as the plugin creator builds them, and the test of a
// plugin name. Pure text work: no file is touched here.
#include <optional>
#include <string>

namespace trwk::creator {

// The four ways the "Files and Folders" frame can name what a line removes.
enum class FileOption { None, SingleFile, AllFiles, WithExtension, Folder };
// The two ways the "Registry Keys and Values" frame can name what a line removes.
enum class RegistryOption { None, Value, Key };

// The folder list's path as the start of a line: a drive root "d:\" becomes "D:", so that
// appending "\" + name never doubles the separator; any other folder loses a trailing "\".
std::string lineFolder(const std::string& folder);

// The extension box without its wildcards and dots: every "*." goes, then every "*.*",
// then every "*" and then every "." ("*.TMP", ".tmp" and "tmp" all give the bare name).
std::string cleanExtension(const std::string& box);

// The body line for a file option, or the empty text for FileOption::None.
std::string fileLine(FileOption option, const std::string& folder, const std::string& fileName,
                     const std::string& extension);

// The body line for a registry option: the key path + "+" + value name for a value,
// the key path + "-" for a key; the empty text for RegistryOption::None.
std::string registryLine(RegistryOption option, const std::string& keyPath, const std::string& valueName);

// Why name cannot be the name of the plugin's two files in programFolder, as a sentence
// for the user, or nothing when it can.
std::optional<std::string> pluginNameProblem(const std::string& name, const std::string& programFolder);

}  // namespace trwk::creator
