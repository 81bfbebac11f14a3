#include "base/Component.h"

#include <algorithm>

#include "base/Exception.h"
#include "base/Text.h"

namespace qn3 {

TComponent::TComponent(TComponent* owner) : owner_(owner) {
  if (owner_) owner_->components_.push_back(this);
}

TComponent::~TComponent() {
  for (TComponent* c : components_) c->owner_ = nullptr;
  if (owner_) std::erase(owner_->components_, this);
}

void TComponent::SetName(std::string_view name) {
  if (name == name_) return;
  if (!name.empty() && (!IsValidIdent(name) || name.size() > kMaxNameLength))
    throw EComponentError("''" + std::string(name) + "'' is not a valid component name");
  if (!name.empty() && owner_) {
    TComponent* other = owner_->FindComponent(name);
    if (other && other != this) throw EComponentError("A component named " + std::string(name) + " already exists");
  }
  name_ = name;
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  auto it = std::find_if(components_.begin(), components_.end(),
                         [&](const TComponent* c) { return SameTextAscii(c->Name(), name); });
  return it == components_.end() ? nullptr : *it;
}

const std::vector<TPropInfo>& TComponent::PublishedProperties() const {
  static const std::vector<TPropInfo> table = {
      {"Name", TPropType::String, false, 0, false, nullptr, nullptr,
       [](const TComponent& c) { return c.Name(); }, [](TComponent& c, const std::string& v) { c.SetName(v); }},
      {"Tag", TPropType::Integer, true, 0, true, [](const TComponent& c) { return c.Tag(); },
       [](TComponent& c, int32_t v) { c.SetTag(v); }, nullptr, nullptr},
  };
  return table;
}

const TPropInfo* FindPublishedProperty(const TComponent& component, std::string_view name) {
  for (const TPropInfo& p : component.PublishedProperties())
    if (SameTextAscii(p.name, name)) return &p;
  return nullptr;
}

TNamedComponent::TNamedComponent(TComponent* owner, std::string className, std::string_view name)
    : TComponent(owner), className_(std::move(className)) {
  SetName(name);
}

bool IsValidIdent(std::string_view text) {
  if (text.empty()) return false;
  auto alpha = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
  if (!alpha(text[0])) return false;
  return std::all_of(text.begin() + 1, text.end(), [&](char c) { return alpha(c) || (c >= '0' && c <= '9'); });
}

}  // namespace qn3
