#include "cleaning/cleaning_plan.h"

#include <algorithm>
#include <array>

#include "platform/text_encoding.h"

namespace trwk {

const char* kindName(PlanKind kind) {
  switch (kind) {
    case PlanKind::File: return "file";
    case PlanKind::Folder: return "folder";
    case PlanKind::Link: return "link";
    case PlanKind::RegistryValue: return "registry value";
    case PlanKind::RegistryKey: return "registry key";
    case PlanKind::Rewrite: return "rewrite";
    case PlanKind::RecycleBin: return "recycle bin";
  }
  return "";
}

std::uint64_t bytesFreed(const PlanEntry& entry) {
  switch (entry.kind) {
    case PlanKind::File:
    case PlanKind::RecycleBin: return entry.size;
    case PlanKind::Rewrite: return entry.size > entry.newSize ? entry.size - entry.newSize : 0;
    default: return 0;
  }
}

void ItemTotals::add(const PlanEntry& entry) {
  switch (entry.kind) {
    case PlanKind::File: ++files; break;
    case PlanKind::Folder: ++folders; break;
    case PlanKind::Link: ++links; break;
    case PlanKind::RegistryValue: ++registryValues; break;
    case PlanKind::RegistryKey: ++registryKeys; break;
    case PlanKind::Rewrite: ++rewrites; break;
    case PlanKind::RecycleBin: ++recycleBins; break;
  }
  bytes += bytesFreed(entry);
}

void ItemTotals::add(const ItemTotals& o) {
  files += o.files;
  folders += o.folders;
  links += o.links;
  registryValues += o.registryValues;
  registryKeys += o.registryKeys;
  rewrites += o.rewrites;
  recycleBins += o.recycleBins;
  bytes += o.bytes;
  failed += o.failed;
  skipped += o.skipped;
}

std::uint16_t GroupTable::indexOf(int item, const std::string& label, const std::string& family) {
  for (std::size_t i = groups_.size(); i-- > 0;)
    if (groups_[i].item == item && groups_[i].label == label && groups_[i].family == family)
      return static_cast<std::uint16_t>(i);
  groups_.push_back({item, label, family, {}});
  return static_cast<std::uint16_t>(groups_.size() - 1);
}

std::vector<std::string> GroupTable::families() const {
  std::vector<std::string> names;
  for (const PlanGroup& g : groups_)
    if (std::find(names.begin(), names.end(), g.family) == names.end()) names.push_back(g.family);
  return names;
}

ItemTotals GroupTable::familyTotals(const std::string& family) const {
  ItemTotals sum;
  for (const PlanGroup& g : groups_)
    if (g.family == family) sum.add(g.totals);
  return sum;
}

ItemTotals GroupTable::overall() const {
  ItemTotals sum;
  for (const PlanGroup& g : groups_) sum.add(g.totals);
  return sum;
}

namespace {

// Each byte as paths compare: letters in upper case, '/' as '\'.
const std::array<unsigned char, 256> kFolded = [] {
  std::array<unsigned char, 256> table{};
  for (int i = 0; i < 256; ++i)
    table[static_cast<std::size_t>(i)] =
        i == '/' ? '\\' : static_cast<unsigned char>(upperCp1252(static_cast<char>(i)));
  return table;
}();

unsigned char folded(char c) {
  return kFolded[static_cast<unsigned char>(c)];
}

}  // namespace

std::uint64_t planKey(const std::string& path, PlanKind kind) {
  // FNV-1a over the upper-case form; a folder text with or without its final separator
  // is one path.
  std::size_t size = path.size();
  while (size > 3 && (path[size - 1] == '\\' || path[size - 1] == '/')) --size;
  std::uint64_t hash = 14695981039346656037ull;
  for (std::size_t i = 0; i < size; ++i) hash = (hash ^ folded(path[i])) * 1099511628211ull;
  // Files, links and folders share one name space; the registry and rewrites have their own.
  std::uint64_t space = kind == PlanKind::Rewrite         ? 1
                        : kind == PlanKind::RegistryValue ? 2
                        : kind == PlanKind::RegistryKey   ? 3
                        : kind == PlanKind::RecycleBin    ? 4
                                                          : 0;
  return hash ^ (space * 0x9E3779B97F4A7C15ull);
}

namespace {

bool samePath(const std::string& a, const std::string& b) {
  auto trimmed = [](const std::string& s) {
    std::size_t size = s.size();
    while (size > 3 && (s[size - 1] == '\\' || s[size - 1] == '/')) --size;
    return size;
  };
  std::size_t n = trimmed(a);
  if (n != trimmed(b)) return false;
  for (std::size_t i = 0; i < n; ++i)
    if (folded(a[i]) != folded(b[i])) return false;
  return true;
}

bool sameSpace(PlanKind a, PlanKind b) {
  auto fileSystem = [](PlanKind k) {
    return k == PlanKind::File || k == PlanKind::Folder || k == PlanKind::Link;
  };
  return a == b || (fileSystem(a) && fileSystem(b));
}

}  // namespace

std::uint32_t Plan::firstOf(std::uint64_t key) const {
  if (slots_.empty()) return kNone;
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t at = static_cast<std::size_t>(key) & mask;; at = (at + 1) & mask) {
    const Slot& slot = slots_[at];
    if (slot.first == kNone || slot.key == key) return slot.first;
  }
}

void Plan::link(std::uint64_t key, std::uint32_t entry) {
  if ((next_.size() + 1) * 2 > slots_.size()) {
    // Grown to twice the size, every key placed anew.
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(std::max<std::size_t>(64, old.size() * 2), Slot{});
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
      if (slot.first == kNone) continue;
      std::size_t at = static_cast<std::size_t>(slot.key) & mask;
      while (slots_[at].first != kNone) at = (at + 1) & mask;
      slots_[at] = slot;
    }
  }
  const std::size_t mask = slots_.size() - 1;
  std::size_t at = static_cast<std::size_t>(key) & mask;
  while (slots_[at].first != kNone && slots_[at].key != key) at = (at + 1) & mask;
  // The newest entry of a key goes first; the chain keeps the older ones.
  next_.push_back(slots_[at].first);
  slots_[at] = Slot{key, entry};
}

std::size_t Plan::find(const std::string& path, PlanKind kind) const {
  for (std::uint32_t i = firstOf(planKey(path, kind)); i != kNone; i = next_[i]) {
    const PlanEntry& e = entries_[i];
    // A file asked for may be a link: deleting either removes the name.
    const bool kindFits = e.kind == kind || (kind == PlanKind::File && e.kind == PlanKind::Link);
    if (kindFits && samePath(e.path, path)) return i;
  }
  return npos;
}

bool Plan::add(PlanEntry entry) {
  const std::uint64_t key = planKey(entry.path, entry.kind);
  for (std::uint32_t i = firstOf(key); i != kNone; i = next_[i]) {
    const PlanEntry& e = entries_[i];
    if (sameSpace(e.kind, entry.kind) && samePath(e.path, entry.path)) return false;
  }
  at(entry.group).totals.add(entry);
  link(key, static_cast<std::uint32_t>(entries_.size()));
  entries_.push_back(std::move(entry));
  return true;
}

bool Plan::insideRemovedFolder(const std::string& path) const {
  if (entries_.empty()) return false;
  std::size_t end = path.size();
  while (end > 3) {
    const std::string part = path.substr(0, end);
    if (find(part, PlanKind::Folder) != npos) return true;
    std::size_t sep = path.find_last_of("\\/", end - 1);
    if (sep == std::string::npos || sep < 3) break;
    end = sep;
  }
  return false;
}

std::size_t Plan::memoryBytes() const {
  std::size_t bytes = entries_.capacity() * sizeof(PlanEntry);
  for (const PlanEntry& e : entries_)
    if (e.path.capacity() > 15) bytes += e.path.capacity() + 1;
  bytes += slots_.capacity() * sizeof(Slot) + next_.capacity() * sizeof(std::uint32_t);
  for (const PlanGroup& g : groups()) bytes += sizeof(PlanGroup) + g.label.capacity() + g.family.capacity();
  return bytes;
}

}  // namespace trwk
