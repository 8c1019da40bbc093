#include "benchsupport.h"

#include "form/main_window.h"
#include "log/eventlog.h"
#include "serial/serialcontrol.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cmath>

#include <sys/resource.h>
#include <unistd.h>

namespace bench {

QString option(const QStringList &arguments, const QString &name, const QString &fallback)
{
    const qsizetype at = arguments.indexOf(name);
    return at >= 0 && at + 1 < arguments.size() ? arguments.at(at + 1) : fallback;
}

qint64 number(const QStringList &arguments, const QString &name)
{
    return option(arguments, name).toLongLong();
}

std::int64_t residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm")); // Linux only
    const QList<QByteArray> fields
        = statm.open(QIODevice::ReadOnly) ? statm.readAll().split(' ') : QList<QByteArray>();
    return fields.size() < 2 ? -1 : fields.at(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

std::int64_t peakResidentBytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return std::int64_t(usage.ru_maxrss) * 1024;
}

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double quantile(QList<double> samples, double q)
{
    std::sort(samples.begin(), samples.end());
    const auto rank = qsizetype(std::ceil(q * double(samples.size())));
    return samples.isEmpty() ? 0
                             : samples.at(std::clamp<qsizetype>(rank - 1, 0, samples.size() - 1));
}

QList<double> timesMicros(int runs, const std::function<void()> &f, qint64 budgetMs)
{
    f();
    QList<double> samples;
    QElapsedTimer budget, timer;
    budget.start();
    while (samples.size() < runs
        && (samples.size() < 10 || budgetMs < 0 || budget.elapsed() < budgetMs)) {
        timer.start();
        f();
        samples.append(double(timer.nsecsElapsed()) / 1000.0);
    }
    return samples;
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

void addLines(EventLog *log, qint64 lines, bool timed)
{
    for (qint64 i = 0; i < lines; ++i) {
        if (i % 1000 == 999) {
            log->AddScanLine(QString::number(0x10000000000ull + quint64(i) * 7919, 16).toUpper());
            QCoreApplication::processEvents();
        } else {
            timed ? log->AddCharacterLine(quint8(i), i * 37) : log->AddCharacterLine(quint8(i));
        }
    }
    QCoreApplication::processEvents();
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

} // namespace bench
