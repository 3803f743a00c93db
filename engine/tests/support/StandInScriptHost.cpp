// The stand-in script host for tests and benchmarks. Knobs and records are
// described in StandInScriptHost.h. Plain POSIX, unbuffered reads and
// writes, no dependency on the engine.
#include "support/StandInScriptHost.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace
{

using namespace Marrowvane;

std::string Knob(const char* name, const char* fallback = "")
{
    const char* value = std::getenv(name);
    return value ? value : fallback;
}

long KnobNumber(const char* name, long fallback)
{
    const std::string text = Knob(name);
    return text.empty() ? fallback : std::strtol(text.c_str(), nullptr, 10);
}

void SleepMs(long milliseconds)
{
    timespec duration{milliseconds / 1000, (milliseconds % 1000) * 1000000L};
    while (nanosleep(&duration, &duration) != 0 && errno == EINTR)
    {
    }
}

[[noreturn]] void WaitToBeKilled()
{
    for (;;)
    {
        pause();
    }
}

bool WriteAll(int descriptor, std::string_view bytes)
{
    while (!bytes.empty())
    {
        const ssize_t written = write(descriptor, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
        {
            continue;
        }
        if (written <= 0)
        {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::string recordDir;
int receivedFile = -1;

void WriteRecord(const char* name, std::string_view content)
{
    if (recordDir.empty())
    {
        return;
    }
    const std::string path = recordDir + "/" + name;
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (file >= 0)
    {
        WriteAll(file, content);
        close(file);
    }
}

void RecordEvent(std::string_view event)
{
    if (recordDir.empty())
    {
        return;
    }
    const std::string path = recordDir + "/" + StandIn::kEventsFile;
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (file >= 0)
    {
        WriteAll(file, std::string(event) + "\n");
        close(file);
    }
}

// The descriptors open when the program starts, before it opens any.
std::string ListOpenDescriptors()
{
    std::string list;
    DIR* directory = opendir("/proc/self/fd");
    if (directory == nullptr)
    {
        return list;
    }
    const int own = dirfd(directory);
    std::set<int> descriptors;
    while (const dirent* entry = readdir(directory))
    {
        if (entry->d_name[0] == '.')
        {
            continue;
        }
        const int descriptor = std::atoi(entry->d_name);
        if (descriptor != own)
        {
            descriptors.insert(descriptor);
        }
    }
    closedir(directory);
    for (const int descriptor : descriptors)
    {
        list += std::to_string(descriptor) + "\n";
    }
    return list;
}

std::string DescribeSignals()
{
    std::string text;
    struct sigaction current;
    sigaction(SIGPIPE, nullptr, &current);
    text += current.sa_handler == SIG_IGN ? "SIGPIPE ignored\n" : "SIGPIPE default\n";
    sigset_t mask;
    sigprocmask(SIG_BLOCK, nullptr, &mask);
    bool empty = true;
    for (int signal = 1; signal < NSIG; ++signal)
    {
        if (sigismember(&mask, signal) == 1)
        {
            empty = false;
        }
    }
    text += empty ? "mask empty\n" : "mask not empty\n";
    return text;
}

void Record(int argc, char** argv)
{
    recordDir = Knob(StandIn::kRecordDir);
    if (recordDir.empty())
    {
        return;
    }
    const std::string descriptors = ListOpenDescriptors();
    mkdir(recordDir.c_str(), 0755);
    WriteRecord(StandIn::kFdsFile, descriptors);
    std::string arguments;
    for (int i = 0; i < argc; ++i)
    {
        arguments += argv[i];
        arguments += '\0';
    }
    WriteRecord(StandIn::kArgvFile, arguments);
    std::vector<char> cwd(4096);
    if (getcwd(cwd.data(), cwd.size()) != nullptr)
    {
        WriteRecord(StandIn::kCwdFile, cwd.data());
    }
    WriteRecord(StandIn::kPidFile, std::to_string(getpid()));
    WriteRecord(StandIn::kSignalsFile, DescribeSignals());
    const std::string received = recordDir + "/" + StandIn::kReceivedFile;
    receivedFile = open(received.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
}

[[noreturn]] void End()
{
    const std::string text = Knob(StandIn::kExitText);
    if (!text.empty())
    {
        WriteAll(STDOUT_FILENO, text);
    }
    const long signal = KnobNumber(StandIn::kExitSignal, 0);
    if (signal > 0)
    {
        std::signal(static_cast<int>(signal), SIG_DFL);
        raise(static_cast<int>(signal));
    }
    _exit(static_cast<int>(KnobNumber(StandIn::kExitCode, 0)));
}

[[noreturn]] void Flood()
{
    const std::string line = Knob(StandIn::kFloodLine, "LOG|Info|flood") + "\n";
    std::string block;
    while (block.size() < 16384)
    {
        block += line;
    }
    for (;;)
    {
        if (!WriteAll(STDOUT_FILENO, block))
        {
            _exit(0);
        }
    }
}

std::string ReadFile(const std::string& path)
{
    std::string content;
    const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0)
    {
        return content;
    }
    char buffer[65536];
    ssize_t count = 0;
    while ((count = read(file, buffer, sizeof buffer)) > 0)
    {
        content.append(buffer, static_cast<std::size_t>(count));
    }
    close(file);
    return content;
}

std::set<long> NumberList(const std::string& text)
{
    std::set<long> numbers;
    const char* p = text.c_str();
    while (*p != '\0')
    {
        char* end = nullptr;
        const long number = std::strtol(p, &end, 10);
        if (end == p)
        {
            break;
        }
        numbers.insert(number);
        p = *end == ',' ? end + 1 : end;
    }
    return numbers;
}

// "frame:<n>" gives n; anything else 0.
long FrameOf(const std::string& knob)
{
    return knob.rfind("frame:", 0) == 0 ? std::strtol(knob.c_str() + 6, nullptr, 10) : 0;
}

} // namespace

int main(int argc, char** argv)
{
    Record(argc, argv);

    const std::string exitAt = Knob(StandIn::kExitAt);
    const std::string flood = Knob(StandIn::kFlood);
    const bool ignoreShutdown = !Knob(StandIn::kIgnoreShutdown).empty();
    if (ignoreShutdown)
    {
        std::signal(SIGTERM, SIG_IGN);
    }

    const std::string errorText = Knob(StandIn::kStderr);
    if (!errorText.empty())
    {
        WriteAll(STDERR_FILENO, errorText + "\n");
    }
    const long longLine = KnobNumber(StandIn::kLongLine, 0);
    if (longLine > 0)
    {
        WriteAll(STDOUT_FILENO, std::string(static_cast<std::size_t>(longLine), 'x') + "\n");
    }
    if (exitAt == "before-ready")
    {
        End();
    }
    if (flood == "before-ready")
    {
        Flood();
    }
    SleepMs(KnobNumber(StandIn::kReadyDelayMs, 0));
    const std::string ready = Knob(StandIn::kReady, "normal");
    if (ready == "normal")
    {
        WriteAll(STDOUT_FILENO, "READY\n");
    }
    else if (ready == "crlf")
    {
        WriteAll(STDOUT_FILENO, "READY\r\n");
    }
    else if (ready == "no-newline")
    {
        WriteAll(STDOUT_FILENO, "READY");
    }
    if (flood == "after-ready")
    {
        Flood();
    }
    if (!Knob(StandIn::kNoRead).empty())
    {
        WaitToBeKilled();
    }
    if (!Knob(StandIn::kCloseInput).empty())
    {
        close(STDIN_FILENO);
        WaitToBeKilled();
    }

    const bool noStarted = !Knob(StandIn::kNoStarted).empty();
    const long exitFrame = FrameOf(exitAt);
    const long floodFrame = FrameOf(flood);
    const std::set<long> skipEndFrame = NumberList(Knob(StandIn::kSkipEndFrame));
    const std::string delayFrame = Knob(StandIn::kDelayFrame);
    const long delayedFrame = std::strtol(delayFrame.c_str(), nullptr, 10);
    const std::size_t delayColon = delayFrame.find(':');
    const long frameDelayMs =
        delayColon == std::string::npos ? 0 : std::strtol(delayFrame.c_str() + delayColon + 1, nullptr, 10);
    const std::string answerFile = Knob(StandIn::kAnswerFile);
    const std::string answer = answerFile.empty() ? std::string() : ReadFile(answerFile);
    const std::string answerWithEnd = answer + "END_FRAME\n";

    long frame = 0;
    std::string pending;
    std::vector<char> buffer(65536);
    for (;;)
    {
        const ssize_t count = read(STDIN_FILENO, buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR)
        {
            continue;
        }
        if (count <= 0)
        {
            RecordEvent("end of input");
            if (ignoreShutdown)
            {
                WaitToBeKilled();
            }
            _exit(0);
        }
        pending.append(buffer.data(), static_cast<std::size_t>(count));
        std::size_t start = 0;
        for (std::size_t lineFeed; (lineFeed = pending.find('\n', start)) != std::string::npos;
             start = lineFeed + 1)
        {
            const std::string_view line(pending.data() + start, lineFeed - start);
            if (receivedFile >= 0)
            {
                WriteAll(receivedFile, std::string_view(pending.data() + start, lineFeed - start + 1));
            }
            if (line == "START")
            {
                if (exitAt == "start")
                {
                    End();
                }
                if (!noStarted)
                {
                    WriteAll(STDOUT_FILENO, "STARTED\n");
                }
            }
            else if (line.rfind("FRAME|", 0) == 0)
            {
                ++frame;
                if (frame == exitFrame)
                {
                    End();
                }
                if (frame == floodFrame)
                {
                    Flood();
                }
                if (frame == delayedFrame)
                {
                    SleepMs(frameDelayMs);
                }
                WriteAll(STDOUT_FILENO, skipEndFrame.count(frame) ? answer : answerWithEnd);
            }
            else if (line == "SHUTDOWN")
            {
                if (ignoreShutdown)
                {
                    continue;
                }
                SleepMs(KnobNumber(StandIn::kShutdownDelayMs, 0));
                RecordEvent("shutdown");
                _exit(0);
            }
        }
        pending.erase(0, start);
    }
}
