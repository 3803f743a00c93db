// POSIX binding: the script host's child process and its two pipes.
//
// Binds to: pipe2, fcntl, posix_spawnp with file actions and attributes,
// read/write on non-blocking pipe ends, ppoll, waitpid, kill.
// - Every descriptor the engine makes is close-on-exec from its creation,
//   and the child closes every descriptor above 2 before it runs
//   (posix_spawn_file_actions_addclosefrom_np), so it inherits none of the
//   engine's, whoever opened them.
// - The child starts with an empty signal mask and SIGPIPE at its default,
//   whatever the engine has set.
// - A write to a child that has gone gives EPIPE, and also SIGPIPE, whose
//   default ends the engine. Each write blocks SIGPIPE for this thread, and
//   takes back a SIGPIPE that the write itself raised before restoring the
//   mask; the engine's own disposition of SIGPIPE is never changed.
// Limitations: needs glibc 2.34 or later (addchdir_np, addclosefrom_np) and
// a kernel with pipe2 and ppoll (Linux). A child that cannot be killed
// (stuck in the kernel) holds up Kill until it dies. If the engine's SIGCHLD
// is set to SIG_IGN the kernel reaps the child itself and its exit status is
// lost: the child is then reported as having exited with code -1.
#include "platform/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>

extern char** environ;

namespace Marrowvane
{

struct ChildProcess::State
{
    pid_t processId = -1;
    int input = -1;  // the engine's writing end of the child's standard input
    int output = -1; // the engine's reading end of the child's standard output and error
    bool inputBroken = false;
    bool outputEnded = false;
};

namespace
{

void CloseDescriptor(int& descriptor)
{
    if (descriptor >= 0)
    {
        ::close(descriptor);
        descriptor = -1;
    }
}

// Keeps both ends of a new pipe clear of 0, 1 and 2, so that placing the
// child's ends on its standard streams can never overwrite one of them (an
// engine started with a standard stream closed gets those numbers back).
bool MoveAboveStandardStreams(int (&ends)[2])
{
    for (int& end : ends)
    {
        if (end > 2)
        {
            continue;
        }
        const int moved = ::fcntl(end, F_DUPFD_CLOEXEC, 3);
        if (moved < 0)
        {
            return false;
        }
        ::close(end);
        end = moved;
    }
    return true;
}

bool SetNonBlocking(int descriptor)
{
    const int flags = ::fcntl(descriptor, F_GETFL);
    return flags >= 0 && ::fcntl(descriptor, F_SETFL, flags | O_NONBLOCK) == 0;
}

// Makes a pipe whose ends are close-on-exec and above 2; the engine's end
// (index engineEnd) does not block.
ChildStartError MakePipe(int (&ends)[2], int engineEnd, ChildStartError makeError, ChildStartError setupError)
{
    if (::pipe2(ends, O_CLOEXEC) != 0)
    {
        ends[0] = ends[1] = -1;
        return makeError;
    }
    if (!MoveAboveStandardStreams(ends) || !SetNonBlocking(ends[engineEnd]))
    {
        CloseDescriptor(ends[0]);
        CloseDescriptor(ends[1]);
        return setupError;
    }
    return ChildStartError::None;
}

ChildExit ToChildExit(int status)
{
    if (WIFSIGNALED(status))
    {
        return ChildExit{true, WTERMSIG(status)};
    }
    return ChildExit{false, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

} // namespace

ChildProcess::ChildProcess() : state(std::make_unique<State>()) {}

ChildProcess::~ChildProcess()
{
    if (IsRunning())
    {
        Kill();
    }
    Close();
}

ChildStartError ChildProcess::Start(const std::filesystem::path& executable,
                                    const std::vector<std::string>& arguments,
                                    const std::filesystem::path& workingDirectory)
{
    if (state->processId > 0 || state->input >= 0 || state->output >= 0 || arguments.empty())
    {
        return ChildStartError::Spawn;
    }

    int inputPipe[2];
    int outputPipe[2];
    if (const auto error =
            MakePipe(inputPipe, 1, ChildStartError::InputPipe, ChildStartError::InputPipeSetup);
        error != ChildStartError::None)
    {
        return error;
    }
    if (const auto error =
            MakePipe(outputPipe, 0, ChildStartError::OutputPipe, ChildStartError::OutputPipeSetup);
        error != ChildStartError::None)
    {
        CloseDescriptor(inputPipe[0]);
        CloseDescriptor(inputPipe[1]);
        return error;
    }

    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const std::string& argument : arguments)
    {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    bool ready = posix_spawn_file_actions_init(&actions) == 0;
    const bool haveActions = ready;
    ready = ready && posix_spawnattr_init(&attributes) == 0;
    const bool haveAttributes = ready;

    // dup2 clears close-on-exec on the copies; everything else closes.
    ready = ready && posix_spawn_file_actions_adddup2(&actions, inputPipe[0], STDIN_FILENO) == 0;
    ready = ready && posix_spawn_file_actions_adddup2(&actions, outputPipe[1], STDOUT_FILENO) == 0;
    ready = ready && posix_spawn_file_actions_adddup2(&actions, outputPipe[1], STDERR_FILENO) == 0;
    ready = ready && posix_spawn_file_actions_addclosefrom_np(&actions, 3) == 0;
    ready = ready && posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str()) == 0;

    sigset_t emptyMask;
    sigset_t defaultSignals;
    sigemptyset(&emptyMask);
    sigemptyset(&defaultSignals);
    sigaddset(&defaultSignals, SIGPIPE);
    ready = ready && posix_spawnattr_setsigmask(&attributes, &emptyMask) == 0;
    ready = ready && posix_spawnattr_setsigdefault(&attributes, &defaultSignals) == 0;
    ready =
        ready && posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF) == 0;

    // The child changes its directory before it runs the program: a relative
    // path with a folder is made absolute here, against the engine's own.
    std::filesystem::path program = executable;
    if (executable.is_relative() && executable.has_parent_path())
    {
        std::error_code error;
        std::filesystem::path absolute = std::filesystem::absolute(executable, error);
        if (!error)
        {
            program = std::move(absolute);
        }
    }

    pid_t processId = -1;
    // posix_spawnp reports a failed exec (missing file, no permission) here.
    const bool spawned = ready && ::posix_spawnp(&processId, program.c_str(), &actions, &attributes,
                                                 argv.data(), environ) == 0;

    if (haveAttributes)
    {
        posix_spawnattr_destroy(&attributes);
    }
    if (haveActions)
    {
        posix_spawn_file_actions_destroy(&actions);
    }
    // From now on only the child holds its ends.
    CloseDescriptor(inputPipe[0]);
    CloseDescriptor(outputPipe[1]);
    if (!spawned)
    {
        CloseDescriptor(inputPipe[1]);
        CloseDescriptor(outputPipe[0]);
        return ChildStartError::Spawn;
    }
    state->processId = processId;
    state->input = inputPipe[1];
    state->output = outputPipe[0];
    state->inputBroken = false;
    state->outputEnded = false;
    return ChildStartError::None;
}

bool ChildProcess::IsRunning() const
{
    return state->processId > 0;
}

bool ChildProcess::HasInput() const
{
    return state->input >= 0 && !state->inputBroken;
}

bool ChildProcess::HasOutput() const
{
    return state->output >= 0 && !state->outputEnded;
}

std::ptrdiff_t ChildProcess::WriteSome(std::string_view bytes)
{
    if (!HasInput())
    {
        return -1;
    }
    if (bytes.empty())
    {
        return 0;
    }
    sigset_t pipeSignal;
    sigset_t previousMask;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previousMask);
    sigset_t pending;
    sigemptyset(&pending);
    sigpending(&pending);
    const bool alreadyPending = sigismember(&pending, SIGPIPE) == 1;

    ssize_t written = 0;
    do
    {
        written = ::write(state->input, bytes.data(), bytes.size());
    } while (written < 0 && errno == EINTR);
    const int writeError = errno;

    if (written < 0 && writeError == EPIPE && !alreadyPending)
    {
        // Take back the SIGPIPE this write raised, so that it is not
        // delivered when the mask is restored.
        const timespec noWait{0, 0};
        while (sigtimedwait(&pipeSignal, nullptr, &noWait) < 0 && errno == EINTR)
        {
        }
    }
    pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);

    if (written >= 0)
    {
        return written;
    }
    if (writeError == EAGAIN || writeError == EWOULDBLOCK)
    {
        return 0;
    }
    state->inputBroken = true;
    return -1;
}

std::ptrdiff_t ChildProcess::ReadSome(char* buffer, std::size_t capacity)
{
    if (!HasOutput())
    {
        return -1;
    }
    for (;;)
    {
        const ssize_t count = ::read(state->output, buffer, capacity);
        if (count > 0)
        {
            return count;
        }
        if (count < 0 && errno == EINTR)
        {
            continue;
        }
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
        {
            return 0;
        }
        state->outputEnded = true;
        return -1;
    }
}

void ChildProcess::WaitForIo(std::chrono::nanoseconds timeout, bool wantWrite)
{
    if (timeout.count() <= 0)
    {
        return;
    }
    pollfd waits[2];
    nfds_t count = 0;
    if (HasOutput())
    {
        waits[count++] = pollfd{state->output, POLLIN, 0};
    }
    if (wantWrite && HasInput())
    {
        waits[count++] = pollfd{state->input, POLLOUT, 0};
    }
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(timeout);
    const timespec limit{static_cast<time_t>(seconds.count()),
                         static_cast<long>((timeout - seconds).count())};
    // An interrupted wait just returns early; callers loop on the clock.
    ::ppoll(waits, count, &limit, nullptr);
}

bool ChildProcess::PollExit(ChildExit& exit)
{
    if (state->processId <= 0)
    {
        return false;
    }
    int status = 0;
    pid_t result = 0;
    do
    {
        result = ::waitpid(state->processId, &status, WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result == 0)
    {
        return false;
    }
    exit = result > 0 ? ToChildExit(status) : ChildExit{false, -1};
    state->processId = -1;
    return true;
}

void ChildProcess::Kill()
{
    if (state->processId <= 0)
    {
        return;
    }
    ::kill(state->processId, SIGKILL);
    int status = 0;
    while (::waitpid(state->processId, &status, 0) < 0 && errno == EINTR)
    {
    }
    state->processId = -1;
}

void ChildProcess::Close()
{
    CloseDescriptor(state->input);
    CloseDescriptor(state->output);
    state->inputBroken = false;
    state->outputEnded = false;
}

long ChildProcess::Id() const
{
    return static_cast<long>(state->processId);
}

} // namespace Marrowvane
