#include "core/Text.h"
#include "script/FieldReader.h"
#include "script/LineAssembler.h"
#include "script/LineFields.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

namespace Marrowvane
{
namespace
{

std::vector<std::string> FieldsOf(const std::string& line)
{
    const LineFields fields(line);
    std::vector<std::string> result;
    for (std::size_t i = 0; i < fields.Count() && i < LineFields::kCapacity; ++i)
    {
        result.emplace_back(fields[i]);
    }
    return result;
}

TEST(LineFields, CountAndPiecesFollowSplit)
{
    const char* const lines[] = {
        "",
        "|",
        "||",
        "a",
        "a|b",
        "a|b|",
        "a||b",
        "|a",
        "RECT|1|2|",
        "RECT|1||2",
        "RECT|1|2|3|4|5|6|",
        "LOG|Info|hello|world",
        "SPRITE|0|0|32|32|1|2|3||True|True",
        "a|b|c|d|e|f|g|h|i|j|k|l",
        "x|||||||||||||||",
    };
    for (const char* line : lines)
    {
        std::vector<std::string> expected = Split(line, '|');
        EXPECT_EQ(LineFields(line).Count(), expected.size()) << "[" << line << "]";
        expected.resize(std::min(expected.size(), LineFields::kCapacity));
        EXPECT_EQ(FieldsOf(line), expected) << "[" << line << "]";
    }
}

TEST(LineFields, CountsFieldsPastItsCapacity)
{
    std::string line = "RECT";
    for (int i = 0; i < 30; ++i)
    {
        line += "|" + std::to_string(i);
    }
    const LineFields fields(line);
    EXPECT_EQ(fields.Count(), 31u);
    EXPECT_EQ(fields[LineFields::kCapacity - 1], std::to_string(LineFields::kCapacity - 2));
}

std::vector<std::string> ReadAllFields(const std::string& line)
{
    FieldReader reader(line);
    std::vector<std::string> result;
    std::string_view text;
    while (reader.Text(text))
    {
        result.emplace_back(text);
    }
    EXPECT_TRUE(reader.AtEnd());
    return result;
}

TEST(FieldReader, WalksTheFieldsThatSplitFinds)
{
    const char* const lines[] = {
        "",
        "|",
        "||",
        "a",
        "a|b",
        "a|b|",
        "a||b",
        "|a",
        "RECT|1|2|",
        "RECT|1||2",
        "RECT|1|2|3|4|5|6|",
        "LOG|Info|hello|world",
        "SPRITE|0|0|32|32|1|2|3||True|True",
        "x|||||||||||||||",
    };
    for (const char* line : lines)
    {
        EXPECT_EQ(ReadAllFields(line), Split(line, '|')) << "[" << line << "]";
    }
}

TEST(FieldReader, ANumberReadTakesItsWholeField)
{
    FieldReader reader("12.5px| 3|0x10|x|7e|+4");
    float number = 0.0f;
    std::int32_t integer = 0;
    ASSERT_TRUE(reader.Float(number));
    EXPECT_EQ(number, 12.5f);
    ASSERT_TRUE(reader.Int(integer));
    EXPECT_EQ(integer, 3);
    ASSERT_TRUE(reader.Float(number));
    EXPECT_EQ(number, 16.0f);
    EXPECT_FALSE(reader.Int(integer)) << "no number, but the field is taken";
    ASSERT_TRUE(reader.Float(number));
    EXPECT_EQ(number, 7.0f);
    ASSERT_TRUE(reader.Int(integer));
    EXPECT_EQ(integer, 4);
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_FALSE(reader.Int(integer)) << "no field left";
}

class LineAssemblerTest : public ::testing::Test
{
protected:
    void Feed(const std::string& bytes)
    {
        assembler.Feed(bytes, [this](std::string_view line) { lines.emplace_back(line); });
    }

    LineAssembler assembler;
    std::vector<std::string> lines;
};

TEST_F(LineAssemblerTest, CutsAtLineFeedAndDropsOneCarriageReturn)
{
    Feed("abc\r\ndef\n");
    EXPECT_EQ(lines, (std::vector<std::string>{"abc", "def"}));
    lines.clear();
    Feed("READY\r\r\n\r\n\n");
    EXPECT_EQ(lines, (std::vector<std::string>{"READY\r", "", ""}));
}

TEST_F(LineAssemblerTest, HandsOnASplitLineOnceWhenItsLineFeedArrives)
{
    Feed("REA");
    EXPECT_TRUE(lines.empty());
    Feed("DY\r");
    EXPECT_TRUE(lines.empty());
    Feed("\nEND_");
    EXPECT_EQ(lines, (std::vector<std::string>{"READY"}));
    Feed("FRAME\n");
    EXPECT_EQ(lines, (std::vector<std::string>{"READY", "END_FRAME"}));
    EXPECT_EQ(assembler.PendingSize(), 0u);
}

TEST_F(LineAssemblerTest, FinishHandsOnTheTextLeftWithoutLineEnd)
{
    Feed("one\ntwo");
    std::vector<std::string> left;
    assembler.Finish([&](std::string_view text) { left.emplace_back(text); });
    EXPECT_EQ(lines, (std::vector<std::string>{"one"}));
    EXPECT_EQ(left, (std::vector<std::string>{"two"}));
    EXPECT_EQ(assembler.PendingSize(), 0u);
}

TEST_F(LineAssemblerTest, ALineOfExactlyTheLimitIsKept)
{
    const std::string longest(LineAssembler::kMaxLineLength, 'x');
    testing::internal::CaptureStdout();
    Feed(longest.substr(0, 1000));
    Feed(longest.substr(1000) + "\r");
    Feed("\nnext\n");
    const std::string output = testing::internal::GetCapturedStdout();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), LineAssembler::kMaxLineLength);
    EXPECT_EQ(lines[1], "next");
    EXPECT_EQ(output, "");
}

TEST_F(LineAssemblerTest, ALongerLineIsDroppedWholeWithOneWarning)
{
    const std::string warning = "[Warn] Script host line longer than 1048576 bytes was dropped.\n";
    struct Case
    {
        const char* name;
        std::vector<std::string> chunks;
    };
    const std::string tooLong(LineAssembler::kMaxLineLength + 1, 'y');
    const std::vector<Case> cases = {
        {"in one chunk", {"a\n" + tooLong + "\nREADY\n"}},
        {"in small chunks",
         {"a\n", tooLong.substr(0, 5), tooLong.substr(5, 600000), tooLong.substr(600005), "\nREADY\n"}},
        {"its line feed alone", {"a\n" + tooLong, "\n", "READY\n"}},
        {"far longer, in many chunks",
         {"a\n", std::string(3 * LineAssembler::kMaxLineLength, 'z'), std::string(70000, 'z'), "z\nREADY\n"}},
        {"one byte over with a carriage return", {"a\n" + tooLong + "\r", "\nREADY\n"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        LineAssembler fresh;
        std::vector<std::string> got;
        std::size_t mostPending = 0;
        testing::internal::CaptureStdout();
        for (const std::string& chunk : c.chunks)
        {
            fresh.Feed(chunk, [&](std::string_view line) { got.emplace_back(line); });
            mostPending = std::max(mostPending, fresh.PendingSize());
        }
        const std::string output = testing::internal::GetCapturedStdout();
        EXPECT_EQ(got, (std::vector<std::string>{"a", "READY"}));
        EXPECT_EQ(output, warning);
        EXPECT_LE(mostPending, LineAssembler::kMaxLineLength + 1);
    }
}

TEST_F(LineAssemblerTest, ALongLineWithoutEndIsNotHandedOnAtTheEnd)
{
    testing::internal::CaptureStdout();
    Feed(std::string(LineAssembler::kMaxLineLength + 10, 'q'));
    std::vector<std::string> left;
    assembler.Finish([&](std::string_view text) { left.emplace_back(text); });
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(left.empty());
    EXPECT_EQ(assembler.PendingSize(), 0u);
}

} // namespace
} // namespace Marrowvane
