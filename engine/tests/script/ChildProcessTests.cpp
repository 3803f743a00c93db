#include "platform/ChildProcess.h"

#include "script/ScriptTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <pthread.h>
#include <sys/wait.h>
#include <unistd.h>

namespace Marrowvane
{
namespace
{

using namespace std::chrono_literals;
using Testing::ReadWholeFile;
using Testing::ScopedEnvironment;
using Testing::SplitText;
using Testing::TemporaryDirectory;

namespace fs = std::filesystem;

// Reads everything until the end of the child's output, or gives up after
// a while.
std::string ReadToEnd(ChildProcess& child)
{
    std::string text;
    char buffer[4096];
    const auto giveUp = std::chrono::steady_clock::now() + 20s;
    while (std::chrono::steady_clock::now() < giveUp)
    {
        const std::ptrdiff_t count = child.ReadSome(buffer, sizeof buffer);
        if (count < 0)
        {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(count));
        if (count == 0)
        {
            child.WaitForIo(10ms, false);
        }
    }
    return text;
}

ChildExit WaitForExit(ChildProcess& child)
{
    ChildExit exit;
    const auto giveUp = std::chrono::steady_clock::now() + 20s;
    while (!child.PollExit(exit) && std::chrono::steady_clock::now() < giveUp)
    {
        child.WaitForIo(1ms, false);
    }
    return exit;
}

bool IsReaped(long processId)
{
    int status = 0;
    return ::waitpid(static_cast<pid_t>(processId), &status, WNOHANG) < 0 && errno == ECHILD;
}

std::size_t OpenDescriptorCount()
{
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd"))
    {
        ++count;
    }
    return count;
}

std::vector<std::string> Shell(const std::string& script)
{
    return {"sh", "-c", script};
}

class ChildProcessTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* knob : StandIn::kAllKnobs)
        {
            environment.Unset(knob);
        }
        environment.Set(StandIn::kRecordDir, RecordDir().string());
    }

    fs::path RecordDir() const { return temporary.Path() / "record"; }

    ScopedEnvironment environment;
    TemporaryDirectory temporary;
};

TEST_F(ChildProcessTest, PassesTheArgumentVectorAsItIs)
{
    const std::vector<std::string> arguments = {
        "/some where/dotnet", "with blank", "with \"quotes\"", "",          "back\\slash",
        "'single'",           "$HOME",      "Scène",           "new\nline", "  ",
    };
    ChildProcess child;
    ASSERT_EQ(child.Start(MARROWVANE_STAND_IN_HOST, arguments, temporary.Path()), ChildStartError::None);
    child.Close(); // end of input: the stand-in exits
    WaitForExit(child);
    std::string recorded = ReadWholeFile(RecordDir() / StandIn::kArgvFile);
    std::vector<std::string> got;
    std::size_t start = 0;
    for (std::size_t end; (end = recorded.find('\0', start)) != std::string::npos; start = end + 1)
    {
        got.push_back(recorded.substr(start, end - start));
    }
    EXPECT_EQ(got, arguments);
}

TEST_F(ChildProcessTest, ARelativeProgramPathIsRelativeToTheEnginesDirectory)
{
    const fs::path host = MARROWVANE_STAND_IN_HOST;
    const fs::path previous = fs::current_path();
    fs::current_path(host.parent_path().parent_path());
    const fs::path relative = host.parent_path().filename() / host.filename();
    ChildProcess child;
    const ChildStartError started = child.Start(relative, {relative.string()}, temporary.Path());
    fs::current_path(previous);
    ASSERT_EQ(started, ChildStartError::None);
    child.Close();
    WaitForExit(child);
    EXPECT_EQ(ReadWholeFile(RecordDir() / StandIn::kCwdFile), temporary.Path().string());
}

TEST_F(ChildProcessTest, RunsInTheWorkingDirectory)
{
    const fs::path directory = temporary.Path() / "a folder with blanks";
    fs::create_directories(directory);
    ChildProcess child;
    ASSERT_EQ(child.Start(MARROWVANE_STAND_IN_HOST, {"host"}, directory), ChildStartError::None);
    child.Close();
    WaitForExit(child);
    EXPECT_EQ(ReadWholeFile(RecordDir() / StandIn::kCwdFile), directory.string());
}

TEST_F(ChildProcessTest, InheritsNoDescriptorOfTheEngine)
{
    // One opened without close-on-exec, as a library might.
    const int leaky = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(leaky, 3);
    ChildProcess child;
    ASSERT_EQ(child.Start(MARROWVANE_STAND_IN_HOST, {"host"}, temporary.Path()), ChildStartError::None);
    child.Close();
    WaitForExit(child);
    ::close(leaky);
    EXPECT_EQ(ReadWholeFile(RecordDir() / StandIn::kFdsFile), "0\n1\n2\n");
}

TEST_F(ChildProcessTest, StartsWithDefaultSignalsWhateverTheEngineSet)
{
    struct sigaction ignore
    {
    };
    ignore.sa_handler = SIG_IGN;
    struct sigaction previous
    {
    };
    ::sigaction(SIGPIPE, &ignore, &previous);
    sigset_t block;
    sigset_t previousMask;
    sigemptyset(&block);
    sigaddset(&block, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &block, &previousMask);

    ChildProcess child;
    const ChildStartError started = child.Start(MARROWVANE_STAND_IN_HOST, {"host"}, temporary.Path());
    pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    ::sigaction(SIGPIPE, &previous, nullptr);
    ASSERT_EQ(started, ChildStartError::None);
    child.Close();
    WaitForExit(child);
    EXPECT_EQ(ReadWholeFile(RecordDir() / StandIn::kSignalsFile), "SIGPIPE default\nmask empty\n");
}

TEST_F(ChildProcessTest, StandardErrorSharesTheOutputPipe)
{
    ChildProcess child;
    ASSERT_EQ(child.Start("sh", Shell("echo out; echo err >&2; echo more"), temporary.Path()),
              ChildStartError::None);
    EXPECT_EQ(ReadToEnd(child), "out\nerr\nmore\n");
    const ChildExit exit = WaitForExit(child);
    EXPECT_FALSE(exit.bySignal);
    EXPECT_EQ(exit.value, 0);
}

TEST_F(ChildProcessTest, InheritsTheEnvironmentAndFindsBareNamesOnPath)
{
    environment.Set("MARROWVANE_TEST_PROBE", "probe value");
    ChildProcess child;
    ASSERT_EQ(child.Start("sh", Shell("echo \"$MARROWVANE_TEST_PROBE\""), temporary.Path()),
              ChildStartError::None);
    EXPECT_EQ(ReadToEnd(child), "probe value\n");
    WaitForExit(child);
}

TEST_F(ChildProcessTest, ReportsExitCodeAndSignal)
{
    ChildProcess exits;
    ASSERT_EQ(exits.Start("sh", Shell("exit 7"), temporary.Path()), ChildStartError::None);
    ChildExit exit = WaitForExit(exits);
    EXPECT_FALSE(exit.bySignal);
    EXPECT_EQ(exit.value, 7);
    EXPECT_FALSE(exits.IsRunning());
    EXPECT_FALSE(exits.PollExit(exit)) << "reported once";

    ChildProcess killed;
    ASSERT_EQ(killed.Start("sh", Shell("kill -TERM $$"), temporary.Path()), ChildStartError::None);
    exit = WaitForExit(killed);
    EXPECT_TRUE(exit.bySignal);
    EXPECT_EQ(exit.value, SIGTERM);
}

TEST_F(ChildProcessTest, WritingToAChildThatHasGoneDoesNotEndTheEngine)
{
    ChildProcess child;
    ASSERT_EQ(child.Start("sh", Shell("exit 0"), temporary.Path()), ChildStartError::None);
    WaitForExit(child);
    ReadToEnd(child);
    sigset_t before;
    pthread_sigmask(SIG_BLOCK, nullptr, &before);

    // Without the guard the first write raises SIGPIPE and ends this process.
    EXPECT_EQ(child.WriteSome("FRAME|0.016|||\n"), -1);
    EXPECT_FALSE(child.HasInput());
    EXPECT_EQ(child.WriteSome("again\n"), -1);

    sigset_t after;
    sigset_t pending;
    pthread_sigmask(SIG_BLOCK, nullptr, &after);
    sigpending(&pending);
    EXPECT_EQ(sigismember(&after, SIGPIPE), sigismember(&before, SIGPIPE)) << "the mask is restored";
    EXPECT_EQ(sigismember(&pending, SIGPIPE), 0) << "no SIGPIPE left pending";
}

TEST_F(ChildProcessTest, WritesNeverBlockOnAChildThatDoesNotRead)
{
    ChildProcess child;
    ASSERT_EQ(child.Start("sh", Shell("exec sleep 30"), temporary.Path()), ChildStartError::None);
    const std::string block(65536, 'x');
    std::size_t taken = 0;
    for (int i = 0; i < 64; ++i)
    {
        const std::ptrdiff_t count = child.WriteSome(block);
        ASSERT_GE(count, 0);
        taken += static_cast<std::size_t>(count);
        if (count == 0)
        {
            break;
        }
    }
    EXPECT_LT(taken, 64u * block.size()) << "the pipe filled up and the write returned";
    EXPECT_EQ(child.WriteSome(block), 0);
    const long id = child.Id();
    child.Kill();
    EXPECT_FALSE(child.IsRunning());
    EXPECT_TRUE(IsReaped(id));
}

TEST_F(ChildProcessTest, AChildStillRunningIsKilledAndReapedWithItsObject)
{
    long id = -1;
    {
        ChildProcess child;
        ASSERT_EQ(child.Start("sh", Shell("exec sleep 30"), temporary.Path()), ChildStartError::None);
        id = child.Id();
        ASSERT_GT(id, 0);
    }
    EXPECT_TRUE(IsReaped(id));
    EXPECT_EQ(::kill(static_cast<pid_t>(id), 0), -1);
}

TEST_F(ChildProcessTest, AFailedStartLeavesNothingOpen)
{
    const std::size_t before = OpenDescriptorCount();
    ChildProcess missing;
    EXPECT_EQ(missing.Start(temporary.Path() / "no-such-dotnet", {"dotnet"}, temporary.Path()),
              ChildStartError::Spawn);
    ChildProcess notOnPath;
    environment.Set("PATH", temporary.Path().string());
    EXPECT_EQ(notOnPath.Start("dotnet", {"dotnet"}, temporary.Path()), ChildStartError::Spawn);
    ChildProcess noDirectory;
    EXPECT_EQ(noDirectory.Start(MARROWVANE_STAND_IN_HOST, {"host"}, temporary.Path() / "gone"),
              ChildStartError::Spawn);
    EXPECT_EQ(OpenDescriptorCount(), before);
    EXPECT_FALSE(missing.IsRunning());
    EXPECT_FALSE(missing.HasInput());
    EXPECT_FALSE(missing.HasOutput());
}

TEST_F(ChildProcessTest, WorksWhenTheEngineHasNoStandardInput)
{
    // The pipe ends then start at descriptor 0; they must not be taken for
    // the child's standard streams.
    const int savedInput = ::dup(STDIN_FILENO);
    ASSERT_GE(savedInput, 0);
    ::close(STDIN_FILENO);
    ChildProcess child;
    const ChildStartError started =
        child.Start("sh", Shell("read line; echo \"got $line\"; echo err >&2"), temporary.Path());
    ::dup2(savedInput, STDIN_FILENO);
    ::close(savedInput);
    ASSERT_EQ(started, ChildStartError::None);
    EXPECT_EQ(child.WriteSome("abc\n"), 4);
    EXPECT_EQ(ReadToEnd(child), "got abc\nerr\n");
    WaitForExit(child);
}

TEST_F(ChildProcessTest, ReadsWhatArrivedWithoutWaitingForMore)
{
    ChildProcess child;
    ASSERT_EQ(child.Start("sh", Shell("printf 'abc'; exec sleep 30"), temporary.Path()),
              ChildStartError::None);
    std::string text;
    char buffer[64];
    const auto giveUp = std::chrono::steady_clock::now() + 20s;
    while (text.size() < 3 && std::chrono::steady_clock::now() < giveUp)
    {
        const std::ptrdiff_t count = child.ReadSome(buffer, sizeof buffer);
        ASSERT_GE(count, 0);
        text.append(buffer, static_cast<std::size_t>(count));
        child.WaitForIo(5ms, false);
    }
    EXPECT_EQ(text, "abc");
    EXPECT_EQ(child.ReadSome(buffer, sizeof buffer), 0);
    child.Kill();
}

} // namespace
} // namespace Marrowvane
