#include "foundation/settings.h"

#include <utility>

#include "foundation/profile_file.h"
#include "foundation/trap.h"
#include "platform/failure.h"

namespace trwk {
namespace {

// The ways a file cannot be read or written that the platform's profile functions only
// answer with a failed result. They are no run-time failure of ours, so nobody logs them.
bool isAccessFailure(int number) {
  switch (number) {
    case 52:  // bad file name
    case fail::kFileNotFound:
    case fail::kFileAlreadyOpen:
    case 57:  // device I/O error
    case fail::kDiskFull:
    case fail::kPermissionDenied:
    case fail::kPathFileAccess:
    case fail::kPathNotFound: return true;
    default: return false;
  }
}

bool endsWithSeparator(const std::string& path) {
  return !path.empty() && (path.back() == '\\' || path.back() == '/');
}

// A trap that reports under the composed procedure name, or silently without a log.
Trap trapFor(RunLog* log, std::string procedure) {
  return log ? Trap(*log, std::move(procedure)) : Trap(std::move(procedure));
}

}  // namespace

Settings::Settings(Files& files, RunLog* log) : files_(files), log_(log) {}

std::string Settings::getini(const std::string& section, const std::string& key, const std::string& file) {
  std::string result;
  try {
    Trap trap = trapFor(log_, "getini " + section + " " + key + " " + file + " ");
    trap.run([&] {
      trap.step = 1;
      std::string bytes;
      trap.step = 2;
      if (batch_ && batch_->file == file) {
        const std::string* pending = batchBytes(file);
        if (!pending) return;
        bytes = *pending;
      } else {
        try {
          bytes = files_.readAll(file);
        } catch (const Failure& f) {
          if (isAccessFailure(f.number())) return;  // absent or unreadable: empty text
          throw;
        }
      }
      result = profile::read(bytes, section, key).value_or("");
    });
  } catch (...) {
    // Not even the procedure name could be composed: there is nothing to report with.
    result.clear();
  }
  return result;
}

bool Settings::AddToini(const std::string& section, const std::string& key, const std::string& value,
                        const std::string& file) {
  bool stored = false;
  try {
    Trap trap = trapFor(log_, "AddToini " + section + " " + key + " " + value + " " + file + " ");
    trap.run([&] {
      if (batch_ && batch_->file == file) {
        std::string* pending = batchBytes(file);
        if (!pending) return;
        if (auto changed = profile::write(*pending, section, key, value)) {
          *pending = std::move(*changed);
          batch_->changed = true;
        }
        stored = true;
        return;
      }
      std::string bytes;
      try {
        bytes = files_.readAll(file);
      } catch (const Failure& f) {
        // A missing file is created; one that cannot be read must not be replaced.
        if (f.number() != fail::kFileNotFound) {
          if (isAccessFailure(f.number())) return;
          throw;
        }
      }
      if (auto changed = profile::write(bytes, section, key, value)) {
        try {
          // Atomic, so that a crash leaves the old file or the new one, never a torn one.
          files_.replaceAtomically(file, *changed);
        } catch (const Failure& f) {
          if (isAccessFailure(f.number())) return;
          throw;
        }
      }
      stored = true;
    });
  } catch (...) {
    stored = false;
  }
  return stored;
}

std::string* Settings::batchBytes(const std::string& file) {
  Pending& pending = *batch_;
  if (pending.unreadable) return nullptr;
  if (!pending.bytes) {
    try {
      pending.bytes = files_.readAll(file);
    } catch (const Failure& f) {
      // A missing file is created; one that cannot be read must not be replaced.
      if (f.number() != fail::kFileNotFound) {
        pending.unreadable = true;
        if (isAccessFailure(f.number())) return nullptr;
        throw;
      }
      pending.bytes.emplace();
    }
  }
  return &*pending.bytes;
}

void Settings::commit() {
  Pending pending = std::move(*batch_);
  batch_.reset();
  if (!pending.changed) return;
  try {
    Trap trap = trapFor(log_, "AddToini " + pending.file + " ");
    trap.run([&] {
      try {
        files_.replaceAtomically(pending.file, *pending.bytes);
      } catch (const Failure& f) {
        if (isAccessFailure(f.number())) return;
        throw;
      }
    });
  } catch (...) {
  }
}

Settings::Batch::Batch(Settings& settings, const std::string& file)
    : settings_(settings), owner_(!settings.batch_) {
  if (owner_) settings_.batch_ = Pending{file, std::nullopt, false, false};
}

Settings::Batch::~Batch() {
  if (owner_) settings_.commit();
}

bool Settings::folderExists(const std::string& path) {
  if (path.empty()) return false;
  try {
    if (endsWithSeparator(path)) {
      std::string folder = path;
      while (folder.size() > 1 && endsWithSeparator(folder)) folder.pop_back();
      if (folder.size() == 2 && folder[1] == ':') folder += '\\';  // a drive's root
      return files_.folderExists(folder);
    }
    // Files, folders and the matches of a mask all count.
    ListOptions options;
    options.files = true;
    options.folders = true;
    options.hiddenAndSystem = true;
    options.limit = 1;  // one match answers; a folder of a million files is not listed
    return !files_.list(path, options).empty();
  } catch (...) {
    return false;
  }
}

bool Settings::fileExists(const std::string& path) {
  // A path that ends in a separator names a folder, even though a listing of it would
  // give the folder's files.
  if (path.empty() || endsWithSeparator(path)) return false;
  try {
    // Ordinary files only: folders and hidden or system files do not count.
    ListOptions options;
    options.files = true;
    options.folders = false;
    options.hiddenAndSystem = false;
    options.limit = 1;
    return !files_.list(path, options).empty();
  } catch (...) {
    return false;
  }
}

}  // namespace trwk
