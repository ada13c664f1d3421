// The binding table: count, order of groups, state/text kinds and the bound set.
#include <gtest/gtest.h>

#include "app/controls.h"
#include "app/project_bindings.h"
#include "support/test_support.h"

namespace kovrex {
namespace {

class BindingsTest : public test::KovrexTest {};

TEST_F(BindingsTest, NinetyThreeBindingsInFileOrder) {
  RegisterProjectBindings();
  ASSERT_EQ(ProjectBindingList.size(), 93u);
  EXPECT_EQ(ProjectBindingList.front().key, "hartafstand");
  EXPECT_EQ(ProjectBindingList.back().key, "stl_tolerantie");
  // Groups come in blocks: a group never reappears after another one started.
  std::vector<std::string> order;
  for (const auto& b : ProjectBindingList)
    if (order.empty() || order.back() != b.group) order.push_back(b.group);
  EXPECT_EQ(order, (std::vector<std::string>{"Paar", "Enkel", "Heugel", "Binnen", "Sterkte", "Naaf", "Weergave"}));
  // A state binding belongs to a control that has a state worth storing.
  for (const auto& b : ProjectBindingList) {
    ControlKind k = ControlKindOf(b.control);
    bool stateKind = k == ControlKind::Combo || k == ControlKind::CheckBox || k == ControlKind::TrackBar;
    EXPECT_EQ(b.useState == 1, stateKind) << b.group << "/" << b.key;
  }
}

TEST_F(BindingsTest, BoundSetHoldsTheProfileShiftFieldsButNotTabOrRotate) {
  RegisterProjectBindings();
  EXPECT_EQ(GadgetBindingMap.size(), 95u);
  EXPECT_TRUE(IsGadgetBound(GadgetPairX1));
  EXPECT_TRUE(IsGadgetBound(GadgetInternalX1));
  EXPECT_TRUE(IsGadgetBound(GadgetSpeed));
  EXPECT_FALSE(IsGadgetBound(GadgetTabPanel));
  EXPECT_FALSE(IsGadgetBound(GadgetRotate));
  EXPECT_FALSE(IsGadgetBound(GadgetPairSearch));
}

}  // namespace
}  // namespace kovrex
