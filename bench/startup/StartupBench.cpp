// Start-up benchmark: how long the program takes from launch to its first painted frame, against a
// bare Qt window of the main window's size, as one ratio measured in one run.
//
//   cmake --build build --target startup_bench          (builds what it needs and runs it), or
//   build/bench/vornalex_bench_startup [runs]           (default 40 runs of each, after 3 warm-ups)
//
// Each run is a fresh process (nothing kept between runs but the file cache and the settings file the
// warm-up wrote), started on Qt's offscreen platform with FirstPaintExit preloaded: the first frame
// any window of the process flushes ends it. For the program that frame is the splash window, which
// comes up once the main window's whole start-up (web index, brands list, sprite sheet, settings file,
// last project) and the creation of all its windows are done: the moment the user first sees
// anything. The bare window is an empty 688 x 478 QWidget under the same platform and the same hook,
// so the ratio is what the program's own start-up adds to the least any Qt Widgets program pays.
//
// The program runs from a temporary folder holding copies of the executable, its sprite sheet and its
// brands list, with a private runtime folder for its single-instance lock, so a copy the user has
// running neither blocks it nor is touched. The web site it asks at start is a reserved host that
// never resolves, so no run waits on the network. The two are timed in turns, in alternating order,
// so a change of machine load falls on both alike; medians are compared.
#include "StartupExit.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <numeric>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kWarmUps = 3;
constexpr int kDefaultRuns = 40;
constexpr int kTimeLimitMs = 20000; // the splash alone stays 7 s: a run past this never painted

struct Subject {
    std::string name;
    fs::path exe;
    fs::path folder; // the current folder of the run
};

struct Outcome {
    bool painted = false;
    double ms = 0;
    std::string why;
};

std::vector<std::string> childEnvironment(const fs::path& runtimeDir)
{
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        for (const char* drop : {"QT_QPA_PLATFORM=", "LD_PRELOAD=", "XDG_RUNTIME_DIR="})
            if (entry.rfind(drop, 0) == 0)
                goto skip;
        env.push_back(entry);
    skip:;
    }
    env.push_back("QT_QPA_PLATFORM=offscreen");
    env.push_back(std::string("LD_PRELOAD=") + VX_FIRST_PAINT_HOOK);
    env.push_back("XDG_RUNTIME_DIR=" + runtimeDir.string());
    return env;
}

// Waits for the child within the time limit; kills it past the limit.
bool waitWithin(pid_t pid, int& status)
{
    const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (pidfd >= 0) {
        pollfd p{pidfd, POLLIN, 0};
        const int ready = ::poll(&p, 1, kTimeLimitMs);
        ::close(pidfd);
        if (ready <= 0)
            ::kill(pid, SIGKILL);
    }
    while (::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            return false;
    return true;
}

Outcome launch(const Subject& s, std::vector<std::string>& env, const fs::path& log)
{
    std::vector<char*> envp;
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string exe = s.exe.string();
    char* argv[] = {exe.data(), nullptr};

    const auto start = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out >= 0) {
            ::dup2(out, 1);
            ::dup2(out, 2);
        }
        if (::chdir(s.folder.c_str()) == 0)
            ::execve(argv[0], argv, envp.data());
        ::_exit(127);
    }
    if (pid < 0)
        return {false, 0, "cannot start a process"};
    int status = 0;
    if (!waitWithin(pid, status))
        return {false, 0, "lost the process"};
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();

    if (WIFEXITED(status) && WEXITSTATUS(status) == vx::bench::kPaintedExit)
        return {true, ms, {}};
    if (WIFSIGNALED(status))
        return {false, ms, "ended by signal " + std::to_string(WTERMSIG(status)) + " (time limit?)"};
    if (WIFEXITED(status) && WEXITSTATUS(status) == vx::bench::kHookBroken)
        return {false, ms, "the hook found no QBackingStore::flush to pass the frame on to"};
    return {false, ms, "ended with code " + std::to_string(WEXITSTATUS(status)) + " before painting"};
}

struct Stats {
    double median, min, mean;
};

Stats stats(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    const double median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    return {median, v.front(), std::accumulate(v.begin(), v.end(), 0.0) / n};
}

void showLog(const fs::path& log)
{
    if (FILE* f = std::fopen(log.c_str(), "r")) {
        char line[512];
        while (std::fgets(line, sizeof line, f))
            std::fprintf(stderr, "    %s", line);
        std::fclose(f);
    }
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : kDefaultRuns;

    char tmpl[] = "/tmp/vornalex-startup-XXXXXX";
    if (!::mkdtemp(tmpl)) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path work = tmpl;
    const fs::path runtime = work / "runtime";
    const fs::path programDir = work / "program";
    std::error_code ec;
    fs::create_directory(runtime, ec);
    fs::permissions(runtime, fs::perms::owner_all, ec);
    fs::create_directory(programDir, ec);
    const fs::path built = VX_PROGRAM_FILE;
    for (const fs::path& file : {built, built.parent_path() / "Vornalex.BMP", built.parent_path() / "brands.csv"}) {
        if (!fs::copy_file(file, programDir / file.filename(), ec)) {
            std::fprintf(stderr, "cannot copy %s: %s\n", file.c_str(), ec.message().c_str());
            fs::remove_all(work, ec);
            return 1;
        }
    }

    const Subject subjects[2] = {
        {"bare window 688x478", VX_BARE_WINDOW, work},
        {"vornalex (splash)", programDir / built.filename(), programDir},
    };
    std::vector<std::string> env = childEnvironment(runtime);
    const fs::path log = work / "last-run.log";
    std::vector<double> times[2];

    bool failed = false;
    for (int round = 0; round < kWarmUps + runs && !failed; ++round) {
        for (int k = 0; k < 2 && !failed; ++k) {
            const int which = (round % 2) ? 1 - k : k;
            const Outcome o = launch(subjects[which], env, log);
            if (!o.painted) {
                std::fprintf(stderr, "%s: %s; its output:\n", subjects[which].name.c_str(), o.why.c_str());
                showLog(log);
                failed = true;
            } else if (round >= kWarmUps) {
                times[which].push_back(o.ms);
            }
        }
    }
    fs::remove_all(work, ec);
    if (failed)
        return 1;

    std::printf("Launch to the first painted frame, offscreen, %d runs each after %d warm-ups\n", runs, kWarmUps);
    std::printf("%-22s %10s %10s %10s\n", "", "median ms", "min ms", "mean ms");
    Stats st[2];
    for (int i = 0; i < 2; ++i) {
        st[i] = stats(times[i]);
        std::printf("%-22s %10.1f %10.1f %10.1f\n", subjects[i].name.c_str(), st[i].median, st[i].min, st[i].mean);
    }
    std::printf("ratio program / bare window: %.2f (medians), %.2f (minimums); aim: 1.5 or less\n",
                st[1].median / st[0].median, st[1].min / st[0].min);
    return 0;
}
