#include "benchsupport.h"

#include "main_window.h"
#include "serialcontrol.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFont>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstdio>

#if defined(Q_OS_LINUX)
#include <unistd.h>
#endif

namespace bench {

std::int64_t residentBytes()
{
#if defined(Q_OS_LINUX)
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    if (fields.size() < 2)
        return -1;
    return fields.at(1).toLongLong() * sysconf(_SC_PAGESIZE);
#else
    return -1;
#endif
}

int runCases(const QList<QStringList> &cases)
{
    int status = 0;
    for (const QStringList &arguments : cases) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), arguments);
        if (!child.waitForStarted() || !child.waitForFinished(-1)
            || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
            std::fprintf(stderr, "%s %s: failed\n", qPrintable(QCoreApplication::applicationName()),
                qPrintable(arguments.join(u' ')));
            status = 1;
        }
        std::fflush(stdout);
    }
    return status;
}

double quantile(QList<double> samples, double q)
{
    if (samples.isEmpty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const auto rank = qsizetype(std::ceil(q * double(samples.size())));
    return samples.at(std::clamp<qsizetype>(rank - 1, 0, samples.size() - 1));
}

void placeLikeTheLog(QWidget *log)
{
    // List1 on the form: 2775 x 4140 twips, "MS Sans Serif" 9.75 pt.
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(9.75);
    log->setFont(font);
    log->resize((2775 + 7) / 15, (4140 + 7) / 15);
}

void showAndSettle(QWidget *window)
{
    window->show();
    QElapsedTimer shown;
    shown.start();
    while (shown.elapsed() < 100)
        QCoreApplication::processEvents();
}

bool openScannerPort(Form1 *form, const QString &path)
{
    auto *port = form->findChild<SerialControl *>(QStringLiteral("MSComm1"));
    port->setPortMapper([path] { return QList<MappedPort> { { 1, path, {} } }; });
    showAndSettle(form);
    form->findChild<QCheckBox *>(QStringLiteral("Check1"))->click();
    form->findChild<QLineEdit *>(QStringLiteral("txtPort"))->setText(QStringLiteral("1"));
    form->findChild<QLineEdit *>(QStringLiteral("txtBod"))->setText(QStringLiteral("115200"));
    QTimer::singleShot(5000, form, [] {
        if (QWidget *box = QApplication::activeModalWidget())
            box->close();
    });
    form->findChild<QPushButton *>(QStringLiteral("CmdOpen"))->click();
    return port->PortOpen();
}

QString option(const QStringList &arguments, const QString &name, const QString &fallback)
{
    const qsizetype at = arguments.indexOf(name);
    return at >= 0 && at + 1 < arguments.size() ? arguments.at(at + 1) : fallback;
}

void offscreenByDefault()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

} // namespace bench
