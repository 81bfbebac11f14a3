// An ordered list of 8-bit strings as the catalogue fills it: the main
// window hands in its drop-down list, tests a plain vector.
#pragma once

#include <string>
#include <vector>

namespace qn3 {

class TStrings {
public:
  virtual ~TStrings() = default;
  virtual void Clear() = 0;
  virtual void Add(const std::string& text) = 0;
  virtual int Count() const = 0;
};

class TStringList final : public TStrings {
public:
  void Clear() override { items_.clear(); }
  void Add(const std::string& text) override { items_.push_back(text); }
  int Count() const override { return static_cast<int>(items_.size()); }
  const std::vector<std::string>& Items() const { return items_; }

private:
  std::vector<std::string> items_;
};

}  // namespace qn3
