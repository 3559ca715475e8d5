#include "platform/InstanceLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using vx::InstanceLock;

namespace {

constexpr const char* kName = "VN_07";

// Every test gets its own runtime folder, so the tests neither see a running program's lock nor leave
// files in the user's real one.
class InstanceLockTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_runtime.isValid());
        ASSERT_TRUE(m_temp.isValid());
        m_oldXdg = qgetenv("XDG_RUNTIME_DIR");
        m_oldTmp = qgetenv("TMPDIR");
        m_hadXdg = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
        m_hadTmp = qEnvironmentVariableIsSet("TMPDIR");
        ::chmod(QFile::encodeName(m_runtime.path()).constData(), 0700);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
        qputenv("TMPDIR", QFile::encodeName(m_temp.path()));
    }
    void TearDown() override
    {
        restore("XDG_RUNTIME_DIR", m_hadXdg, m_oldXdg);
        restore("TMPDIR", m_hadTmp, m_oldTmp);
    }
    static void restore(const char* key, bool had, const QByteArray& value)
    {
        if (had)
            qputenv(key, value);
        else
            qunsetenv(key);
    }
    QString fallbackPath() const { return m_temp.path() + "/vornalex-" + QString::number(::getuid()); }

    QTemporaryDir m_runtime;
    QTemporaryDir m_temp;

private:
    QByteArray m_oldXdg, m_oldTmp;
    bool m_hadXdg = false, m_hadTmp = false;
};

// A child that takes the lock, tells the parent whether it got it, then waits to be ended.
struct Holder {
    pid_t pid = -1;
    bool acquired = false;
};

Holder startHolder(int endWay)
{
    int ready[2];
    if (::pipe(ready) != 0)
        return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(ready[0]);
        auto lock = InstanceLock::tryAcquire(kName);
        const char got = (lock && lock->guarded()) ? '1' : '0';
        (void)!::write(ready[1], &got, 1);
        ::close(ready[1]);
        if (endWay == 0) {
            // Ends by itself, without running any destructor: only the kernel can release the lock.
            ::sleep(1);
            ::_exit(0);
        }
        for (;;)
            ::pause();
    }
    ::close(ready[1]);
    char got = '0';
    const bool read = ::read(ready[0], &got, 1) == 1;
    ::close(ready[0]);
    return {pid, read && got == '1'};
}

} // namespace

TEST_F(InstanceLockTest, SecondAcquisitionFailsWhileTheFirstLives)
{
    auto first = InstanceLock::tryAcquire(kName);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->guarded());
    EXPECT_EQ(first->path(), m_runtime.path() + "/VN_07.lock");

    EXPECT_EQ(InstanceLock::tryAcquire(kName), nullptr);

    first.reset();
    auto again = InstanceLock::tryAcquire(kName);
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(again->guarded());
}

TEST_F(InstanceLockTest, LocksOfOtherNamesAreIndependent)
{
    auto a = InstanceLock::tryAcquire(kName);
    auto b = InstanceLock::tryAcquire("VN_08");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(a->guarded());
    EXPECT_TRUE(b->guarded());
    EXPECT_NE(a->path(), b->path());
}

TEST_F(InstanceLockTest, NameCannotLeaveTheRuntimeFolder)
{
    auto lock = InstanceLock::tryAcquire("../../etc/VN_07");
    ASSERT_NE(lock, nullptr);
    ASSERT_TRUE(lock->guarded());
    EXPECT_EQ(QFileInfo(lock->path()).absolutePath(), QFileInfo(m_runtime.path()).absoluteFilePath());
}

// How the holding process ends: 0 exits by itself, otherwise the signal that ends it.
class LockReleasedByEnd : public InstanceLockTest, public testing::WithParamInterface<int> {};

TEST_P(LockReleasedByEnd, ChildHoldsTheLockUntilItEnds)
{
    const int endWay = GetParam();
    Holder holder = startHolder(endWay);
    ASSERT_GT(holder.pid, 0);
    ASSERT_TRUE(holder.acquired);

    EXPECT_EQ(InstanceLock::tryAcquire(kName), nullptr) << "the child holds the lock";

    if (endWay != 0)
        ::kill(holder.pid, endWay);
    int status = 0;
    ASSERT_EQ(::waitpid(holder.pid, &status, 0), holder.pid);

    auto lock = InstanceLock::tryAcquire(kName);
    ASSERT_NE(lock, nullptr);
    EXPECT_TRUE(lock->guarded());
}

INSTANTIATE_TEST_SUITE_P(EndWays, LockReleasedByEnd, testing::Values(0, SIGKILL, SIGTERM, SIGSEGV, SIGABRT),
                         [](const testing::TestParamInfo<int>& info) {
                             switch (info.param) {
                             case 0: return std::string("Exit");
                             case SIGKILL: return std::string("Kill");
                             case SIGTERM: return std::string("Term");
                             case SIGSEGV: return std::string("Crash");
                             default: return std::string("Abort");
                             }
                         });

TEST_F(InstanceLockTest, ParentCannotTakeTheLockOfItsChild)
{
    Holder holder = startHolder(SIGKILL);
    ASSERT_GT(holder.pid, 0);
    ASSERT_TRUE(holder.acquired);
    // The file is there from the child; a second opener must still lose.
    EXPECT_TRUE(QFile::exists(m_runtime.path() + "/VN_07.lock"));
    EXPECT_EQ(InstanceLock::tryAcquire(kName), nullptr);
    ::kill(holder.pid, SIGKILL);
    ::waitpid(holder.pid, nullptr, 0);
}

TEST_F(InstanceLockTest, ProgramsWeStartDoNotInheritTheLock)
{
    auto lock = InstanceLock::tryAcquire(kName);
    ASSERT_NE(lock, nullptr);
    ASSERT_TRUE(lock->guarded());

    QProcess child;
    child.start("sleep", {"30"});
    ASSERT_TRUE(child.waitForStarted());

    lock.reset();
    auto next = InstanceLock::tryAcquire(kName);
    EXPECT_NE(next, nullptr) << "a started program kept the lock after we let it go";

    child.kill();
    child.waitForFinished();
}

TEST_F(InstanceLockTest, CopiesStartedAtTheSameInstantLetExactlyOneRun)
{
    constexpr int kCopies = 8;
    int go[2], results[2], quit[2];
    ASSERT_EQ(::pipe(go), 0);
    ASSERT_EQ(::pipe(results), 0);
    ASSERT_EQ(::pipe(quit), 0);
    pid_t pids[kCopies];
    for (int i = 0; i < kCopies; ++i) {
        pids[i] = ::fork();
        if (pids[i] == 0) {
            ::close(go[1]);
            ::close(results[0]);
            ::close(quit[1]);
            char c;
            (void)!::read(go[0], &c, 1); // all children wake together when the parent closes the pipe
            auto lock = InstanceLock::tryAcquire(kName);
            const char got = (lock && lock->guarded()) ? '1' : '0';
            (void)!::write(results[1], &got, 1);
            (void)!::read(quit[0], &c, 1); // hold whatever we got until every copy has tried
            ::_exit(0);
        }
    }
    ::close(go[0]);
    ::close(results[1]);
    ::close(quit[0]);
    ::close(go[1]);

    int winners = 0, answers = 0;
    char c;
    while (answers < kCopies && ::read(results[0], &c, 1) == 1) {
        ++answers;
        winners += (c == '1');
    }
    ::close(quit[1]);
    ::close(results[0]);
    for (pid_t pid : pids)
        ::waitpid(pid, nullptr, 0);

    EXPECT_EQ(answers, kCopies);
    EXPECT_EQ(winners, 1);
}

TEST_F(InstanceLockTest, WithoutRuntimeFolderAPrivateFolderIsMade)
{
    qunsetenv("XDG_RUNTIME_DIR");
    auto lock = InstanceLock::tryAcquire(kName);
    ASSERT_NE(lock, nullptr);
    ASSERT_TRUE(lock->guarded());
    EXPECT_EQ(lock->path(), fallbackPath() + "/VN_07.lock");

    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(fallbackPath()).constData(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(st.st_uid, ::getuid());
}

TEST_F(InstanceLockTest, OwnFolderOpenToOthersIsTightened)
{
    qunsetenv("XDG_RUNTIME_DIR");
    const QByteArray folder = QFile::encodeName(fallbackPath());
    ASSERT_EQ(::mkdir(folder.constData(), 0777), 0);
    ASSERT_EQ(::chmod(folder.constData(), 0777), 0);

    EXPECT_EQ(InstanceLock::runtimeFolder(), fallbackPath());
    struct stat st {};
    ASSERT_EQ(::lstat(folder.constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(InstanceLockTest, RuntimeFolderOpenToOthersIsLeftAloneAndNotUsed)
{
    const QByteArray runtime = QFile::encodeName(m_runtime.path());
    ASSERT_EQ(::chmod(runtime.constData(), 0755), 0);

    EXPECT_EQ(InstanceLock::runtimeFolder(), fallbackPath());
    struct stat st {};
    ASSERT_EQ(::lstat(runtime.constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0755u) << "the session's folder is not ours to change";
}

TEST_F(InstanceLockTest, LinkInPlaceOfTheFolderIsRefused)
{
    qunsetenv("XDG_RUNTIME_DIR");
    QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    ASSERT_EQ(::symlink(QFile::encodeName(elsewhere.path()).constData(),
                        QFile::encodeName(fallbackPath()).constData()), 0);

    EXPECT_TRUE(InstanceLock::runtimeFolder().isEmpty());
    auto lock = InstanceLock::tryAcquire(kName);
    ASSERT_NE(lock, nullptr) << "an unusable folder must not keep the program from starting";
    EXPECT_FALSE(lock->guarded());
    EXPECT_FALSE(QFile::exists(elsewhere.path() + "/VN_07.lock"));
}

TEST_F(InstanceLockTest, FolderOfAnotherUserIsRefused)
{
    qunsetenv("XDG_RUNTIME_DIR");
    const QByteArray folder = QFile::encodeName(fallbackPath());
    ASSERT_EQ(::mkdir(folder.constData(), 0700), 0);
    constexpr uid_t kOther = 65534;
    if (::getuid() == kOther || ::chown(folder.constData(), kOther, kOther) != 0)
        GTEST_SKIP() << "handing a folder to another user needs root";

    EXPECT_TRUE(InstanceLock::runtimeFolder().isEmpty());
    auto lock = InstanceLock::tryAcquire(kName);
    ASSERT_NE(lock, nullptr);
    EXPECT_FALSE(lock->guarded());
    EXPECT_FALSE(QFile::exists(fallbackPath() + "/VN_07.lock"));
}

TEST_F(InstanceLockTest, RuntimeFolderOfAnotherUserFallsBackToThePrivateFolder)
{
    constexpr uid_t kOther = 65534;
    const QByteArray runtime = QFile::encodeName(m_runtime.path());
    if (::getuid() == kOther || ::chown(runtime.constData(), kOther, kOther) != 0)
        GTEST_SKIP() << "handing a folder to another user needs root";

    EXPECT_EQ(InstanceLock::runtimeFolder(), fallbackPath());
    ::chown(runtime.constData(), ::getuid(), ::getgid());
}
