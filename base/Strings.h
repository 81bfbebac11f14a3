// An ordered list of 8-bit strings, each with a description, as the
// catalogue fills it: the main window hands in its drop-down list, tests a
// plain vector.
#pragma once

#include <string>
#include <vector>

namespace qn3 {

class TStrings {
public:
  virtual ~TStrings() = default;
  virtual void Clear() = 0;
  virtual void Add(const std::string& text, const std::string& description) = 0;
  void Add(const std::string& text) { Add(text, {}); }
  virtual int Count() const = 0;
};

class TStringList final : public TStrings {
public:
  using TStrings::Add;
  void Clear() override {
    items_.clear();
    descriptions_.clear();
  }
  void Add(const std::string& text, const std::string& description) override {
    items_.push_back(text);
    descriptions_.push_back(description);
  }
  int Count() const override { return static_cast<int>(items_.size()); }
  const std::vector<std::string>& Items() const { return items_; }
  const std::vector<std::string>& Descriptions() const { return descriptions_; }

private:
  std::vector<std::string> items_;
  std::vector<std::string> descriptions_;
};

}  // namespace qn3
