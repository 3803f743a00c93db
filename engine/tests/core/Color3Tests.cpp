#include "core/Color3.h"

#include <gtest/gtest.h>

#include <type_traits>

namespace Marrowvane
{
namespace
{

TEST(Color3Test, AValueOfThreeBytesThatStartsBlack)
{
    const Color3 color{};
    EXPECT_EQ(color, (Color3{0, 0, 0}));
    EXPECT_EQ(sizeof(Color3), 3u);
    EXPECT_TRUE(std::is_trivially_copyable_v<Color3>);
    EXPECT_NE((Color3{1, 2, 3}), (Color3{3, 2, 1}));
}

} // namespace
} // namespace Marrowvane
