#include "platform/WindowTitle.h"

#include <gtest/gtest.h>

#include <string>

namespace Marrowvane
{
namespace
{

struct TitleCase
{
    const char* name;
    std::string given;
    std::string shown;
};

const std::string replacement = "\xEF\xBF\xBD";

TEST(WindowTitleTest, WellFormedTextPassesAndEveryBadByteIsReplaced)
{
    const TitleCase cases[] = {
        {"ascii", "Marrowvane Game", "Marrowvane Game"},
        {"empty", "", ""},
        {"two-byte", "Caf\xC3\xA9", "Caf\xC3\xA9"},
        {"three-byte", "\xE2\x98\x95", "\xE2\x98\x95"},
        {"four-byte", "\xF0\x9F\x8E\xAE", "\xF0\x9F\x8E\xAE"},
        {"last code point", "\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF"},
        {"stray 0xFF",
         "A\xFF"
         "B",
         "A" + replacement + "B"},
        {"lone continuation", "\x80", replacement},
        {"overlong slash", "\xC0\xAF", replacement + replacement},
        {"overlong three-byte", "\xE0\x80\xAF", replacement + replacement + replacement},
        {"surrogate", "\xED\xA0\x80", replacement + replacement + replacement},
        {"past U+10FFFF", "\xF4\x90\x80\x80", replacement + replacement + replacement + replacement},
        {"cut off at the end", "ok\xE2\x82", "ok" + replacement + replacement},
        {"cut off by ascii",
         "\xE2"
         "A",
         replacement + "A"},
        {"latin-1 text", "Caf\xE9", "Caf" + replacement},
    };
    for (const TitleCase& c : cases)
    {
        EXPECT_EQ(WindowTitleFromUtf8(c.given), c.shown) << c.name;
    }
}

TEST(WindowTitleTest, TextEndsAtTheFirstNul)
{
    EXPECT_EQ(WindowTitleFromUtf8(std::string("Game\0hidden", 11)), "Game");
}

} // namespace
} // namespace Marrowvane
