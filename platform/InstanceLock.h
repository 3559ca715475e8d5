#pragma once
// One running copy per user: a lock file in the user's runtime folder, held with flock() for the life of
// the process. The kernel drops the lock when the process ends in any way (exit, crash, kill), so a
// stale file never blocks the next start.

#include <QString>

#include <memory>

namespace vx {

class InstanceLock {
public:
    // Takes the lock named `name` in one atomic step. Null when another process holds it. When no lock
    // file can be made at all (no usable runtime folder), the program runs unguarded: the result is then
    // a lock object with guarded() false, so a broken folder never keeps the program from starting.
    static std::unique_ptr<InstanceLock> tryAcquire(const QString& name);
    ~InstanceLock();

    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    bool guarded() const { return m_fd >= 0; }
    // The lock file, empty when unguarded.
    QString path() const { return m_path; }

    // The folder the lock files live in: XDG_RUNTIME_DIR when it is a private folder of this user,
    // otherwise a folder "vornalex-<uid>" (mode 0700) in the temporary folder, made when missing,
    // tightened to 0700 when it is ours, refused when it is someone else's or a link. Empty when neither
    // can be used.
    static QString runtimeFolder();

private:
    InstanceLock(int fd, QString path);

    int m_fd = -1;
    QString m_path;
};

} // namespace vx
