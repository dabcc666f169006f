#pragma once
// A viewer window: a list of what one trace holds (files of a cache folder, values of a
// history key, lines of prefs.js) with its columns, sortable by a click on a column, a
// count and total size line, and "Remove Highlighted", "Refresh" and "Close". What is
// listed and how an entry goes is the source's business; the window is the same for all.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "foundation/session.h"

namespace trwk {

class Trap;

enum class ColumnKind { Text, Size, Number };

struct ViewerColumn {
  std::string title;
  int width = 100;  // in dialog units
  ColumnKind kind = ColumnKind::Text;
};

struct ViewerRow {
  std::vector<std::string> cells;  // one text per column
  std::string key;                 // what the source removes by: a path, a value name, a line
  std::uint64_t size = 0;          // bytes, for a Size column and the total
  std::int64_t number = 0;         // for a Number column (a position)
  bool removable = true;           // listed, but never removed from this window
};

// Where a viewer's entries come from and how they go.
class ViewerSource {
 public:
  virtual ~ViewerSource() = default;
  // Nothing when the window may open; otherwise the message that tells the user why not.
  virtual std::optional<std::string> refusal() { return std::nullopt; }
  // Appends the entries; calls tick() now and then so that a long listing lets the window
  // repaint. A failed step is reported to the trap and the listing goes on.
  virtual void fill(std::vector<ViewerRow>& rows, Trap& trap, const std::function<void()>& tick) = 0;
  // Removes exactly these entries (all removable); each failure reported to the trap.
  // tick() as for fill.
  virtual void remove(const std::vector<const ViewerRow*>& rows, Trap& trap,
                      const std::function<void()>& tick) = 0;
};

class ListViewerModel {
 public:
  // How many entries are listed between two chances for the window to repaint.
  static constexpr std::size_t kTickEvery = 500;

  // logName: the window's name in the run log ("IECache"); its steps log as
  // "<logName>.Load", "<logName>.RemoveHighlighted" and "<logName>.ColumnClick".
  ListViewerModel(Session& session, std::string caption, std::string logName,
                  std::vector<ViewerColumn> columns, std::unique_ptr<ViewerSource> source, bool showsSize);
  ListViewerModel(const ListViewerModel&) = delete;
  ListViewerModel& operator=(const ListViewerModel&) = delete;

  const std::string caption;
  const std::string logName;
  const std::vector<ViewerColumn> columns;
  const bool showsSize;  // the count line gives the total size too

  // Control state: the rows in the order shown and which are highlighted.
  std::vector<ViewerRow> rows;
  std::vector<char> highlighted;  // one per row
  int sortColumn = -1;            // -1: the source's own order
  bool ascending = true;
  std::string summary;  // "3 entries, 12 KB"
  bool closed = false;

  bool removeEnabled() const { return highlightedCount() > 0; }
  std::size_t highlightedCount() const;

  // Opening: false (with the source's message shown) when the window may not open;
  // otherwise the entries are listed with the busy pointer.
  bool open();
  // "Refresh": lists again, keeping the order the user chose; nothing stays highlighted.
  void refresh();
  // The highlighted rows, as the list view reports them (positions in rows).
  void highlight(const std::vector<int>& positions);
  void highlightAll(bool on);
  // A click on a column header sorts by it; a second click turns the order round.
  void clickColumn(int column);
  // "Remove Highlighted": after a confirmation, exactly the highlighted removable entries
  // go through the source; then the list is read again.
  void removeHighlighted();
  void close() { closed = true; }

  static constexpr const char* kConfirmTitle = "Remove Highlighted";

 private:
  void list();
  void sort();
  // Lets the window repaint once every kTickEvery calls.
  std::function<void()> ticker();
  void summarise();

  Session& session_;
  std::unique_ptr<ViewerSource> source_;
};

// "1,234 KB" style size text of a byte count (rounded up to whole kilobytes).
std::string kilobytesText(std::uint64_t bytes);

}  // namespace trwk
