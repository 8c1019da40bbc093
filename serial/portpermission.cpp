#include "serial/portpermission.h"

#include "serial/portholders.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#endif

QString permissionAdvice(const QString &port, const QString &device)
{
    const QString denied = QStringLiteral("Нет доступа к порту %1.").arg(port);
#ifdef Q_OS_UNIX
    struct stat info;
    if (::stat(QFile::encodeName(device).constData(), &info) != 0)
        return denied;
    const bool groupMay = (info.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    // The group root is the administrators': no advice to join it.
    if (groupMay && info.st_gid != 0) {
        if (const group *owner = ::getgrgid(info.st_gid))
            return denied
                + QStringLiteral(" Читать и писать его может группа «%1»: пользователь должен "
                                 "входить в неё и затем заново войти в систему.")
                      .arg(QString::fromLocal8Bit(owner->gr_name));
    }
    if ((info.st_mode & (S_IRUSR | S_IWUSR)) == (S_IRUSR | S_IWUSR)) {
        const passwd *user = ::getpwuid(info.st_uid);
        const QString owner
            = user ? QString::fromLocal8Bit(user->pw_name) : QString::number(info.st_uid);
        const QString who = groupMay && info.st_gid == 0
            ? QStringLiteral("могут только владелец, «%1», и группа администраторов «root»")
            : QStringLiteral("может только владелец, «%1»");
        return denied + QStringLiteral(" Читать и писать его ") + who.arg(owner)
            + QStringLiteral(". Поможет администратор: правило udev, отдающее устройство группе "
                             "dialout (GROUP=\"dialout\", MODE=\"0660\"), или TAG+=\"uaccess\" "
                             "— доступ тому, кто работает за этим компьютером.");
    }
#else
    Q_UNUSED(device);
#endif
    return denied;
}

QString modemManagerNote(const QString &device, const QString &ttyClass)
{
#ifdef Q_OS_LINUX
    // A USB serial device sits on a USB bus in the system's device tree.
    const QString name = QFileInfo(QFileInfo(device).canonicalFilePath()).fileName();
    const QString sysfs
        = QFileInfo(ttyClass + u'/' + name + QStringLiteral("/device")).canonicalFilePath();
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
