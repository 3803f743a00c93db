#include "app/EngineProcess.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace Marrowvane::Testing
{

std::filesystem::path EngineExecutable()
{
    return std::filesystem::path(MARROWVANE_BINARY_DIR) / "bin" / "marrowvane";
}

std::filesystem::path MakeTempFolder(const std::string& name)
{
    std::random_device random;
    const auto folder =
        std::filesystem::temp_directory_path() /
        ("marrowvane-" + name + "-" + std::to_string(::getpid()) + "-" + std::to_string(random()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

void WriteFile(const std::filesystem::path& path, const std::string& content)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << content;
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

EngineRun RunEngine(const EngineLaunch& launch)
{
    const auto folder = MakeTempFolder("run");
    const auto outPath = folder / "out.txt";
    const auto errPath = folder / "err.txt";

    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry)
    {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        if (launch.environment.find(name) == launch.environment.end())
        {
            environment.push_back(text);
        }
    }
    for (const auto& [name, value] : launch.environment)
    {
        if (value)
        {
            environment.push_back(name + "=" + *value);
        }
    }
    std::vector<std::string> arguments{EngineExecutable().string()};
    arguments.insert(arguments.end(), launch.arguments.begin(), launch.arguments.end());
    std::vector<char*> argv;
    for (auto& argument : arguments)
    {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& entry : environment)
    {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid == 0)
    {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int in = ::open("/dev/null", O_RDONLY);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        if (!launch.workingDirectory.empty() && ::chdir(launch.workingDirectory.c_str()) != 0)
        {
            ::_exit(126);
        }
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }

    EngineRun run;
    const auto start = std::chrono::steady_clock::now();
    bool terminated = false;
    int status = 0;
    rusage usage{};
    while (true)
    {
        const pid_t done = ::wait4(pid, &status, WNOHANG, &usage);
        if (done == pid)
        {
            break;
        }
        const auto elapsed = std::chrono::steady_clock::now() - start;
        if (launch.terminateAfter && !terminated && elapsed >= *launch.terminateAfter)
        {
            ::kill(pid, SIGTERM);
            terminated = true;
        }
        if (elapsed >= launch.timeout)
        {
            run.timedOut = true;
            ::kill(pid, SIGKILL);
            ::wait4(pid, &status, 0, &usage);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (WIFEXITED(status))
    {
        run.exitCode = WEXITSTATUS(status);
    }
    else if (WIFSIGNALED(status))
    {
        run.signal = WTERMSIG(status);
    }
    run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    run.out = ReadFile(outPath);
    run.err = ReadFile(errPath);
    std::filesystem::remove_all(folder);
    return run;
}

} // namespace Marrowvane::Testing
