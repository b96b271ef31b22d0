#include "framework/Process.h"

#include "framework/Posix_p.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

extern char** environ;

namespace {

constexpr int kPollMs = 10;  // the original polled its updater every 10 ms as well

int StatusToExitCode(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

// Waits for a program nobody waits for any more, so it leaves no zombie.
void ReapInBackground(int pid) {
    std::thread([pid] {
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {}
    }).detach();
}

// Starts a program; search tells whether PATH is searched. Returns the pid or
// raises EOSError.
int Spawn(const String& program, const std::vector<String>& arguments, bool search) {
    const std::string path = StringToUtf8(program);
    if (path.empty()) throw EOSError("Cannot start a program: no program named");
    std::vector<std::string> args;
    args.reserve(arguments.size() + 1);
    args.push_back(path);
    for (const auto& a : arguments) args.push_back(StringToUtf8(a));
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    // The program starts with every signal at its default and none blocked,
    // whatever this process has set for its own threads.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = -1;
    const int rc = search ? ::posix_spawnp(&pid, path.c_str(), nullptr, &attr, argv.data(), environ)
                          : ::posix_spawn(&pid, path.c_str(), nullptr, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    if (rc != 0) posix::RaiseOSError("Cannot start \"" + path + "\"", rc);
    return pid;
}

}  // namespace

std::vector<String> SplitCommandLine(const String& line) {
    std::vector<String> result;
    String current;
    bool inArgument = false;  // something (perhaps an empty quoted part) was seen
    bool quoted = false;
    std::size_t i = 0;
    const std::size_t n = line.size();
    while (i < n) {
        const Char c = line[i];
        if (!quoted && (c == u' ' || c == u'\t')) {
            if (inArgument) result.push_back(current);
            current.clear();
            inArgument = false;
            ++i;
            continue;
        }
        inArgument = true;
        if (c == u'\\') {
            std::size_t count = 0;
            while (i < n && line[i] == u'\\') { ++count; ++i; }
            if (i < n && line[i] == u'"') {
                current.append(count / 2, u'\\');
                if (count % 2 == 1) { current += u'"'; ++i; }
                // an even count leaves the quote to act as a quote below
            } else {
                current.append(count, u'\\');
            }
            continue;
        }
        if (c == u'"') {
            if (quoted && i + 1 < n && line[i + 1] == u'"') {
                current += u'"';
                i += 2;
                continue;
            }
            quoted = !quoted;
            ++i;
            continue;
        }
        current += c;
        ++i;
    }
    if (inArgument) result.push_back(current);
    return result;
}

TProcess::~TProcess() {
    std::lock_guard lock(mutex_);
    if (pid_ > 0 && !Poll()) ReapInBackground(pid_);
}

void TProcess::Start(const String& program, const std::vector<String>& arguments) {
    std::lock_guard lock(mutex_);
    if (pid_ > 0) throw EOSError("Cannot start \"" + StringToUtf8(program) + "\": this process object already ran a program");
    pid_ = Spawn(program, arguments, false);
    ended_ = false;
    exitCode_ = -1;
}

bool TProcess::Poll() {
    if (pid_ <= 0 || ended_) return ended_;
    int status = 0;
    const pid_t rc = ::waitpid(pid_, &status, WNOHANG);
    if (rc == pid_) {
        ended_ = true;
        exitCode_ = StatusToExitCode(status);
    } else if (rc < 0 && errno == ECHILD) {
        // Reaped by someone else (a handler of the whole process): it has
        // ended, with an exit status nobody can tell any more.
        ended_ = true;
    }
    return ended_;
}

bool TProcess::Ended() {
    std::lock_guard lock(mutex_);
    return Poll();
}

bool TProcess::WaitFor(int timeoutMs) {
    const std::int64_t deadline = posix::NowMs() + (timeoutMs > 0 ? timeoutMs : 0);
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (pid_ <= 0) return false;
            if (Poll()) return true;
        }
        if (timeoutMs >= 0 && posix::MsLeft(deadline) == 0) return false;
        int step = kPollMs;
        if (timeoutMs >= 0) step = std::min(step, posix::MsLeft(deadline));
        std::this_thread::sleep_for(std::chrono::milliseconds(step));
    }
}

int TProcess::ExitCode() {
    std::lock_guard lock(mutex_);
    Poll();
    return ended_ ? exitCode_ : -1;
}

void OpenInDefaultProgram(const String& target) {
    if (target.empty()) throw EOSError("Nothing to open: no link or file named");
    int pid = -1;
    try {
        pid = Spawn(u"xdg-open", {target}, true);
    } catch (const EOSError& e) {
        throw EOSError("Cannot open \"" + StringToUtf8(target) + "\" in the default program (" + e.what() + ")");
    }
    ReapInBackground(pid);
}
