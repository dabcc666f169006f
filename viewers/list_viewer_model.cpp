#include "viewers/list_viewer_model.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include "foundation/trap.h"
#include "platform/text_encoding.h"

namespace trwk {

namespace {

// Text order without regard to letter case, as Explorer sorts names.
int compareNoCase(const std::string& a, const std::string& b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(upperCp1252(a[i]));
    const auto y = static_cast<unsigned char>(upperCp1252(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// "1,234,567" for 1234567.
std::string withSeparators(std::uint64_t n) {
  const std::string digits = std::to_string(n);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

}  // namespace

std::string kilobytesText(std::uint64_t bytes) {
  return withSeparators((bytes + 1023) / 1024) + " KB";
}

ListViewerModel::ListViewerModel(Session& session, std::string caption_, std::string logName_,
                                 std::vector<ViewerColumn> columns_, std::unique_ptr<ViewerSource> source,
                                 bool showsSize_)
    : caption(std::move(caption_)),
      logName(std::move(logName_)),
      columns(std::move(columns_)),
      showsSize(showsSize_),
      session_(session),
      source_(std::move(source)) {}

std::size_t ListViewerModel::highlightedCount() const {
  return static_cast<std::size_t>(std::count(highlighted.begin(), highlighted.end(), char{1}));
}

bool ListViewerModel::open() {
  Trap trap(session_.log, logName + ".Load");
  std::optional<std::string> refusal;
  trap.run([&] { refusal = source_->refusal(); });
  if (refusal) {
    session_.platform.ui.messageBox({*refusal, "Info", Buttons::Ok, Icon::None, 1});
    closed = true;
    return false;
  }
  list();
  return true;
}

void ListViewerModel::refresh() {
  list();
}

std::function<void()> ListViewerModel::ticker() {
  return [this, count = std::size_t{0}]() mutable {
    if (++count % kTickEvery == 0) session_.platform.ui.doEvents();
  };
}

void ListViewerModel::list() {
  Ui& ui = session_.platform.ui;
  Trap trap(session_.log, logName + ".Load");
  rows.clear();
  highlighted.clear();
  ui.setBusy(true);
  trap.checkpoint();
  trap.run([&] { source_->fill(rows, trap, ticker()); });
  highlighted.assign(rows.size(), 0);
  trap.checkpoint();
  trap.run([&] { sort(); });
  summarise();
  ui.setBusy(false);
}

void ListViewerModel::highlight(const std::vector<int>& positions) {
  highlighted.assign(rows.size(), 0);
  for (int p : positions)
    if (p >= 0 && static_cast<std::size_t>(p) < rows.size()) highlighted[static_cast<std::size_t>(p)] = 1;
  summarise();
}

void ListViewerModel::highlightAll(bool on) {
  highlighted.assign(rows.size(), on ? 1 : 0);
  summarise();
}

void ListViewerModel::clickColumn(int column) {
  if (column < 0 || static_cast<std::size_t>(column) >= columns.size()) return;
  Trap trap(session_.log, logName + ".ColumnClick");
  ascending = column == sortColumn ? !ascending : true;
  sortColumn = column;
  trap.run([&] { sort(); });
}

// Sorts rows and their highlights together; rows that compare equal keep their order.
void ListViewerModel::sort() {
  if (sortColumn < 0 || static_cast<std::size_t>(sortColumn) >= columns.size()) return;
  const auto c = static_cast<std::size_t>(sortColumn);
  const ColumnKind kind = columns[c].kind;
  auto compare = [&](const ViewerRow& a, const ViewerRow& b) {
    if (kind == ColumnKind::Size) return a.size == b.size ? 0 : (a.size < b.size ? -1 : 1);
    if (kind == ColumnKind::Number) return a.number == b.number ? 0 : (a.number < b.number ? -1 : 1);
    static const std::string none;
    return compareNoCase(c < a.cells.size() ? a.cells[c] : none, c < b.cells.size() ? b.cells[c] : none);
  };
  std::vector<std::size_t> order(rows.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  // Rows equal in the chosen column follow the first column, so that a refresh, which
  // lists in the system's order, shows them as before.
  std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
    const int r = compare(rows[x], rows[y]);
    if (r != 0) return ascending ? r < 0 : r > 0;
    if (c == 0 || rows[x].cells.empty() || rows[y].cells.empty()) return false;
    return compareNoCase(rows[x].cells[0], rows[y].cells[0]) < 0;
  });
  std::vector<ViewerRow> sorted;
  std::vector<char> marks;
  sorted.reserve(rows.size());
  marks.reserve(rows.size());
  for (std::size_t i : order) {
    sorted.push_back(std::move(rows[i]));
    marks.push_back(i < highlighted.size() ? highlighted[i] : char{0});
  }
  rows = std::move(sorted);
  highlighted = std::move(marks);
}

void ListViewerModel::removeHighlighted() {
  Trap trap(session_.log, logName + ".RemoveHighlighted");
  std::vector<const ViewerRow*> chosen;
  for (std::size_t i = 0; i < rows.size() && i < highlighted.size(); ++i)
    if (highlighted[i] && rows[i].removable) chosen.push_back(&rows[i]);
  if (chosen.empty()) return;
  const std::string text = chosen.size() == 1
                               ? "Remove the highlighted entry?"
                               : "Remove the " + std::to_string(chosen.size()) + " highlighted entries?";
  if (session_.platform.ui.messageBox({text, kConfirmTitle, Buttons::YesNo, Icon::Question, 2}) !=
      Answer::Yes)
    return;
  session_.platform.ui.setBusy(true);
  trap.checkpoint();
  trap.run([&] { source_->remove(chosen, trap, ticker()); });
  session_.platform.ui.setBusy(false);
  list();
}

void ListViewerModel::summarise() {
  std::uint64_t bytes = 0;
  for (const ViewerRow& row : rows) bytes += row.size;
  summary = withSeparators(rows.size()) + (rows.size() == 1 ? " entry" : " entries");
  if (showsSize) summary += ", " + kilobytesText(bytes);
  const std::size_t marked = highlightedCount();
  if (marked > 0) summary += "; " + withSeparators(marked) + " highlighted";
}

}  // namespace trwk
