#include "core/Log.h"

#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <sstream>
#include <unistd.h>

namespace Marrowvane
{
namespace
{

using namespace std::string_literals;

using ::testing::internal::CaptureStderr;
using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStderr;
using ::testing::internal::GetCapturedStdout;

std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

// Points standard output and standard error at one file, as a console does
// when both streams go to it, and restores them afterwards.
class SharedConsole
{
public:
    explicit SharedConsole(const std::filesystem::path& file)
    {
        std::fflush(stdout);
        std::fflush(stderr);
        savedOut = dup(STDOUT_FILENO);
        savedErr = dup(STDERR_FILENO);
        const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND, 0600);
        dup2(fd, STDOUT_FILENO);
        dup2(fd, STDERR_FILENO);
        close(fd);
    }
    ~SharedConsole()
    {
        std::fflush(stdout);
        std::fflush(stderr);
        dup2(savedOut, STDOUT_FILENO);
        dup2(savedErr, STDERR_FILENO);
        close(savedOut);
        close(savedErr);
    }
    SharedConsole(const SharedConsole&) = delete;
    SharedConsole& operator=(const SharedConsole&) = delete;

private:
    int savedOut = -1;
    int savedErr = -1;
};

struct LogCase
{
    void (*log)(const std::string&);
    bool toStderr;
    std::string message;
    std::string expected;
};

TEST(LogTest, EachLevelWritesItsPrefixAndTheMessageToItsStream)
{
    const LogCase cases[] = {
        {LogInfo, false, "hello", "[Info] hello\n"},
        {LogWarn, false, "careful", "[Warn] careful\n"},
        {LogError, true, "", "[Error] \n"},
        {LogError, true, "broken", "[Error] broken\n"},
        // Written unchanged: no quoting, no escaping, prefix on the first line only.
        {LogInfo, false, "two\nlines", "[Info] two\nlines\n"},
        {LogWarn, false, "100% \"quoted\" \\ %s", "[Warn] 100% \"quoted\" \\ %s\n"},
        {LogError, true, "nul\0byte\xff"s, "[Error] nul\0byte\xff\n"s},
    };
    for (const LogCase& logCase : cases)
    {
        SCOPED_TRACE(logCase.expected);
        CaptureStdout();
        CaptureStderr();
        logCase.log(logCase.message);
        const std::string out = GetCapturedStdout();
        const std::string err = GetCapturedStderr();
        EXPECT_EQ(logCase.toStderr ? err : out, logCase.expected);
        EXPECT_EQ(logCase.toStderr ? out : err, "");
    }
}

TEST(LogTest, LinesOfBothStreamsStayWholeAndInOrderOnOneConsole)
{
    Testing::TemporaryDirectory directory;
    const std::filesystem::path console = directory.Path() / "console.txt";
    {
        SharedConsole shared(console);
        LogWarn("first");
        // Already on the console before anything else is written: flushed.
        EXPECT_EQ(ReadAll(console), "[Warn] first\n");
        LogError("second");
        EXPECT_EQ(ReadAll(console), "[Warn] first\n[Error] second\n");
        LogInfo("third");
        EXPECT_EQ(ReadAll(console), "[Warn] first\n[Error] second\n[Info] third\n");
    }
}

TEST(LogTest, LongMessageIsWrittenWhole)
{
    const std::string message(1 << 20, 'm');
    CaptureStdout();
    LogInfo(message);
    EXPECT_EQ(GetCapturedStdout(), "[Info] " + message + "\n");
}

} // namespace
} // namespace Marrowvane
