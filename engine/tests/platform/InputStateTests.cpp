#include "platform/InputState.h"

#include <gtest/gtest.h>

namespace Marrowvane
{
namespace
{

class InputStateTest : public ::testing::Test
{
protected:
    void SetUp() override { ResetInputStateForTests(); }
    void TearDown() override { ResetInputStateForTests(); }
};

TEST_F(InputStateTest, NothingHeldEncodesEmpty)
{
    EXPECT_EQ(EncodePressedKeys(), "");
    EXPECT_EQ(EncodePressedMouseButtons(), "");
    EXPECT_EQ(GetMouseX(), 0);
    EXPECT_EQ(GetMouseY(), 0);
}

TEST_F(InputStateTest, KeysListAscendingOnceWhateverThePressOrder)
{
    SetKeyState(65, true);
    SetKeyState(37, true);
    SetKeyState(65, true); // auto-repeat
    EXPECT_EQ(EncodePressedKeys(), "37,65");
    SetKeyState(65, false);
    EXPECT_EQ(EncodePressedKeys(), "37");
    EXPECT_TRUE(IsKeyDown(37));
    EXPECT_FALSE(IsKeyDown(65));
}

TEST_F(InputStateTest, CodesOutsideTheTablesAreIgnored)
{
    SetKeyState(255, true);
    SetKeyState(256, true);
    SetKeyState(0xFFFFFFFFu, true);
    EXPECT_EQ(EncodePressedKeys(), "255");
    EXPECT_FALSE(IsKeyDown(256));
    SetMouseButtonState(7, true);
    SetMouseButtonState(8, true);
    EXPECT_EQ(EncodePressedMouseButtons(), "7");
}

TEST_F(InputStateTest, ButtonsAndPositionStoreAsGiven)
{
    SetMouseButtonState(0, true);
    SetMouseButtonState(2, true);
    EXPECT_EQ(EncodePressedMouseButtons(), "0,2");
    SetMousePosition(-5, 70000);
    EXPECT_EQ(GetMouseX(), -5);
    EXPECT_EQ(GetMouseY(), 70000);
}

} // namespace
} // namespace Marrowvane
