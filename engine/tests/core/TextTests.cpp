#include "core/Text.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace Marrowvane
{
namespace
{

using namespace std::string_literals;

using Fields = std::vector<std::string>;

// What the standard get-line loop makes of the text: the rule Split follows.
Fields GetlinePieces(const std::string& text, char delimiter)
{
    std::istringstream stream(text);
    Fields fields;
    std::string piece;
    while (std::getline(stream, piece, delimiter))
    {
        fields.push_back(piece);
    }
    return fields;
}

TEST(SplitTest, CutsAtEveryDelimiter)
{
    struct Case
    {
        std::string text;
        char delimiter;
        Fields expected;
    };
    const Case cases[] = {
        {"LOG|Info|hello|world", '|', {"LOG", "Info", "hello", "world"}},
        {"RECT|1|2|", '|', {"RECT", "1", "2"}},
        {"a|b", '|', {"a", "b"}},
        {"a|b|", '|', {"a", "b"}},
        {"a||b", '|', {"a", "", "b"}},
        {"|a", '|', {"", "a"}},
        {"|", '|', {""}},
        {"||", '|', {"", ""}},
        {"", '|', {}},
        {"no delimiter", '|', {"no delimiter"}},
        {"a,b|c", ',', {"a", "b|c"}},
        {"a\0b|c"s, '|', {"a\0b"s, "c"}},
        {"a\0\0b"s, '\0', {"a", "", "b"}},
        {"x\ny\n", '\n', {"x", "y"}},
    };
    for (const Case& item : cases)
    {
        SCOPED_TRACE(item.text);
        EXPECT_EQ(Split(item.text, item.delimiter), item.expected);
    }
}

TEST(SplitTest, AgreesWithGetlineOnEveryShortText)
{
    // Every text of up to eight characters over {a, |}.
    for (int length = 0; length <= 8; ++length)
    {
        for (int bits = 0; bits < (1 << length); ++bits)
        {
            std::string text;
            for (int i = 0; i < length; ++i)
            {
                text += (bits >> i) & 1 ? '|' : 'a';
            }
            SCOPED_TRACE(text);
            EXPECT_EQ(Split(text, '|'), GetlinePieces(text, '|'));
        }
    }
}

TEST(SplitTest, LongTextWithManyFields)
{
    std::string text;
    for (int i = 0; i < 100000; ++i)
    {
        text += std::to_string(i) + "|";
    }
    const Fields fields = Split(text, '|');
    ASSERT_EQ(fields.size(), 100000u);
    EXPECT_EQ(fields.front(), "0");
    EXPECT_EQ(fields.back(), "99999");
}

} // namespace
} // namespace Marrowvane
