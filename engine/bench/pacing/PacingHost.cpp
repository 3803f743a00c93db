// A prompt script host for the frame pacing benchmark: READY, STARTED on
// START, END_FRAME at once for every FRAME, exit on SHUTDOWN or at the end of
// its input. Writes the steady-clock time of every FRAME it receives, in
// nanoseconds, one a line, to the file named by MARROWVANE_PACING_TIMES.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{

long long Now()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

void Write(const char* text, size_t size)
{
    while (size > 0)
    {
        const ssize_t written = ::write(1, text, size);
        if (written <= 0)
        {
            return;
        }
        text += written;
        size -= static_cast<size_t>(written);
    }
}

} // namespace

int main()
{
    std::vector<long long> times;
    Write("READY\n", 6);
    std::string pending;
    char buffer[4096];
    bool done = false;
    while (!done)
    {
        const ssize_t count = ::read(0, buffer, sizeof buffer);
        if (count <= 0)
        {
            break;
        }
        pending.append(buffer, static_cast<size_t>(count));
        size_t end;
        while (!done && (end = pending.find('\n')) != std::string::npos)
        {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (line.rfind("FRAME|", 0) == 0)
            {
                times.push_back(Now());
                Write("END_FRAME\n", 10);
            }
            else if (line == "START")
            {
                Write("STARTED\n", 8);
            }
            else if (line == "SHUTDOWN")
            {
                done = true;
            }
        }
    }
    if (const char* path = std::getenv("MARROWVANE_PACING_TIMES"))
    {
        if (std::FILE* file = std::fopen(path, "w"))
        {
            for (const long long time : times)
            {
                std::fprintf(file, "%lld\n", time);
            }
            std::fclose(file);
        }
    }
    return 0;
}
