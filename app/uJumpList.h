// The taskbar button's jump list (Windows 7 on): one custom category of
// tasks, each starting this program again with its own arguments, under
// the program's own icon. Built through the shell's COM classes; where they
// are missing (Vista and older) or any call fails, the list stays as the
// system has it. The list belongs to the program's default application
// identity, as the taskbar button does, so no identity is set.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qn3 {

struct TJumpTask {
  std::wstring title, arguments, tooltip;
  bool operator==(const TJumpTask&) const = default;
};

class TJumpList {
public:
  explicit TJumpList(std::wstring category) : category_(std::move(category)) {}

  // False once the system has shown it offers no jump list (it cannot make
  // one, or refuses to begin one): the caller need not gather tasks.
  bool Available() const { return available_; }

  // Makes the category hold these tasks, in order, as many as the list has
  // slots for, leaving out those the user removed from it. Nothing happens
  // when they are the tasks last built; a list that failed later than its
  // beginning is tried again at the next change.
  void Update(const std::vector<TJumpTask>& tasks);

private:
  bool Build(const std::vector<TJumpTask>& tasks);

  std::wstring category_;
  std::optional<std::vector<TJumpTask>> built_;
  bool available_ = true;
};

}  // namespace qn3
