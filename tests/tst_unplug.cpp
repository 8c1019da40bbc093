#include "eventlog.h"
#include "indicator.h"
#include "main_window.h"
#include "pty.h"
#include "serialcontrol.h"

#include <QCheckBox>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include <ctime>
#include <memory>

// An adapter pulled out and put back a hundred times while the port is open:
// every byte the program took from it reaches the log, the indicator turns red
// each time, the same port number opens the new device, and nothing is left
// behind: no open descriptors, no loop spinning on the dead port.
class TestUnplug : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { form.reset(); }
    void unplugAndReplug();

private:
    template<typename T> T *child(const char *name) const
    {
        return form->findChild<T *>(QLatin1String(name));
    }
    QStringList characterLinesFrom(qsizetype row) const;
    // Plugs a new device in under COM1, opens it with "Открыть порт", sends bytes
    // and pulls the device out again.
    void plugUseUnplug(int cycle);

    std::unique_ptr<Form1> form;
    PseudoTerminal pty;
    QSignalSpy *lost = nullptr; // DeviceLost
    QStringList messages; // failed opens
};

namespace {

struct Resources
{
    qsizetype descriptors = 0;
    qsizetype threads = 0;
    qsizetype terminals = 0; // descriptors on a pseudo-terminal
};

Resources resources()
{
    Resources now;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QFileInfo &fd : fds.entryInfoList(QDir::Files | QDir::System)) {
        ++now.descriptors;
        if (fd.symLinkTarget().startsWith(QLatin1String("/dev/pts/"))
            || fd.symLinkTarget() == QLatin1String("/dev/ptmx"))
            ++now.terminals;
    }
    now.threads = QDir(QStringLiteral("/proc/self/task"))
                      .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                      .size();
    return now;
}

} // namespace

void TestUnplug::initTestCase()
{
    form = std::make_unique<Form1>();
    // COM1 is whatever pseudo-terminal is plugged in now.
    child<SerialControl>("MSComm1")->setPortMapper([this] {
        return QList<MappedPort> { { 1, pty.slavePath(), "pty" } };
    });
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    child<QCheckBox>("Check1")->click();
    pty.unplug(); // each cycle plugs in a pair of its own
}

QStringList TestUnplug::characterLinesFrom(qsizetype row) const
{
    QStringList lines;
    const EventLog *log = child<EventLog>("List1");
    for (; row < log->count(); ++row) {
        // Scan lines (hex digits only) come and go with the commit timer.
        if (const QString line = log->item(row); line.startsWith("KeyAscii="))
            lines.append(line);
    }
    return lines;
}

void TestUnplug::plugUseUnplug(int cycle)
{
    SerialControl *port = child<SerialControl>("MSComm1");
    const EventLog *log = child<EventLog>("List1");
    const Indicator *shape = child<Indicator>("Shape1");
    const qsizetype lostBefore = lost->size();

    QVERIFY(pty.open());
    QTest::mouseClick(child<QPushButton>("CmdOpen"), Qt::LeftButton);
    QVERIFY2(messages.isEmpty(), qPrintable(messages.join('\n')));
    QVERIFY(port->PortOpen());
    QCOMPARE(shape->FillColor(), Form1::Green);

    // Every byte value, carriage return included, from a new place each time.
    QByteArray bytes;
    QStringList expected;
    for (int i = 0; i < 256 + cycle; ++i) {
        const auto byte = quint8(i + cycle * 7);
        bytes += char(byte);
        if (byte != '\r')
            expected.append("KeyAscii=" + QString::number(byte));
    }
    const qsizetype from = log->count();
    QVERIFY(pty.write(bytes));
    // A pseudo-terminal, like an adapter, throws away what nobody has read yet
    // when it hangs up: the program must have taken the bytes before it goes.
    QTRY_COMPARE(characterLinesFrom(from).size(), expected.size());
    pty.unplug();
    QTRY_COMPARE(shape->FillColor(), Form1::Red);
    QVERIFY(!port->PortOpen());
    QCOMPARE(lost->size(), lostBefore + 1);
    QCOMPARE(characterLinesFrom(from), expected);
}

void TestUnplug::unplugAndReplug()
{
    constexpr int Cycles = 100;
    QSignalSpy lostSpy(child<SerialControl>("MSComm1"), &SerialControl::DeviceLost);
    lost = &lostSpy;
    // An open that fails would wait on its message: answer it and fail the test.
    QTimer operatorHand;
    connect(&operatorHand, &QTimer::timeout, this, [this] {
        if (auto *shown = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            messages.append(shown->text() + " " + shown->informativeText());
            shown->reject();
        }
    });
    operatorHand.start(20);

    // Qt starts threads of its own as it needs them (painting the log's scroll
    // bar, for one), each with a wake-up descriptor: descriptors are counted net
    // of threads, and none may be left on a pseudo-terminal once the last one is
    // unplugged (the helper's own pair is closed by then).
    const Resources before = resources();
    QElapsedTimer wall;
    wall.start();
    for (int cycle = 0; cycle < Cycles; ++cycle) {
        plugUseUnplug(cycle);
        if (QTest::currentTestFailed())
            return;
    }
    const double wallSeconds = double(wall.elapsed()) / 1000;

    // Qt keeps failing reads on a dead port as fast as the event loop turns, for
    // as long as it stays open.
    const std::clock_t idleFrom = std::clock();
    QTest::qWait(1000);
    const double idleCpuSeconds = double(std::clock() - idleFrom) / CLOCKS_PER_SEC;
    const Resources after = resources();
    qInfo("unplug: cycles=%d descriptors_before=%lld descriptors_after=%lld threads_before=%lld "
          "threads_after=%lld terminal_descriptors_after=%lld idle_cpu_s=%.3f wall_s=%.1f",
        Cycles, static_cast<long long>(before.descriptors),
        static_cast<long long>(after.descriptors), static_cast<long long>(before.threads),
        static_cast<long long>(after.threads), static_cast<long long>(after.terminals),
        idleCpuSeconds, wallSeconds);
    QVERIFY2(idleCpuSeconds < 0.5, "the program spins on the unplugged port");
    QCOMPARE(after.terminals, 0);
    QCOMPARE(after.descriptors - after.threads, before.descriptors - before.threads);
    QCOMPARE(lostSpy.size(), Cycles);
}

QTEST_MAIN(TestUnplug)
#include "tst_unplug.moc"
