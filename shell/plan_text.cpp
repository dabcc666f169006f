#include "shell/plan_text.h"

#include <cstdio>
#include <ostream>
#include <vector>

#include "platform/text_encoding.h"

namespace trwk {

std::string counted(std::uint64_t n, const char* one, const char* many) {
  return groupedNumber(n) + " " + (n == 1 ? one : many);
}

std::string groupedNumber(std::uint64_t n) {
  std::string digits = std::to_string(n), out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

std::string groupTitle(const PlanGroup& group) {
  if (group.item == 0) return group.family.empty() ? std::string("Other") : group.family;
  return "Item " + std::to_string(group.item) + ", " + group.label;
}

std::string totalsText(const ItemTotals& t) {
  std::vector<std::string> parts{counted(t.files + t.links, "file", "files"),
                                 counted(t.folders, "folder", "folders"),
                                 counted(t.registryValues, "registry value", "registry values")};
  if (t.registryKeys) parts.push_back(counted(t.registryKeys, "registry key", "registry keys"));
  if (t.rewrites) parts.push_back(counted(t.rewrites, "rewrite", "rewrites"));
  if (t.recycleBins) parts.push_back("the recycle bin");
  parts.push_back(counted(t.bytes, "byte", "bytes"));
  std::string text;
  for (const std::string& p : parts) text += (text.empty() ? "" : ", ") + p;
  return text;
}

namespace {

std::string padded(const std::string& text, std::size_t width, bool right) {
  if (text.size() >= width) return text;
  std::string pad(width - text.size(), ' ');
  return right ? pad + text : text + pad;
}

// A JSON string of Windows-1252 text.
std::string json(const std::string& text) {
  std::string utf8 = cp1252ToUtf8(text), out = "\"";
  for (char c : utf8) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
          out += buf;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

std::string totalsJson(const ItemTotals& t) {
  return "\"files\":" + std::to_string(t.files) + ",\"folders\":" + std::to_string(t.folders) +
         ",\"links\":" + std::to_string(t.links) + ",\"registryValues\":" + std::to_string(t.registryValues) +
         ",\"registryKeys\":" + std::to_string(t.registryKeys) +
         ",\"rewrites\":" + std::to_string(t.rewrites) + ",\"recycleBin\":" + std::to_string(t.recycleBins) +
         ",\"entryCount\":" + std::to_string(t.entries()) + ",\"bytes\":" + std::to_string(t.bytes) +
         ",\"failed\":" + std::to_string(t.failed) + ",\"skipped\":" + std::to_string(t.skipped);
}

std::string entryJson(const PlanEntry& e) {
  std::string text = "{\"kind\":" + json(kindName(e.kind)) + ",\"path\":" + json(e.path) +
                     ",\"size\":" + std::to_string(e.size);
  if (e.kind == PlanKind::Rewrite) text += ",\"newSize\":" + std::to_string(e.newSize);
  return text + "}";
}

std::string groupHead(const PlanGroup& g) {
  return "\"item\":" + std::to_string(g.item) + ",\"label\":" + json(g.label) +
         ",\"family\":" + json(g.family);
}

void familiesJson(std::ostream& out, const GroupTable& table) {
  out << ",\"families\":[";
  bool first = true;
  for (const std::string& family : table.families()) {
    out << (first ? "" : ",") << "{\"family\":" << json(family) << ","
        << totalsJson(table.familyTotals(family)) << "}";
    first = false;
  }
  out << "],\"total\":{" << totalsJson(table.overall()) << "}";
}

}  // namespace

void printPlanText(std::ostream& out, const Plan& plan) {
  const std::vector<PlanGroup>& groups = plan.groups();
  // Entries in the order they were planned, gathered under their item.
  std::vector<std::vector<std::size_t>> byGroup(groups.size());
  for (std::size_t i = 0; i < plan.entries().size(); ++i) byGroup[plan.entries()[i].group].push_back(i);
  for (std::size_t g = 0; g < groups.size(); ++g) {
    if (groups[g].totals.entries() == 0 && groups[g].totals.failed == 0) continue;
    out << "\n" << groupTitle(groups[g]) << " (" << groups[g].family << ")\n";
    for (std::size_t i : byGroup[g]) {
      const PlanEntry& e = plan.entries()[i];
      out << "  " << padded(groupedNumber(e.size), 13, true) << "  " << padded(kindName(e.kind), 14, false)
          << "  " << cp1252ToUtf8(e.path) << "\n";
    }
    out << "  Subtotal: " << totalsText(groups[g].totals) << " freed";
    if (groups[g].totals.failed)
      out << "; " << counted(groups[g].totals.failed, "step", "steps") << " would fail";
    out << "\n";
  }
  const std::vector<std::string> families = plan.families();
  if (families.size() > 1) {
    out << "\n";
    for (const std::string& f : families) out << f << ": " << totalsText(plan.familyTotals(f)) << " freed\n";
  }
  out << (families.size() > 1 ? "" : "\n")
      << "Total: " << counted(plan.overall().entries(), "entry", "entries") << ": "
      << totalsText(plan.overall()) << " freed. Nothing was removed.\n";
}

void printReportText(std::ostream& out, const RunReport& report, const PlanHeading& heading) {
  for (const PlanGroup& g : report.groups()) {
    if (g.totals.entries() == 0 && g.totals.failed == 0 && g.totals.skipped == 0) continue;
    out << groupTitle(g) << ": " << totalsText(g.totals) << " freed";
    if (g.totals.failed) out << "; " << counted(g.totals.failed, "step", "steps") << " failed";
    if (g.totals.skipped)
      out << "; " << counted(g.totals.skipped, "planned entry", "planned entries") << " skipped";
    out << "\n";
  }
  const ItemTotals total = report.overall();
  out << "Total: " << totalsText(total) << " freed\n";
  for (const SkippedEntry& s : report.skipped)
    out << "  skipped: " << cp1252ToUtf8(s.entry.path) << " (" << s.why << ")\n";
  if (total.failed)
    out << counted(total.failed, "step", "steps") << " failed; " << cp1252ToUtf8(heading.logPath)
        << " tells which and why.\n";
}

void printPlanJson(std::ostream& out, const Plan& plan, const PlanHeading& heading) {
  std::vector<std::vector<std::size_t>> byGroup(plan.groups().size());
  for (std::size_t i = 0; i < plan.entries().size(); ++i) byGroup[plan.entries()[i].group].push_back(i);
  out << "{\"command\":\"preview\",\"family\":" << json(heading.family) << ",\"items\":[";
  for (std::size_t g = 0; g < plan.groups().size(); ++g) {
    const PlanGroup& group = plan.groups()[g];
    out << (g ? "," : "") << "{" << groupHead(group) << "," << totalsJson(group.totals) << ",\"entries\":[";
    for (std::size_t k = 0; k < byGroup[g].size(); ++k)
      out << (k ? "," : "") << entryJson(plan.entries()[byGroup[g][k]]);
    out << "]}";
  }
  out << "]";
  familiesJson(out, plan);
  out << "}\n";
}

void printReportJson(std::ostream& out, const RunReport& report, const PlanHeading& heading) {
  out << "{\"command\":\"clean\",\"family\":" << json(heading.family) << ",\"items\":[";
  for (std::size_t g = 0; g < report.groups().size(); ++g) {
    const PlanGroup& group = report.groups()[g];
    out << (g ? "," : "") << "{" << groupHead(group) << "," << totalsJson(group.totals) << "}";
  }
  out << "]";
  familiesJson(out, report);
  out << ",\"skipped\":[";
  for (std::size_t i = 0; i < report.skipped.size(); ++i) {
    const SkippedEntry& s = report.skipped[i];
    std::string entry = entryJson(s.entry);
    entry.pop_back();
    out << (i ? "," : "") << entry << ",\"why\":" << json(s.why) << "}";
  }
  out << "],\"log\":" << json(heading.logPath) << "}\n";
}

}  // namespace trwk
