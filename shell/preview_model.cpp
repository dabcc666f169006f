#include "shell/preview_model.h"

#include <utility>

#include "cleaning/preview.h"
#include "shell/plan_text.h"

namespace trwk {

PreviewModel::PreviewModel(CleaningContext& context, FamilyCleaner cleaner, std::string family)
    : heading("What cleaning " + family + " would remove:"),
      context_(context),
      cleaner_(std::move(cleaner)),
      family_(std::move(family)) {}

void PreviewModel::start() {
  if (running || closed) return;
  running = true;
  cleanEnabled = false;
  status = "Looking at what cleaning " + family_ + " would remove...";
  refreshView();
  PreviewProgress progress;
  progress.onProgress = [this](const RunState& state, const Plan& plan) {
    progressMax = state.progress.max > 0 ? state.progress.max : 1;
    progressValue = state.progress.value;
    status = "Looking at what cleaning " + family_ + " would remove... " +
             counted(plan.entries().size(), "entry", "entries") + " so far";
    refreshView();
    context_.session.platform.ui.doEvents();
  };
  // "Close" while it runs ends the looking, not only the window.
  progress.stopped = [this] { return closed; };
  plan_ = previewCleaning(context_, cleaner_, progress);
  running = false;
  progressValue = progressMax;
  fillRows();
  const ItemTotals total = plan_.overall();
  status = "Total: " + counted(total.entries(), "entry", "entries") + ": " + totalsText(total) + " freed";
  if (total.failed) status += "; " + counted(total.failed, "step", "steps") + " would fail";
  cleanEnabled = total.entries() > 0 && !closed;
  refreshView();
}

void PreviewModel::cleanThese() {
  if (!cleanEnabled || running || closed) return;
  cleanRequested = true;
  closed = true;
}

void PreviewModel::close() {
  closed = true;
  cleanRequested = false;
}

void PreviewModel::fillRows() {
  rows_.clear();
  std::vector<std::vector<std::uint32_t>> byGroup(plan_.groups().size());
  for (std::size_t i = 0; i < plan_.entries().size(); ++i)
    byGroup[plan_.entries()[i].group].push_back(static_cast<std::uint32_t>(i));
  rows_.reserve(plan_.entries().size() + 2 * byGroup.size());
  for (std::size_t g = 0; g < byGroup.size(); ++g) {
    if (byGroup[g].empty()) continue;
    rows_.push_back(static_cast<std::uint32_t>(g << 2 | Row::Heading));
    for (std::uint32_t e : byGroup[g]) rows_.push_back(e << 2 | Row::Entry);
    rows_.push_back(static_cast<std::uint32_t>(g << 2 | Row::Subtotal));
  }
}

PreviewModel::Row PreviewModel::row(std::size_t index) const {
  Row r;
  if (index >= rows_.size()) return r;
  const std::uint32_t code = rows_[index];
  r.type = static_cast<Row::Type>(code & 3);
  const std::size_t at = code >> 2;
  if (r.type == Row::Entry) {
    const PlanEntry& e = plan_.entries()[at];
    r.path = e.path;
    r.kind = kindName(e.kind);
    r.size = groupedNumber(e.size);
    return r;
  }
  const PlanGroup& g = plan_.groups()[at];
  if (r.type == Row::Heading) {
    r.path = groupTitle(g) + " (" + g.family + ")";
  } else {
    r.path = "    Subtotal: " + totalsText(g.totals);
    r.size = groupedNumber(g.totals.bytes);
  }
  return r;
}

}  // namespace trwk
