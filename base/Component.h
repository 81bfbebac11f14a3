// The component base: a name unique among its owner's components, a tag,
// and an owner that knows its components by name. Ownership of memory stays
// with whoever creates a component; the owner only keeps their names.
// Each class also lists its published properties by name, which the
// settings writer and reader work from.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qn3 {

class TComponent;

enum class TPropType { Integer, String };

// One published property: how the component text names, types, defaults
// and reaches it. Accessors for the other type stay null.
struct TPropInfo {
  const char* name;
  TPropType type;
  bool hasDefault;       // integers only: a value equal to the default is not written
  int32_t defaultValue;
  bool stored;           // false: never written as a property line
  int32_t (*getInt)(const TComponent&);
  void (*setInt)(TComponent&, int32_t);
  std::string (*getStr)(const TComponent&);
  void (*setStr)(TComponent&, const std::string&);
};

// The longest name a component takes; the settings file keeps a name in
// one length byte, so a longer one could be written but not read back.
inline constexpr size_t kMaxNameLength = 255;

class TComponent {
public:
  explicit TComponent(TComponent* owner = nullptr);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  virtual std::string ClassName() const = 0;

  const std::string& Name() const { return name_; }
  // Raises EComponentError for a text that is not an identifier or is longer
  // than kMaxNameLength bytes, or a name that another component of the same
  // owner bears (letter case ignored).
  void SetName(std::string_view name);

  int32_t Tag() const { return tag_; }
  void SetTag(int32_t tag) { tag_ = tag; }

  TComponent* Owner() const { return owner_; }
  const std::vector<TComponent*>& Components() const { return components_; }
  // The owned component of that name, letter case ignored; null if none.
  TComponent* FindComponent(std::string_view name) const;

  // Published properties, inherited ones first, each class's in declaration
  // order. The base publishes Name (not stored) and Tag (default 0); a class
  // that adds its own returns a table that starts with its base's.
  virtual const std::vector<TPropInfo>& PublishedProperties() const;

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

// The published property of that name, ASCII letter case ignored; null if none.
const TPropInfo* FindPublishedProperty(const TComponent& component, std::string_view name);

}  // namespace qn3
