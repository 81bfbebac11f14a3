// The component base: a name unique among its owner's components, a tag,
// and an owner that knows its components by name. Ownership of memory stays
// with whoever creates a component; the owner only keeps their names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qn3 {

class TComponent {
public:
  explicit TComponent(TComponent* owner = nullptr);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  virtual std::string ClassName() const = 0;

  const std::string& Name() const { return name_; }
  // Raises EComponentError for a text that is not an identifier, or a name
  // that another component of the same owner bears (letter case ignored).
  void SetName(std::string_view name);

  int32_t Tag() const { return tag_; }
  void SetTag(int32_t tag) { tag_ = tag; }

  TComponent* Owner() const { return owner_; }
  const std::vector<TComponent*>& Components() const { return components_; }
  // The owned component of that name, letter case ignored; null if none.
  TComponent* FindComponent(std::string_view name) const;

private:
  TComponent* owner_;
  std::vector<TComponent*> components_;
  std::string name_;
  int32_t tag_ = 0;
};

// A component that only carries a name, for controls and stand-in owners.
class TNamedComponent : public TComponent {
public:
  TNamedComponent(TComponent* owner, std::string className, std::string_view name);
  std::string ClassName() const override { return className_; }

private:
  std::string className_;
};

// Letters, digits and "_", not starting with a digit.
bool IsValidIdent(std::string_view text);

}  // namespace qn3
