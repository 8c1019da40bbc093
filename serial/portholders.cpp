#include "portholders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>

#ifdef Q_OS_LINUX
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_LINUX
// The processes listed in /proc, by id.
QList<qint64> processIds()
{
    QList<qint64> ids;
    if (DIR *proc = ::opendir("/proc")) {
        while (const dirent *entry = ::readdir(proc)) {
            bool ok = false;
            const qint64 pid = QByteArray(entry->d_name).toLongLong(&ok);
            if (ok && pid > 0)
                ids.append(pid);
        }
        ::closedir(proc);
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

QString programName(qint64 pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(comm.readAll()).trimmed();
}

// The pseudo-terminal whose master side an open /dev/ptmx is: the kernel names
// its index in the file's details.
int ptyIndexOfMaster(qint64 pid, const char *fd)
{
    QFile info(QStringLiteral("/proc/%1/fdinfo/%2").arg(pid).arg(QLatin1String(fd)));
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
#endif

} // namespace

QList<PortHolder> portHolders(const QString &device)
{
    QList<PortHolder> holders;
#ifdef Q_OS_LINUX
    struct stat target;
    if (::stat(QFile::encodeName(device).constData(), &target) != 0 || !S_ISCHR(target.st_mode))
        return holders;
    const int ptyIndex = ptyIndexOfSlave(device);
    const qint64 self = ::getpid();
    for (const qint64 pid : processIds()) {
        if (pid == self)
            continue;
        const QByteArray fdDir = QByteArrayLiteral("/proc/") + QByteArray::number(pid) + "/fd";
        // Another user's process refuses this: it is not guessed at.
        DIR *fds = ::opendir(fdDir.constData());
        if (!fds)
            continue;
        bool holds = false;
        bool playsDevice = false;
        while (const dirent *entry = ::readdir(fds)) {
            if (entry->d_name[0] == '.')
                continue;
            struct stat file;
            // Follows the descriptor to the file it is open on, whatever its name.
            if (::fstatat(::dirfd(fds), entry->d_name, &file, 0) != 0 || !S_ISCHR(file.st_mode))
                continue;
            if (file.st_rdev == target.st_rdev)
                holds = true;
            else if (ptyIndex >= 0 && file.st_rdev == makedev(5, 2)
                && ptyIndexOfMaster(pid, entry->d_name) == ptyIndex)
                playsDevice = true;
        }
        ::closedir(fds);
        // A process without a name has ended meanwhile.
        if (const QString name = holds && !playsDevice ? programName(pid) : QString();
            !name.isEmpty())
            holders.append({ pid, name });
    }
#else
    Q_UNUSED(device);
#endif
    return holders;
}

QString holdersText(const QList<PortHolder> &holders)
{
    QStringList named;
    for (const PortHolder &holder : holders)
        named.append(QStringLiteral("%1 (PID %2)").arg(holder.program).arg(holder.pid));
    return named.join(QLatin1String(", "));
}

QString modemManagerNote(const QString &device, const QString &ttyClass)
{
#ifdef Q_OS_LINUX
    // A USB serial device sits on a USB bus in the system's device tree.
    const QString name = QFileInfo(QFileInfo(device).canonicalFilePath()).fileName();
    const QString sysfs
        = QFileInfo(QStringLiteral("%1/%2/device").arg(ttyClass, name)).canonicalFilePath();
    if (name.isEmpty() || !sysfs.contains(QLatin1String("/usb")))
        return {};
    // Every user may read every process's name.
    const QList<qint64> ids = processIds();
    const bool running = std::any_of(ids.begin(), ids.end(),
        [](qint64 pid) { return programName(pid) == QLatin1String("ModemManager"); });
    if (running)
        return QStringLiteral("В системе работает ModemManager: несколько секунд после "
                              "подключения USB-устройства он опрашивает его порт, а насовсем "
                              "отучает его от устройства правило udev с "
                              "ENV{ID_MM_DEVICE_IGNORE}=\"1\".");
#else
    Q_UNUSED(device);
    Q_UNUSED(ttyClass);
#endif
    return {};
}
