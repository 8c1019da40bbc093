#include "portpermission.h"

#include <QFile>

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
    constexpr mode_t readWrite = S_IRGRP | S_IWGRP;
    // The group root is the administrators': no advice to join it.
    if ((info.st_mode & readWrite) == readWrite && info.st_gid != 0) {
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
        return denied
            + QStringLiteral(" Читать и писать его может только владелец, «%1». Поможет "
                             "администратор: правило udev, отдающее устройство группе dialout "
                             "(GROUP=\"dialout\", MODE=\"0660\"), или TAG+=\"uaccess\" — доступ "
                             "тому, кто работает за этим компьютером.")
                  .arg(owner);
    }
#else
    Q_UNUSED(device);
#endif
    return denied;
}
