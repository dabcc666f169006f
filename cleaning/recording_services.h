#pragma once
// File, registry, desktop and Ui services that stand in front of the real ones while a
// cleaner runs, so that the same cleaner code can
//   - preview: every probe and listing is answered by the real system minus what this run
//     has already "removed", and every change is written into a plan instead of done;
//   - clean from a plan: only the changes the plan holds go through, and a planned entry
//     that changed or went meanwhile is skipped and reported;
//   - clean as usual and count what went.
// Each change counts against the clean item that is running (ItemTracker). Writes the
// program makes to its own files (settings, run log, keep lists) are never planned; a
// preview does not make them either, and a run-log line written while tracking is one
// failed step of that item.
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "cleaning/cleaning_context.h"
#include "cleaning/cleaning_plan.h"
#include "platform/platform.h"

namespace trwk {

using FamilyCleaner = std::function<void(CleaningContext&)>;

enum class RecordMode { Preview, Planned, Counted };

// Which clean item a cleaning is at. Every family cleaner names its family and repaints
// before its first item, then advances the progress bar once after each ticked item; so
// the item running is the family's ticked item whose turn the progress bar has reached.
class ItemTracker {
 public:
  struct Item {
    int number = 0;  // 0: a family without numbered items (the plugins)
    std::string label;
    std::string family;
  };

  ItemTracker(const RunState& state, const CleanCatalogue& catalogue)
      : state_(state), catalogue_(catalogue) {}
  // Called at every repaint and before every change: notes where a family began.
  void observe();
  Item current() const;

 private:
  const RunState& state_;
  const CleanCatalogue& catalogue_;
  std::string family_;
  int base_ = 0;
  bool started_ = false;
};

class RunRecorder {
 public:
  // plan: for RecordMode::Planned, the plan the run may carry out (kept by the caller).
  RunRecorder(Platform inner, std::string programFolder, RecordMode mode, const Plan* plan = nullptr);
  ~RunRecorder();
  RunRecorder(const RunRecorder&) = delete;
  RunRecorder& operator=(const RunRecorder&) = delete;

  // The services to run a cleaner on (clock and random are the inner ones).
  Platform platform();
  // While a tracker is set, changes count against its item. Without one a preview still
  // changes nothing (it plans nowhere) and the other modes pass everything through.
  void track(ItemTracker* tracker);

  Plan& plan();         // RecordMode::Preview: what would go
  RunReport& report();  // Planned and Counted: what went
  // Planned: adds every entry of the plan that the run neither carried out nor skipped to
  // the report's skipped entries ("no longer there"). Call once, after the run.
  void finishPlanned();

  // A preview's walk calls this every 256 planned entries, with the plan's size so far.
  std::function<void(std::size_t entries)> onEntries;
  // A preview stops looking once this says so: from then on the run finds nothing more
  // (listings are empty, nothing is there, a walk takes no further entry), so its cleaner
  // soon comes to its end, and the plan holds what was found until then.
  std::function<bool()> stopped;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Text of a registry key ("HKEY_CURRENT_USER\Software\...") as plans name it.
std::string registryPath(RootKey root, const std::string& subkey);

}  // namespace trwk
