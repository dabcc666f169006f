#pragma once
// Shell services over a Wine prefix: known folders from the registry Wine keeps, the
// freedesktop trash Wine uses as the recycle bin, and programs started through wine.
#include <memory>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/posix/posix_registry.h"
#include "platform/posix/wine_prefix.h"

namespace trwk::posix {

class PosixDesktop : public Desktop {
 public:
  // programFolder (a Windows path) overrides where the program is taken to live.
  PosixDesktop(std::shared_ptr<const WinePrefix> prefix, std::string programFolder = {});

  std::optional<std::string> knownFolder(KnownFolder id) override;
  // $TRWK_PROGRAM_FOLDER when set, else the running executable's folder when it lies in
  // one of the prefix's drives, else empty.
  std::string programFolder() override;
  // Starts `wine <program> <arguments>` for this prefix without waiting.
  bool startProgram(const std::string& path, const std::string& arguments) override;
  // Empties $XDG_DATA_HOME/Trash (default ~/.local/share/Trash) as Wine's recycle bin.
  bool emptyRecycleBin() override;
  // Counts what is in Trash/files, each link as itself.
  std::optional<RecycleBinContent> recycleBinContent() override;

 private:
  std::optional<std::string> text(RootKey root, const std::string& key, const std::string& name);
  std::optional<std::string> variable(const std::string& name);
  std::string expand(const std::string& text, int depth = 0);
  std::optional<std::string> shellFolder(const std::string& name);

  std::shared_ptr<const WinePrefix> prefix_;
  PosixRegistry registry_;
  std::string programFolder_;
};

// Splits a command line the way programs started through wine receive it: blanks
// separate arguments, double quotes group them.
std::vector<std::string> splitArguments(const std::string& commandLine);

}  // namespace trwk::posix
