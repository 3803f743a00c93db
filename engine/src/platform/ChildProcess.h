#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Marrowvane
{

// How a child process ended: its exit code, or the signal that ended it.
struct ChildExit
{
    bool bySignal = false;
    int value = 0;
};

// Which step of starting a child failed.
enum class ChildStartError
{
    None,
    InputPipe,       // the pipe of its standard input could not be made
    InputPipeSetup,  // the engine's end of it could not be set up
    OutputPipe,      // the pipe of its standard output and error could not be made
    OutputPipeSetup, // the engine's end of it could not be set up
    Spawn,           // the process could not be created
};

// One child process whose standard input is one pipe and whose standard
// output and standard error share another. The engine's two ends never block:
// reads and writes take what is there and return. The child inherits the
// engine's environment and no other descriptor or handle of the engine.
// A child that still runs when the object goes is killed and reaped.
// The binding lives in platform/<binding>/ChildProcess.cpp.
class ChildProcess
{
public:
    ChildProcess();
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts executable with arguments as its argument vector (arguments[0]
    // is the program's own name, each argument passed as it is, no quoting)
    // in workingDirectory. A bare executable name is looked up in PATH; a
    // relative path with a folder is relative to the engine's current
    // directory. Only one child per object.
    ChildStartError Start(const std::filesystem::path& executable, const std::vector<std::string>& arguments,
                          const std::filesystem::path& workingDirectory);

    // Started and not yet reaped.
    bool IsRunning() const;
    // The input end is open and the child has not closed its side.
    bool HasInput() const;
    // The output end is open and has not reached its end.
    bool HasOutput() const;

    // Writes what the pipe takes at once: the count taken (0 when it is
    // full), or -1 when the child's side is gone. Never ends the engine with
    // a signal, never blocks.
    std::ptrdiff_t WriteSome(std::string_view bytes);
    // Reads what has arrived: the count read, 0 when nothing waits, or -1
    // at the end of the output. Never blocks.
    std::ptrdiff_t ReadSome(char* buffer, std::size_t capacity);
    // Sleeps until output arrives, the input can take bytes (when
    // wantWrite), or timeout passes; with neither end open it just sleeps.
    void WaitForIo(std::chrono::nanoseconds timeout, bool wantWrite);

    // Reaps the child without waiting. True exactly once, when it has ended;
    // exit then says how.
    bool PollExit(ChildExit& exit);
    // Ends the child at once and reaps it.
    void Kill();
    // Closes both ends of the engine (input first).
    void Close();

    // The operating system's id of the child, or -1.
    long Id() const;

private:
    struct State;
    std::unique_ptr<State> state;
};

} // namespace Marrowvane
