// A key press into the scan box of a shown window, through the key preview into
// the log until it has repainted, N lines present. The baseline: a box logging
// its keys into a QListWidget in its fastest setting.
//   bench: key_latency impl=<List1|QListWidget> present=<N> p50_us=<x> p99_us=<y>

#include "benchsupport.h"
#include "form/main_window.h"
#include "log/eventlog.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>

#include <cstdio>
#include <memory>

namespace {

struct BaselineBox : QLineEdit
{
    void keyPressEvent(QKeyEvent *event) override
    {
        for (QChar ch : event->text()) // ASCII only here
            log.addItem(QStringLiteral("KeyAscii=") + QString::number(ch.unicode()));
        log.viewport()->repaint();
        QLineEdit::keyPressEvent(event);
    }
    QListWidget log;
};

} // namespace

int keyLatency(const QStringList &arguments)
{
    const QString impl = bench::option(arguments, QStringLiteral("--impl"));
    const qint64 present = bench::number(arguments, QStringLiteral("--present"));
    std::unique_ptr<QWidget> window;
    std::unique_ptr<BaselineBox> baseline;
    EventLog *list1 = nullptr;
    if (impl == QLatin1String("List1")) {
        window = std::make_unique<Form1>();
        list1 = window->findChild<EventLog *>(QStringLiteral("List1"));
    } else {
        baseline = std::make_unique<BaselineBox>();
        bench::placeLikeTheLog(&baseline->log);
        baseline->log.setUniformItemSizes(true);
        bench::showAndSettle(&baseline->log);
    }
    for (qint64 i = 0; i < present; ++i) {
        const QString line = QStringLiteral("KeyAscii=") + QString::number(i & 0xFF);
        list1 ? list1->AddItem(line) : baseline->log.addItem(line);
    }
    QWidget *target = list1 ? window.get() : baseline.get();
    bench::showAndSettle(target);
    target = target->focusWidget() ? target->focusWidget() : target;

    // A digit and a backspace by turns: both are logged and the scan box stays short.
    QList<double> micros;
    QElapsedTimer timer;
    for (qint64 i = -10; i < bench::number(arguments, QStringLiteral("--samples")); ++i) {
        const Qt::Key key = i % 2 ? Qt::Key_Backspace : Qt::Key_1;
        const QString text = i % 2 ? QStringLiteral("\b") : QStringLiteral("1");
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        timer.start();
        QCoreApplication::sendEvent(target, &press);
        QCoreApplication::processEvents();
        if (list1)
            list1->Refresh();
        const double us = double(timer.nsecsElapsed()) / 1000.0;
        QCoreApplication::sendEvent(target, &release);
        QCoreApplication::processEvents();
        if (i >= 0) // after 10 unmeasured
            micros.append(us);
    }
    std::printf("bench: key_latency impl=%s present=%lld p50_us=%.0f p99_us=%.0f\n",
        qPrintable(impl), present, bench::quantile(micros, 0.5), bench::quantile(micros, 0.99));
    return 0;
}
