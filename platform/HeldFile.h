#pragma once
// Files the program writes beside the user's files for a moment: the temporary copy of a save, a download
// before it takes its name, the backup of a write in place. Each is held with flock() by the process that
// writes it from the moment it is made until it is gone or has taken its final name, and the kernel lets
// go of the lock when that process ends in any way, a kill included. A file of such a name that no
// process holds was therefore left by a copy of the program that died, and the next start removes it.
//
// A file is made and then locked, so for an instant it stands unheld: a start that took its lock first
// removes it, and its maker, finding the lock taken, makes another one.

#include <QString>
#include <QStringList>

#include <functional>

namespace vx {

// A file held by this process: the descriptor (the lock lives as long as it is open) and its path.
struct HeldFile {
    int fd = -1;
    QString path;
};

// A new file `<folder>/<prefix><random letters><suffix>`, never made through a link, with `mode` (less
// the umask), held. fd is -1 when the folder takes no new file (errno tells why).
HeldFile makeHeldFile(const QString& folder, const QString& prefix, const QString& suffix, unsigned mode);

// Each plain file in `folder` named as makeHeldFile() names them that no process holds: `act` is run on
// it while this process holds it (given its path and its open descriptor, for reading). Links, folders
// and any other name are left alone.
void forEachAbandoned(const QString& folder, const QString& prefix, const QString& suffix,
                      const std::function<void(const QString& path, int fd)>& act);

// Removes those files; gives their paths.
QStringList removeAbandoned(const QString& folder, const QString& prefix, const QString& suffix);

} // namespace vx
