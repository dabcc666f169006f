#pragma once
// The "Preview" window: what a clean button would remove, entry by entry under its clean
// item with sizes, item subtotals and the total, and two buttons: "Clean these" (the main
// window then cleans exactly this plan) and "Close". The preview runs once the window is
// up, showing its progress and letting the window repaint as it goes.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "cleaning/cleaning_plan.h"
#include "cleaning/recording_services.h"

namespace trwk {

class PreviewModel {
 public:
  static constexpr const char* kCaption = "Preview";

  // family: how the button's family is named ("Windows", "all families" ...).
  PreviewModel(CleaningContext& context, FamilyCleaner cleaner, std::string family);

  // One line of the list: an item's heading, an entry, or an item's subtotal.
  struct Row {
    enum Type { Heading, Entry, Subtotal } type = Entry;
    std::string path;  // the heading's or subtotal's text for those
    std::string kind;
    std::string size;  // bytes, grouped by thousands
  };

  // Control state.
  const std::string caption = kCaption;
  std::string heading;  // "What cleaning Windows would remove:"
  std::string status;   // progress while it runs; the total afterwards
  int progressValue = 0;
  int progressMax = 1;
  bool running = false;
  bool cleanEnabled = false;  // "Clean these": once there is a plan with something in it
  bool closed = false;
  bool cleanRequested = false;

  std::size_t rowCount() const { return rows_.size(); }
  // Built when asked, so a plan of many thousands of entries fills a virtual list fast.
  Row row(std::size_t index) const;
  const Plan& plan() const { return plan_; }

  // The window is up: runs the preview. Returns when it is done, or soon after "Close".
  void start();
  void cleanThese();  // "Clean these"
  void close();       // "Close" and the title bar's close

  // The view repaints (and lets pending events run) when the model asks.
  std::function<void()> refreshView = [] {};

 private:
  void fillRows();

  CleaningContext& context_;
  FamilyCleaner cleaner_;
  std::string family_;
  Plan plan_;
  // Per row: its type in the low two bits, the group or entry index above them.
  std::vector<std::uint32_t> rows_;
};

}  // namespace trwk
