// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/process/toolrunner.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include "engine/files/descriptor.h"
#include "engine/limits.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;

// How often a running tool's stop check is asked; a stop therefore takes effect well within a second.
constexpr std::chrono::milliseconds kWaitSlice = 50ms;

// The longest a run waits for the killed processes a tool left behind to go.
constexpr std::chrono::milliseconds kGroupEndWait = 200ms;

// The most a tool's output is read at one time, so that a tool that prints without end still lets the
// stop check and the time limit be looked at.
constexpr int kOutputReadsAtOnce = 16;

std::mutex overrideMutex;
std::string folderOverride;
std::atomic<long long> timeLimitMs{kToolTimeLimit.count()};

std::string executableFolder()
{
    std::string path(4096, '\0');
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
        if (length < 0)
            return {};
        if (static_cast<size_t>(length) < path.size()) {
            path.resize(static_cast<size_t>(length));
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// Owns the spawn attributes and file actions of one start. Standard output goes to outputFd when one is
// given.
class SpawnSetup final
{
public:
    SpawnSetup(const std::string& folder, int outputFd)
    {
        posix_spawnattr_init(&attributes);
        posix_spawn_file_actions_init(&actions);
        // A group of its own, so that whatever the tool starts can be killed with it.
        short flags = POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
        posix_spawnattr_setflags(&attributes, flags);
        posix_spawnattr_setpgroup(&attributes, 0);
        sigset_t none;
        sigemptyset(&none);
        posix_spawnattr_setsigmask(&attributes, &none);
        sigset_t all;
        sigfillset(&all);
        posix_spawnattr_setsigdefault(&attributes, &all);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        if (outputFd >= 0)
            posix_spawn_file_actions_adddup2(&actions, outputFd, STDOUT_FILENO);
        else
            posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
        posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    }
    ~SpawnSetup()
    {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    posix_spawnattr_t attributes;
    posix_spawn_file_actions_t actions;
};

// A descriptor that becomes readable when the process ends, or -1 where the kernel has none.
class ProcessHandle final
{
public:
    explicit ProcessHandle(pid_t pid)
        : fd(static_cast<int>(syscall(SYS_pidfd_open, pid, 0)))
    {}
    ~ProcessHandle()
    {
        if (fd >= 0)
            close(fd);
    }
    ProcessHandle(const ProcessHandle&) = delete;
    ProcessHandle& operator=(const ProcessHandle&) = delete;

    // Sleeps until the process ends, alsoReadable (when not -1) has something to read, or the time is up.
    void waitAtMost(std::chrono::milliseconds time, int alsoReadable = -1) const
    {
        pollfd entries[2];
        nfds_t count = 0;
        if (fd >= 0)
            entries[count++] = pollfd{fd, POLLIN, 0};
        if (alsoReadable >= 0)
            entries[count++] = pollfd{alsoReadable, POLLIN, 0};
        // Without a process descriptor the end shows only by asking: ask often.
        const auto wait = fd >= 0 ? time : std::min<std::chrono::milliseconds>(time, 5ms);
        if (count > 0 && (poll(entries, count, static_cast<int>(wait.count())) >= 0 || errno == EINTR))
            return;
        std::this_thread::sleep_for(std::min<std::chrono::milliseconds>(time, 5ms));
    }

private:
    int fd;
};

// Whether the process has ended, leaving it unreaped so that its id cannot be reused meanwhile.
bool hasEnded(pid_t pid)
{
    siginfo_t info{};
    return waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == pid;
}

int reap(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

// What the tool left behind dies of the kill too, but not at once: wait a little for its group to empty,
// so that no process of it is still about when the run is over. A child of a tool is not ours to reap; one
// that lingers as a zombie only ends the wait at its bound.
void awaitGroupEnd(pid_t group)
{
    const auto deadline = std::chrono::steady_clock::now() + kGroupEndWait;
    while (kill(-group, 0) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
}

// Reads what the tool has printed so far, without waiting. False once the pipe is closed for good.
bool readOutput(int fd, ToolOutput& output, std::size_t limit)
{
    char buffer[16384];
    for (int n = 0; n < kOutputReadsAtOnce; ++n) {
        const ssize_t length = read(fd, buffer, sizeof buffer);
        if (length == 0)
            return false;
        if (length < 0)
            return errno == EAGAIN || errno == EINTR;
        const size_t room = limit - std::min(limit, output.text.size());
        output.text.append(buffer, std::min(room, static_cast<size_t>(length)));
        output.cut = output.cut || static_cast<size_t>(length) > room;
    }
    return true;
}

} // namespace

std::string programFolder()
{
    {
        std::lock_guard<std::mutex> lock(overrideMutex);
        if (!folderOverride.empty())
            return folderOverride;
    }
    return executableFolder();
}

void overrideProgramFolder(const std::string& folder)
{
    std::lock_guard<std::mutex> lock(overrideMutex);
    folderOverride = folder;
}

std::chrono::milliseconds toolTimeLimit()
{
    return std::chrono::milliseconds(timeLimitMs.load());
}

void setToolTimeLimit(std::chrono::milliseconds limit)
{
    timeLimitMs.store(limit.count());
}

ToolRun runTool(const std::string& executable, const std::vector<std::string>& arguments,
                const StopCheck& stop, std::size_t outputLimit)
{
    ToolRun run;
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        // A NUL would cut the argument short on its way to the tool.
        if (argument.find('\0') != std::string::npos)
            return run;
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    if (executable.find('\0') != std::string::npos)
        return run;

    if (stop && stop()) {
        run.end = ToolEnd::Stopped;
        return run;
    }
    int pipeEnds[2] = {-1, -1};
    if (outputLimit > 0 &&
        (pipe2(pipeEnds, O_CLOEXEC) != 0 || fcntl(pipeEnds[0], F_SETFL, O_NONBLOCK) != 0)) {
        const Descriptor readEnd(pipeEnds[0]);
        const Descriptor writeEnd(pipeEnds[1]);
        return run;
    }
    const Descriptor readEnd(pipeEnds[0]);
    const auto deadline = std::chrono::steady_clock::now() + toolTimeLimit();
    pid_t pid = 0;
    {
        // The tool holds the only write end once this one is closed, so the pipe ends when the tool does.
        const Descriptor writeEnd(pipeEnds[1]);
        SpawnSetup setup(programFolder(), writeEnd.get());
        if (posix_spawn(&pid, executable.c_str(), &setup.actions, &setup.attributes, argv.data(), environ) !=
            0)
            return run;
    }

    run.end = ToolEnd::Ended;
    bool reading = readEnd.isOpen();
    {
        const ProcessHandle handle(pid);
        for (;;) {
            if (reading)
                reading = readOutput(readEnd.get(), run.output, outputLimit);
            if (hasEnded(pid))
                break;
            if (stop && stop()) {
                run.end = ToolEnd::Stopped;
                break;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left <= 0ms) {
                run.end = ToolEnd::TimedOut;
                break;
            }
            handle.waitAtMost(std::min(left, kWaitSlice), reading ? readEnd.get() : -1);
        }
    }
    // The tool itself if it still runs, and anything it started and left behind.
    kill(-pid, SIGKILL);
    const int status = reap(pid);
    awaitGroupEnd(pid);
    // What the tool printed last is still in the pipe.
    if (reading)
        readOutput(readEnd.get(), run.output, outputLimit);
    if (run.end == ToolEnd::Ended)
        run.exitStatus = status;
    return run;
}

ToolRun runSplitter(const std::string& input, const std::string& prefix, const StopCheck& stop,
                    std::uint32_t item)
{
    const std::string tool = programFolder() + "/heic/heic";
    if (item == 0)
        return runTool(tool, {tool, input, prefix}, stop);
    return runTool(tool, {tool, "--item", std::to_string(item), input, prefix}, stop);
}

ToolRun runSplitterList(const std::string& input, std::size_t outputLimit, const StopCheck& stop)
{
    const std::string tool = programFolder() + "/heic/heic";
    return runTool(tool, {tool, "--list", input}, stop, outputLimit);
}

ToolRun runDecoder(const std::string& tile, const std::string& bmp, const StopCheck& stop, bool deep)
{
    const std::string tool = programFolder() + "/ffmpeg";
    if (deep)
        return runTool(tool, {tool, "-i", tile, "-pix_fmt", "rgb48be", bmp}, stop);
    return runTool(tool, {tool, "-i", tile, bmp}, stop);
}

ToolRun runPictureReader(const std::string& input, const std::string& prefix, const StopCheck& stop)
{
    const std::string tool = programFolder() + "/picturereader/picturereader";
    return runTool(tool, {tool, input, prefix}, stop);
}
