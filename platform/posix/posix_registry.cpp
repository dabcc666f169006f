#include "platform/posix/posix_registry.h"

#include <sys/stat.h>

#include <ctime>
#include <functional>
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

long readOnly(const WinePrefix& prefix, RootKey root, const std::string& subkey,
              const std::function<long(const RegFile&, const std::string&)>& read) {
  auto place = placeOf(prefix, root, subkey);
  if (!place) return regstatus::kFileNotFound;
  auto text = readHostFile(place->file);
  if (!text) return regstatus::kFileNotFound;
  return read(RegFile(*text), place->subkey);
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
