// One key press typed into the scan box of a shown window, through the form's key
// preview into the log, until the log has repainted; with N lines already there:
//
//   bench: key_latency impl=<List1|QListWidget> present=<N> p50_us=<x> p99_us=<y>
//
// List1 is the program's own window. The QListWidget baseline is a window of the
// same shape whose key preview logs into a QListWidget the same way.
// Without arguments it runs every case, each in a process of its own; --quick
// takes fewer samples. One case: --impl List1|QListWidget --present N --samples S.

#include "benchsupport.h"
#include "eventlog.h"
#include "main_window.h"
#include "runtime.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QStringEncoder>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

// The baseline window: a scan box and a QListWidget log, with the form's key
// preview and its character lines.
class BaselineForm : public QWidget
{
public:
    BaselineForm()
        : scanBox(new QLineEdit(this))
        , log(new QListWidget(this))
    {
        setFixedSize(200, 396);
        scanBox->setGeometry(8, 88, 161, 25);
        log->setGeometry(8, 112, 185, 276);
        bench::placeLikeTheLog(log);
        log->setUniformItemSizes(true);
        qApp->installEventFilter(this);
        scanBox->setFocus();
    }

    QLineEdit *scanBox;
    QListWidget *log;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && watched == focusWidget()) {
            for (char32_t ch : static_cast<QKeyEvent *>(event)->text().toUcs4()) {
                QStringEncoder encoder("windows-1251");
                const QByteArray bytes = encoder.encode(QStringView(QString::fromUcs4(&ch, 1)));
                const int code = bytes.size() == 1 ? static_cast<unsigned char>(bytes.at(0)) : '?';
                log->addItem(QStringLiteral("KeyAscii=") + QString::number(code));
            }
        }
        return QWidget::eventFilter(watched, event);
    }
};

int runOne(const QString &impl, qsizetype present, int samples)
{
    std::unique_ptr<QWidget> window;
    std::function<void()> repaint;
    if (impl == QLatin1String("List1")) {
        auto *form = new Form1;
        window.reset(form);
        auto *list1 = form->findChild<EventLog *>(QStringLiteral("List1"));
        for (qsizetype i = 0; i < present; ++i)
            list1->AddItem(QStringLiteral("KeyAscii=") + QString::number(i & 0xFF));
        repaint = [list1] { list1->Refresh(); };
    } else if (impl == QLatin1String("QListWidget")) {
        auto *form = new BaselineForm;
        window.reset(form);
        for (qsizetype i = 0; i < present; ++i)
            form->log->addItem(QStringLiteral("KeyAscii=") + QString::number(i & 0xFF));
        repaint = [form] { form->log->viewport()->repaint(); };
    } else {
        std::fprintf(stderr, "key_latency: unknown impl %s\n", qPrintable(impl));
        return 2;
    }
    bench::showAndSettle(window.get());
    QWidget *target = window->focusWidget();

    // A digit and a backspace by turns: both are logged and the scan box stays short.
    const std::pair<Qt::Key, QString> keys[]
        = { { Qt::Key_1, QStringLiteral("1") }, { Qt::Key_Backspace, QStringLiteral("\b") } };
    const int warmup = 10;
    QList<double> micros;
    QElapsedTimer timer;
    for (int i = 0; i < warmup + samples; ++i) {
        const auto &[key, text] = keys[i % 2];
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        timer.start();
        QCoreApplication::sendEvent(target, &press);
        QCoreApplication::processEvents();
        repaint();
        const double us = double(timer.nsecsElapsed()) / 1000.0;
        QCoreApplication::sendEvent(target, &release);
        QCoreApplication::processEvents();
        if (i >= warmup)
            micros.append(us);
    }
    std::printf("bench: key_latency impl=%s present=%lld p50_us=%.0f p99_us=%.0f\n",
        qPrintable(impl), static_cast<long long>(present), bench::quantile(micros, 0.5),
        bench::quantile(micros, 0.99));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    bench::offscreenByDefault();
    Runtime app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    const QString impl = bench::option(arguments, QStringLiteral("--impl"));
    if (!impl.isEmpty()) {
        return runOne(impl, bench::option(arguments, QStringLiteral("--present")).toLongLong(),
            std::max(1, bench::option(arguments, QStringLiteral("--samples")).toInt()));
    }

    const bool quick = arguments.contains(QStringLiteral("--quick"));
    // The baseline repaints slowly with many lines present: fewer samples there.
    const QList<QStringList> cases = {
        { "--impl", "List1", "--present", "10000", "--samples", quick ? "300" : "2000" },
        { "--impl", "List1", "--present", "1000000", "--samples", quick ? "300" : "2000" },
        { "--impl", "QListWidget", "--present", "10000", "--samples", quick ? "100" : "500" },
        { "--impl", "QListWidget", "--present", "1000000", "--samples", quick ? "20" : "100" },
    };
    return bench::runCases(cases);
}
