#include "core/key_bindings.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

TEST(KeyBindings, AnActionKeepsTheGamesKeysThatNoBoundActionTook) {
  KeyBindings bindings;
  for (size_t action = 0; action < kGameActionCount; ++action) {
    EXPECT_FALSE(KeysRemapped(bindings, action)) << ActionName(action);
    EXPECT_EQ(ActionOfKey(bindings, DefaultKeys(action).front().Code), action);
  }
  EXPECT_EQ(ActionOfKey(bindings, 4), kGameActionCount);  // A does nothing

  bindings.Keys[kActionTurn] = {{44, "Space"}};  // Drop's key
  bindings.Keys[kActionPause] = {{228, "Right Ctrl"}};
  EXPECT_TRUE(KeysRemapped(bindings, kActionTurn));
  EXPECT_TRUE(EffectiveKeys(bindings, kActionDrop).empty());
  EXPECT_TRUE(KeysRemapped(bindings, kActionDrop));
  const InputList instantDrop = EffectiveKeys(bindings, kActionInstantDrop);
  ASSERT_EQ(instantDrop.size(), 1u);
  EXPECT_EQ(instantDrop[0].Name, "Left Ctrl");
  EXPECT_EQ(ActionOfKey(bindings, 44), kActionTurn);
  EXPECT_EQ(ActionOfKey(bindings, 82), kGameActionCount);  // Up is nobody's now
  EXPECT_EQ(ActionOfKey(bindings, 228), kActionPause);
  EXPECT_FALSE(KeysRemapped(bindings, kActionLeft));

  bindings.Keys[kActionDrop] = {{82, "Up"}};  // swapped with Turn
  EXPECT_EQ(ActionOfKey(bindings, 82), kActionDrop);
}

}  // namespace
}  // namespace zt
