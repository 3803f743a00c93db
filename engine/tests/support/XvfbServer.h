#pragma once

// A private X server for tests and benchmarks that need a real display: starts
// Xvfb on a display number of its own choosing (-displayfd), so runs in
// parallel never collide, and stops it when destroyed. POSIX only.

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace Marrowvane
{

class XvfbServer
{
public:
    XvfbServer() = default;
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;
    ~XvfbServer() { Stop(); }

    static bool IsInstalled()
    {
        const char* path = std::getenv("PATH");
        std::string directories = path != nullptr ? path : "/usr/bin:/bin";
        std::size_t start = 0;
        while (start <= directories.size())
        {
            const std::size_t end = std::min(directories.find(':', start), directories.size());
            const std::string candidate = directories.substr(start, end - start) + "/Xvfb";
            if (::access(candidate.c_str(), X_OK) == 0)
            {
                return true;
            }
            start = end + 1;
        }
        return false;
    }

    // Starts the server with one screen of width x height x 24 bits and waits
    // until it accepts clients. False with a reason when it cannot.
    bool Start(std::string& reason, int width = 1600, int height = 1000)
    {
        int fds[2];
        if (::pipe(fds) != 0)
        {
            reason = "pipe failed";
            return false;
        }
        const std::string fd = std::to_string(fds[1]);
        const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
        pid = ::fork();
        if (pid < 0)
        {
            reason = "fork failed";
            ::close(fds[0]);
            ::close(fds[1]);
            return false;
        }
        if (pid == 0)
        {
            ::close(fds[0]);
            const int null = ::open("/dev/null", O_WRONLY);
            if (null >= 0)
            {
                ::dup2(null, STDOUT_FILENO);
                ::dup2(null, STDERR_FILENO);
            }
            ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten",
                     "tcp", "-noreset", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        // Xvfb writes the display number and a line end once it is ready.
        std::string number;
        bool complete = false;
        while (!complete)
        {
            pollfd waiting{fds[0], POLLIN, 0};
            const int ready = ::poll(&waiting, 1, startTimeoutMs);
            if (ready < 0 && errno == EINTR)
            {
                continue;
            }
            if (ready <= 0)
            {
                break;
            }
            char c = 0;
            const ssize_t got = ::read(fds[0], &c, 1);
            if (got < 0 && errno == EINTR)
            {
                continue;
            }
            if (got != 1)
            {
                break;
            }
            if (c == '\n')
            {
                complete = !number.empty();
                break;
            }
            number += c;
        }
        ::close(fds[0]);
        if (!complete)
        {
            reason = "Xvfb did not report a display";
            Stop();
            return false;
        }
        display = ":" + number;
        return true;
    }

    void Stop()
    {
        if (pid > 0)
        {
            ::kill(pid, SIGTERM);
            int status = 0;
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR)
            {
            }
            pid = -1;
        }
    }

    const std::string& Display() const { return display; }

private:
    static constexpr int startTimeoutMs = 15000;
    pid_t pid = -1;
    std::string display;
};

} // namespace Marrowvane
