#pragma once
// The four kinds of thing a viewer lists: the files of a folder, the lettered values of a
// most-recently-used list, the numbered typed addresses of Internet Explorer and the
// typed-address lines of Netscape's prefs.js.
#include <string>
#include <vector>

#include "viewers/list_viewer_model.h"

namespace trwk {

// The files of a folder (and of its sub-folders when asked): name, size, last changed,
// folder (below the listed one). Links are listed as themselves and never entered. A
// folder that is unknown, missing or protected does not open. Files go one by one
// through the removal engine, so the protected-location policy and the program's own
// files are respected; the names in `kept` (at the top of the folder) are listed only.
class FolderSource : public ViewerSource {
 public:
  FolderSource(Session& session, std::string folder, bool found, std::string missingText, bool withSubFolders,
               std::vector<std::string> kept = {});
  std::optional<std::string> refusal() override;
  void fill(std::vector<ViewerRow>& rows, Trap& trap, const std::function<void()>& tick) override;
  void remove(const std::vector<const ViewerRow*>& rows, Trap& trap,
              const std::function<void()>& tick) override;
  static std::vector<ViewerColumn> columns();

 private:
  Session& session_;
  std::string folder_;
  bool found_;
  std::string missingText_;
  bool withSubFolders_;
  std::vector<std::string> kept_;
};

// Values "a".."t" of an HKEY_CURRENT_USER key with an MRUList value naming their order:
// listed in that order (letters it does not name follow). Removing takes the values and
// rewrites MRUList without their letters.
class MruListSource : public ViewerSource {
 public:
  MruListSource(Session& session, std::string subkey) : session_(session), subkey_(std::move(subkey)) {}
  void fill(std::vector<ViewerRow>& rows, Trap& trap, const std::function<void()>& tick) override;
  void remove(const std::vector<const ViewerRow*>& rows, Trap& trap,
              const std::function<void()>& tick) override;
  static std::vector<ViewerColumn> columns();

 private:
  Session& session_;
  std::string subkey_;
};

// Values "url1".."url50" of an HKEY_CURRENT_USER key. Removing takes the values and
// numbers the rest from url1 again, in their order, so that no gap hides them.
class TypedUrlSource : public ViewerSource {
 public:
  static constexpr int kMost = 50;
  TypedUrlSource(Session& session, std::string subkey) : session_(session), subkey_(std::move(subkey)) {}
  void fill(std::vector<ViewerRow>& rows, Trap& trap, const std::function<void()>& tick) override;
  void remove(const std::vector<const ViewerRow*>& rows, Trap& trap,
              const std::function<void()>& tick) override;
  static std::vector<ViewerColumn> columns();

 private:
  Session& session_;
  std::string subkey_;
};

// The typed-address lines of a prefs.js: position, name and address. Removing rewrites
// the file atomically without the chosen lines, as the Netscape cleaner does without all.
// An unknown user folder does not open; a missing prefs.js lists nothing.
class PrefsLinesSource : public ViewerSource {
 public:
  PrefsLinesSource(Session& session, std::string userFolder, std::string missingText)
      : session_(session), userFolder_(std::move(userFolder)), missingText_(std::move(missingText)) {}
  std::optional<std::string> refusal() override;
  void fill(std::vector<ViewerRow>& rows, Trap& trap, const std::function<void()>& tick) override;
  void remove(const std::vector<const ViewerRow*>& rows, Trap& trap,
              const std::function<void()>& tick) override;
  static std::vector<ViewerColumn> columns();

 private:
  std::string prefs() const;
  Session& session_;
  std::string userFolder_;
  std::string missingText_;
};

}  // namespace trwk
