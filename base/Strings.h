// An ordered list of 8-bit strings, each with what the catalogue tells of
// it beside its text, in UTF-16 as it came: the main window hands in its
// drop-down list, tests a plain vector.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace qn3 {

struct ItemDetails {
  std::u16string description;
  std::u16string file;  // the file the item stands for; empty when none is known
};

class TStrings {
public:
  virtual ~TStrings() = default;
  virtual void Clear() = 0;
  virtual void Add(const std::string& text, ItemDetails details) = 0;
  void Add(const std::string& text) { Add(text, {}); }
  virtual int Count() const = 0;
};

class TStringList final : public TStrings {
public:
  using TStrings::Add;
  void Clear() override {
    items_.clear();
    descriptions_.clear();
    files_.clear();
  }
  void Add(const std::string& text, ItemDetails details) override {
    items_.push_back(text);
    descriptions_.push_back(std::move(details.description));
    files_.push_back(std::move(details.file));
  }
  int Count() const override { return static_cast<int>(items_.size()); }
  const std::vector<std::string>& Items() const { return items_; }
  const std::vector<std::u16string>& Descriptions() const { return descriptions_; }
  const std::vector<std::u16string>& Files() const { return files_; }

private:
  std::vector<std::string> items_;
  std::vector<std::u16string> descriptions_, files_;
};

}  // namespace qn3
