#pragma once
// Runs part of a test in a forked child process that is killed (SIGKILL) at the first chosen moment of
// the file layer, as a crash or kill -9 would end the program there.

#include "platform/FileMoments.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace vx::test {

inline void killedAt(FileMoment moment, const std::function<void()>& work)
{
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        vx::watchFileMoments([moment](FileMoment now, const QString&) {
            if (now == moment)
                ::raise(SIGKILL);
            return 0;
        });
        work();
        ::_exit(2);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child was not killed at the moment";
}

} // namespace vx::test
