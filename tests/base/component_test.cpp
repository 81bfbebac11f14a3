#include <gtest/gtest.h>

#include <memory>

#include "base/Component.h"
#include "base/Exception.h"

namespace qn3 {
namespace {

TEST(Component, OwnerFindsItsComponentsByNameIgnoringCase) {
  TNamedComponent form(nullptr, "TForm1", "Form1");
  TNamedComponent open(&form, "TButton", "BtnOpen");
  EXPECT_EQ(form.FindComponent("btnopen"), &open);
  EXPECT_EQ(form.FindComponent("BtnClose"), nullptr);
  EXPECT_EQ(form.FindComponent(""), nullptr);
}

TEST(Component, RefusesATakenOrInvalidName) {
  TNamedComponent form(nullptr, "TForm1", "Form1");
  TNamedComponent open(&form, "TButton", "BtnOpen");
  TNamedComponent other(&form, "TPrefs", "");
  try {
    other.SetName("BTNOPEN");
    FAIL();
  } catch (const EComponentError& e) {
    EXPECT_STREQ(e.what(), "A component named BTNOPEN already exists");
  }
  try {
    other.SetName("1st");
    FAIL();
  } catch (const EComponentError& e) {
    EXPECT_STREQ(e.what(), "''1st'' is not a valid component name");
  }
  EXPECT_EQ(other.Name(), "");
  other.SetName("Prefs1");
  EXPECT_EQ(other.Name(), "Prefs1");
  other.SetName("");
  EXPECT_EQ(other.Name(), "");
  open.SetName("btnopen");  // its own name in another case is no clash
  EXPECT_EQ(open.Name(), "btnopen");
}

TEST(Component, ForgetsComponentsThatAreGone) {
  TNamedComponent form(nullptr, "TForm1", "Form1");
  {
    TNamedComponent temp(&form, "TButton", "BtnTemp");
    EXPECT_EQ(form.Components().size(), 1u);
  }
  EXPECT_TRUE(form.Components().empty());
  auto child = std::make_unique<TNamedComponent>(nullptr, "TButton", "Orphan");
  {
    TNamedComponent owner(nullptr, "TForm", "Owner");
    auto inner = std::make_unique<TNamedComponent>(&owner, "TButton", "Inner");
    inner.reset();
    EXPECT_TRUE(owner.Components().empty());
  }
}

TEST(Component, IdentifierRules) {
  EXPECT_TRUE(IsValidIdent("_x1"));
  EXPECT_TRUE(IsValidIdent("Form1_1"));
  EXPECT_FALSE(IsValidIdent(""));
  EXPECT_FALSE(IsValidIdent("9a"));
  EXPECT_FALSE(IsValidIdent("a b"));
  EXPECT_FALSE(IsValidIdent("Caf\xE9"));
}

}  // namespace
}  // namespace qn3
