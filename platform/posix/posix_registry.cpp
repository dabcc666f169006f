#include "platform/posix/posix_registry.h"

#include <sys/stat.h>

#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/posix/host_io.h"
#include "platform/posix/reg_file.h"

namespace trwk::posix {
namespace {

struct Place {
  std::string file;    // host path of the .reg file
  std::string root;    // what its keys are relative to, for a file made afresh
  std::string subkey;  // the key's path inside the file
};

std::optional<Place> placeOf(const WinePrefix& prefix, RootKey root, const std::string& subkey) {
  switch (root) {
    case RootKey::CurrentUser:
      return Place{prefix.userRegPath(), "REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000", subkey};
    case RootKey::LocalMachine: return Place{prefix.systemRegPath(), "REGISTRY\\\\Machine", subkey};
    case RootKey::ClassesRoot:
      return Place{prefix.systemRegPath(), "REGISTRY\\\\Machine", "Software\\Classes\\" + subkey};
    default: return std::nullopt;
  }
}

// The last parse of each file, kept while the file is the same object with the same size
// and time: a question costs a parse of the whole file (system.reg is megabytes), and the
// detection of a rule file asks thousands in a row. Every change is an atomic replacement,
// so a changed file is another object.
std::shared_ptr<const RegFile> parsed(const std::string& hostFile) {
  struct Kept {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    struct timespec time {};
    std::shared_ptr<const RegFile> file;
  };
  static std::mutex lock;
  static std::map<std::string, Kept> kept;
  struct stat st {};
  if (::stat(hostFile.c_str(), &st) != 0) return nullptr;
  {
    std::lock_guard<std::mutex> guard(lock);
    auto it = kept.find(hostFile);
    if (it != kept.end() && it->second.device == st.st_dev && it->second.inode == st.st_ino &&
        it->second.size == st.st_size && it->second.time.tv_sec == st.st_mtim.tv_sec &&
        it->second.time.tv_nsec == st.st_mtim.tv_nsec)
      return it->second.file;
  }
  auto text = readHostFile(hostFile);
  if (!text) return nullptr;
  auto file = std::make_shared<const RegFile>(*text);
  // Kept only when the file did not change while it was read.
  struct stat after {};
  if (::stat(hostFile.c_str(), &after) == 0 && after.st_ino == st.st_ino && after.st_size == st.st_size &&
      after.st_mtim.tv_sec == st.st_mtim.tv_sec && after.st_mtim.tv_nsec == st.st_mtim.tv_nsec &&
      static_cast<off_t>(text->size()) == st.st_size) {
    std::lock_guard<std::mutex> guard(lock);
    if (kept.size() >= 8 && !kept.count(hostFile)) kept.clear();  // the prefixes of earlier runs
    kept[hostFile] = Kept{st.st_dev, st.st_ino, st.st_size, st.st_mtim, file};
  }
  return file;
}

long readOnly(const WinePrefix& prefix, RootKey root, const std::string& subkey,
              const std::function<long(const RegFile&, const std::string&)>& read) {
  auto place = placeOf(prefix, root, subkey);
  if (!place) return regstatus::kFileNotFound;
  auto file = parsed(place->file);
  if (!file) return regstatus::kFileNotFound;
  return read(*file, place->subkey);
}

// Runs a change on the file and writes the file back when the change says it changed.
long change(const WinePrefix& prefix, RootKey root, const std::string& subkey,
            const std::function<long(RegFile&, const std::string&, bool& changed)>& edit) {
  auto place = placeOf(prefix, root, subkey);
  if (!place) return regstatus::kFileNotFound;
  if (prefix.wineserverRunning()) return regstatus::kAccessDenied;
  auto text = readHostFile(place->file);
  RegFile file(text ? *text : emptyRegFile(place->root));
  bool changed = false;
  long status = edit(file, place->subkey, changed);
  if (status != regstatus::kSuccess || !changed) return status;
  mode_t mode = defaultFileMode();
  struct stat st {};
  if (::stat(place->file.c_str(), &st) == 0) mode = st.st_mode & 07777;
  return writeHostFileAtomically(place->file, file.text(), mode) == 0 ? regstatus::kSuccess
                                                                      : regstatus::kAccessDenied;
}

}  // namespace

long PosixRegistry::keyExists(RootKey root, const std::string& subkey) {
  return readOnly(*prefix_, root, subkey, [](const RegFile& file, const std::string& key) {
    return file.keyExists(key) ? regstatus::kSuccess : regstatus::kFileNotFound;
  });
}

long PosixRegistry::createKey(RootKey root, const std::string& subkey) {
  return change(*prefix_, root, subkey, [](RegFile& file, const std::string& key, bool& changed) {
    changed = file.createKey(key, std::time(nullptr));
    return regstatus::kSuccess;
  });
}

long PosixRegistry::setString(RootKey root, const std::string& subkey, const std::string& name,
                              const std::string& value) {
  return change(*prefix_, root, subkey, [&](RegFile& file, const std::string& key, bool& changed) {
    changed = file.setString(key, name, value, std::time(nullptr));
    return changed ? regstatus::kSuccess : regstatus::kFileNotFound;
  });
}

long PosixRegistry::queryValue(RootKey root, const std::string& subkey, const std::string& name,
                               RegValue& out) {
  return readOnly(*prefix_, root, subkey, [&](const RegFile& file, const std::string& key) {
    auto value = file.value(key, name);
    if (!value) return regstatus::kFileNotFound;
    out = *value;
    return regstatus::kSuccess;
  });
}

long PosixRegistry::deleteValue(RootKey root, const std::string& subkey, const std::string& name) {
  return change(*prefix_, root, subkey, [&](RegFile& file, const std::string& key, bool& changed) {
    changed = file.deleteValue(key, name);
    return changed ? regstatus::kSuccess : regstatus::kFileNotFound;
  });
}

long PosixRegistry::deleteKey(RootKey root, const std::string& subkey) {
  return change(*prefix_, root, subkey, [](RegFile& file, const std::string& key, bool& changed) {
    switch (file.deleteKey(key, std::time(nullptr))) {
      case RegFile::Deleted::Yes: changed = true; return regstatus::kSuccess;
      case RegFile::Deleted::HasSubkeys: return regstatus::kAccessDenied;  // as Windows answers
      case RegFile::Deleted::NotFound: break;
    }
    return regstatus::kFileNotFound;
  });
}

}  // namespace trwk::posix
