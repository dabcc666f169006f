#pragma once
// What a cleaning would remove (a plan, made by a preview) and what it did remove (a
// report). Entries are grouped by the clean item that was running; every group keeps its
// own totals, so a report of a run that removed a million files stays a few lines.
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace trwk {

enum class PlanKind : std::uint8_t { File, Folder, Link, RegistryValue, RegistryKey, Rewrite, RecycleBin };

// "file", "folder", "link", "registry value", "registry key", "rewrite", "recycle bin".
const char* kindName(PlanKind kind);

struct PlanEntry {
  // A Windows path; a registry key as "HKEY_CURRENT_USER\Software\...", a value as its
  // key followed by "\" and its name; the recycle bin as "Recycle Bin".
  std::string path;
  // A file's length; a registry value's data length; a rewrite's length before it; the
  // bytes of the files in the recycle bin (0 when the system does not say). Links,
  // folders and keys: 0.
  std::uint64_t size = 0;
  std::uint64_t newSize = 0;  // a rewrite: the length the file or value has afterwards
  PlanKind kind = PlanKind::File;
  std::uint16_t group = 0;  // index into the plan's groups
};

// The bytes an entry gives back: a file's length, the recycle bin's files, what a rewrite
// makes shorter.
std::uint64_t bytesFreed(const PlanEntry& entry);

struct ItemTotals {
  std::uint64_t files = 0, folders = 0, links = 0, registryValues = 0, registryKeys = 0, rewrites = 0,
                recycleBins = 0;
  std::uint64_t bytes = 0;    // bytes freed
  std::uint64_t failed = 0;   // steps that failed (each one a line in the run log)
  std::uint64_t skipped = 0;  // planned entries that changed or went meanwhile

  void add(const PlanEntry& entry);
  void add(const ItemTotals& other);
  std::uint64_t entries() const {
    return files + folders + links + registryValues + registryKeys + rewrites + recycleBins;
  }
  friend bool operator==(const ItemTotals&, const ItemTotals&) = default;
};

// One clean item of one family ("Windows", 14, "Windows Doc History"). Work of a family
// without numbered items (the plugins) is item 0 under the family's name.
struct PlanGroup {
  int item = 0;
  std::string label;
  std::string family;
  ItemTotals totals;
};

class GroupTable {
 public:
  // The group's index; a new group is appended (groups keep the order they first ran in).
  std::uint16_t indexOf(int item, const std::string& label, const std::string& family);
  const std::vector<PlanGroup>& groups() const { return groups_; }
  PlanGroup& at(std::size_t index) { return groups_.at(index); }
  // The families in the order they first ran, and the totals of one of them.
  std::vector<std::string> families() const;
  ItemTotals familyTotals(const std::string& family) const;
  ItemTotals overall() const;

 private:
  std::vector<PlanGroup> groups_;
};

class Plan : public GroupTable {
 public:
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);

  // Adds the entry to its group unless the same path is planned with the same kind already
  // (a step that runs twice over one folder plans it once). False when it was there.
  bool add(PlanEntry entry);
  // Counts a failed step against a group.
  void addFailure(std::uint16_t group) { at(group).totals.failed += 1; }
  const std::vector<PlanEntry>& entries() const { return entries_; }
  // The entry of this kind at this path, compared without regard to letter case; npos
  // when none.
  std::size_t find(const std::string& path, PlanKind kind) const;
  // Whether the path or a folder above it is planned to go as a folder.
  bool insideRemovedFolder(const std::string& path) const;
  // What the plan holds in memory, roughly: entries, their paths and the index.
  std::size_t memoryBytes() const;

 private:
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
  // The first entry of each key, by open addressing (a power of two of slots, at most
  // half full); entries of one key are chained through next_. No allocation per entry.
  struct Slot {
    std::uint64_t key = 0;
    std::uint32_t first = kNone;
  };
  std::uint32_t firstOf(std::uint64_t key) const;
  void link(std::uint64_t key, std::uint32_t entry);

  std::vector<PlanEntry> entries_;
  std::vector<Slot> slots_;
  std::vector<std::uint32_t> next_;  // per entry: the next entry of the same key
};

// A planned entry a cleaning from the plan left alone, and why.
struct SkippedEntry {
  PlanEntry entry;
  std::string why;  // "changed since the preview", "no longer there"
};

// What a cleaning did, item by item.
struct RunReport : GroupTable {
  std::vector<SkippedEntry> skipped;
};

// A Windows path or registry path hashed without regard to letter case, with its kind.
std::uint64_t planKey(const std::string& path, PlanKind kind);

}  // namespace trwk
