#include "serial/portholders.h"

#include "text/literaltext.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <cstring>

#ifdef Q_OS_LINUX
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_LINUX
QByteArray processPath(const QString &proc, qint64 pid, const char *what)
{
    return QFile::encodeName(proc) + '/' + QByteArray::number(pid) + '/' + what;
}

// The pseudo-terminal whose master side an open /dev/ptmx is: the kernel names
// its index in the file's details.
int ptyIndexOfMaster(const QString &proc, qint64 pid, const char *fd)
{
    QFile info(QFile::decodeName(processPath(proc, pid, "fdinfo/") + fd));
    if (!info.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : info.readAll().split('\n')) {
        if (line.startsWith("tty-index:"))
            return line.mid(10).trimmed().toInt();
    }
    return -1;
}

// The index of a pseudo-terminal's slave side (/dev/pts/N), or -1 for any other
// device.
int ptyIndexOfSlave(const QString &device)
{
    const QString canonical = QFileInfo(device).canonicalFilePath();
    if (!canonical.startsWith(QLatin1String("/dev/pts/")))
        return -1;
    bool ok = false;
    const int index = QStringView(canonical).mid(9).toInt(&ok);
    return ok ? index : -1;
}

// Whether a descriptor is open on something under /dev. The kernel names the
// file a descriptor is open on without following it to the file; the first
// characters of the name are all it takes.
bool onDeviceNode(int fdDir, const char *fd)
{
    char name[8];
    const ssize_t length = ::readlinkat(fdDir, fd, name, sizeof name);
    return length >= 5 && std::memcmp(name, "/dev/", 5) == 0;
}
#endif

} // namespace

QList<qint64> processIds(const QString &proc)
{
    QList<qint64> ids;
#ifdef Q_OS_LINUX
    if (DIR *table = ::opendir(QFile::encodeName(proc).constData())) {
        while (const dirent *entry = ::readdir(table)) {
            bool ok = false;
            const qint64 pid = QByteArray(entry->d_name).toLongLong(&ok);
            if (ok && pid > 0)
                ids.append(pid);
        }
        ::closedir(table);
    }
    std::sort(ids.begin(), ids.end());
#else
    Q_UNUSED(proc);
#endif
    return ids;
}

QString programName(qint64 pid, const QString &proc)
{
#ifdef Q_OS_LINUX
    QFile comm(QFile::decodeName(processPath(proc, pid, "comm")));
    if (comm.open(QIODevice::ReadOnly)) {
        // The kernel ends the name with a line feed; blanks belong to the name.
        QByteArray name = comm.readAll();
        if (name.endsWith('\n'))
            name.chop(1);
        return QString::fromLocal8Bit(name);
    }
#else
    Q_UNUSED(pid);
    Q_UNUSED(proc);
#endif
    return {};
}

QList<PortHolder> portHolders(const QString &device, const QString &proc)
{
    QList<PortHolder> holders;
#ifdef Q_OS_LINUX
    struct stat target;
    if (::stat(QFile::encodeName(device).constData(), &target) != 0 || !S_ISCHR(target.st_mode))
        return holders;
    const int ptyIndex = ptyIndexOfSlave(device);
    const qint64 self = ::getpid();
    for (const qint64 pid : processIds(proc)) {
        if (pid == self)
            continue;
        // Another user's process refuses this: it is not guessed at.
        DIR *fds = ::opendir(processPath(proc, pid, "fd").constData());
        if (!fds)
            continue;
        bool holds = false;
        bool playsDevice = false;
        while (const dirent *entry = ::readdir(fds)) {
            if (entry->d_name[0] == '.' || !onDeviceNode(::dirfd(fds), entry->d_name))
                continue;
            struct stat file;
            // Through the descriptor itself: the very device it is open on, whatever
            // its name.
            if (::fstatat(::dirfd(fds), entry->d_name, &file, 0) != 0 || !S_ISCHR(file.st_mode))
                continue;
            if (file.st_rdev == target.st_rdev)
                holds = true;
            else if (ptyIndex >= 0 && file.st_rdev == makedev(5, 2)
                && ptyIndexOfMaster(proc, pid, entry->d_name) == ptyIndex)
                playsDevice = true;
        }
        ::closedir(fds);
        // A process without a name has ended meanwhile.
        if (const QString name = holds && !playsDevice ? programName(pid, proc) : QString();
            !name.isEmpty())
            holders.append({ pid, name });
    }
#else
    Q_UNUSED(device);
    Q_UNUSED(proc);
#endif
    return holders;
}

QString holdersText(const QList<PortHolder> &holders)
{
    QStringList named;
    for (const PortHolder &holder : holders)
        named.append(literalText(holder.program) + QStringLiteral(" (PID ")
            + QString::number(holder.pid) + u')');
    return named.join(QLatin1String(", "));
}
