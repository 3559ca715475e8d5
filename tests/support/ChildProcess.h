#pragma once
// Runs part of a test in a forked child process, for what a test cannot do to itself:
// - as an ordinary user: file and folder permissions do not bind the superuser, and CI runs the tests as
//   the superuser, so the child drops to the user and group "nobody" (65534) first;
// - with a cap on the size of the files it writes (RLIMIT_FSIZE), so a write past the cap fails with
//   EFBIG as it would on a full disk; SIGXFSZ is ignored so the write reports the failure instead of
//   killing the child.
// The child tells its result through its exit code; assertions inside it do not reach the parent.

#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <functional>
#include <optional>

namespace vx::test {

struct ChildSetup {
    bool ordinaryUser = false;
    std::optional<rlim_t> maxFileBytes;
};

// The exit code of a child that could not become an ordinary user.
inline constexpr int kNoOrdinaryUser = 125;
inline constexpr uid_t kNobody = 65534;

inline rlim_t g_capAfterRefusal = 0;

// Called in a child with a cap on the size of its files: the cap shrinks to `bytes` at the first write
// it refuses, as when another process takes the room that the failed write freed, so that a write-back
// of the old contents fails too.
inline void shrinkCapAtFirstRefusal(rlim_t bytes)
{
    g_capAfterRefusal = bytes;
    std::signal(SIGXFSZ, [](int) {
        const rlimit cap{g_capAfterRefusal, g_capAfterRefusal};
        ::setrlimit(RLIMIT_FSIZE, &cap);
    });
}

// The exit code of `body` run in a child set up as asked; kNoOrdinaryUser when privileges could not be
// dropped; -1 when the child did not end by itself.
inline int runInChild(const std::function<int()>& body, const ChildSetup& setup = {})
{
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        if (setup.ordinaryUser && ::geteuid() == 0) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0 ||
                ::setuid(0) == 0)
                ::_exit(kNoOrdinaryUser);
        }
        if (setup.maxFileBytes) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit cap{*setup.maxFileBytes, *setup.maxFileBytes};
            if (::setrlimit(RLIMIT_FSIZE, &cap) != 0)
                ::_exit(126);
        }
        const int code = body();
        std::fflush(stdout);
        std::fflush(stderr);
        ::_exit(code);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

} // namespace vx::test
