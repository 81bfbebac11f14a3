// What the stand-in runtime lists and how it misbehaves when told to: the
// names file format and the fault text (both described in
// standin/README.md). Windows-free, so the host build tests it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qn3::hxstandin {

// The calls the stand-in can be told to fail.
enum class Op { Create, List, Count, Item, Name, Property };

// Positions a rule applies to: all of them, or the ones listed (from 1).
struct IndexSet {
  bool all = false;
  std::vector<int32_t> indexes;
  bool Has(int32_t index) const;
  bool Empty() const { return !all && indexes.empty(); }
};

struct Failure {
  Op op = Op::Create;
  IndexSet at;
  uint32_t code = 0;
  // With an error object, the description it carries.
  bool withErrorObject = false;
  std::u16string description;
};

struct FaultPlan {
  std::vector<Failure> failures;
  // What every successful call answers (1 is S_FALSE).
  uint32_t successCode = 0;
  bool nullObject = false;
  bool nullList = false;
  IndexSet nullItems;
  IndexSet nullNames;
  IndexSet nullProperties;  // VT_EMPTY
  std::optional<int32_t> count;
  bool noWalker = false;
  // A failing call writes garbage, not null, into its output.
  bool poison = false;
  std::u16string source = u"HxStandin";
  std::u16string helpFile;
  uint32_t helpContext = 0;

  // The failure for a call at a position (0 for calls without one).
  const Failure* FailureFor(Op op, int32_t index) const;
};

// Parses the fault text; on a malformed text gives nothing and says why.
std::optional<FaultPlan> ParseFaultPlan(std::string_view text, std::string* error);

// One line of a names file: the name, the description after a tab, and
// the collection file's path after another one.
struct NamespaceEntry {
  std::u16string name;
  std::u16string description = {};
  std::optional<std::u16string> collection = {};
  bool operator==(const NamespaceEntry&) const = default;
};

// The lines of a names file: UTF-8, one per line, LF or CR LF, an empty
// line an empty name; a final line break adds no name, a leading byte
// order mark is not part of the first name. A line's name ends at its
// first tab. With one tab more, the collection path follows the last tab
// (a path holds none) and the description lies between; else the rest of
// the line is the description.
std::vector<NamespaceEntry> ParseNames(std::string_view utf8);

// UTF-8 to UTF-16; each byte of a malformed sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);

}  // namespace qn3::hxstandin
