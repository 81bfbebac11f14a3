#include "tests/app/ImportFloor.h"

#include <algorithm>
#include <sstream>

namespace qn3::pe {
namespace {

constexpr std::string_view kWindowsNames[] = {"NT4", "2000", "XP", "Vista", "7", "8", "10"};

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return out;
}

bool ParseWindows(const std::string& name, Windows& out) {
  for (size_t i = 0; i < std::size(kWindowsNames); ++i) {
    if (kWindowsNames[i] == name) {
      out = static_cast<Windows>(i);
      return true;
    }
  }
  return false;
}

bool ParseOrdinal(const std::string& text, uint16_t& out) {
  if (text == "-") {
    out = 0;
    return true;
  }
  if (text.empty() || text.size() > 5 || !std::all_of(text.begin(), text.end(), ::isdigit)) return false;
  const unsigned long v = std::stoul(text);
  out = static_cast<uint16_t>(v);
  return v > 0 && v <= 0xFFFF;
}

const FloorRow* ByName(const std::vector<FloorRow>& table, const std::string& dll, const std::string& function) {
  for (const FloorRow& row : table)
    if (row.dll == dll && row.function == function) return &row;
  return nullptr;
}

const FloorRow* ByOrdinal(const std::vector<FloorRow>& table, const std::string& dll, uint16_t ordinal) {
  for (const FloorRow& row : table)
    if (row.dll == dll && row.ordinal2000 == ordinal) return &row;
  return nullptr;
}

std::string NameOf(Windows w) { return std::string(kWindowsNames[static_cast<size_t>(w)]); }

}  // namespace

std::vector<FloorRow> ParseFloorTable(std::string_view text, std::vector<std::string>& errors) {
  std::vector<FloorRow> rows;
  std::istringstream in{std::string(text)};
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    const size_t hash = line.find('#');
    std::istringstream fields(line.substr(0, hash));
    std::string dll, function, byName, ordinal, source, extra;
    if (!(fields >> dll)) continue;  // blank or comment
    FloorRow row;
    if (!(fields >> function >> byName >> ordinal >> source) || (fields >> extra) ||
        !ParseWindows(byName, row.byName) || !ParseOrdinal(ordinal, row.ordinal2000)) {
      errors.push_back("line " + std::to_string(number) + " is not a row: " + line);
      continue;
    }
    row.dll = Lower(dll);
    row.function = function;
    row.source = source;
    rows.push_back(row);
  }
  return rows;
}

std::vector<std::string> FloorViolations(const std::vector<ImportedDll>& imports, const std::vector<FloorRow>& table) {
  std::vector<std::string> out;
  for (const ImportedDll& dll : imports) {
    const std::string name = Lower(dll.name);
    for (const ImportedFunction& f : dll.functions) {
      if (f.name.empty()) {
        if (!ByOrdinal(table, name, f.ordinal))
          out.push_back(name + " ordinal " + std::to_string(f.ordinal) + ": not in the table");
        continue;
      }
      const FloorRow* row = ByName(table, name, f.name);
      if (!row) out.push_back(name + " " + f.name + ": not in the table");
      else if (row->byName > Windows::W2000 && row->ordinal2000)
        out.push_back(name + " " + f.name + ": by name, which Windows 2000 exports by ordinal " +
                      std::to_string(row->ordinal2000) + " only");
      else if (row->byName > Windows::W2000)
        out.push_back(name + " " + f.name + ": needs Windows " + NameOf(row->byName));
    }
  }
  return out;
}

}  // namespace qn3::pe
