#include <QProcess>
#include <QtTest>

// An error that no handler traps is reported with its number and description,
// and the program ends with a non-zero status.
class TestRuntime : public QObject
{
    Q_OBJECT

private slots:
    void untrappedErrorEndsProgram()
    {
        QProcess probe;
        probe.start(QStringLiteral(RUNTIME_PROBE), {});
        QVERIFY(probe.waitForFinished(30000));
        const QString out = QString::fromUtf8(probe.readAllStandardOutput());
        const QString err = QString::fromUtf8(probe.readAllStandardError());

        QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
        QCOMPARE(probe.exitCode(), 70);
        QVERIFY2(out.contains(QStringLiteral(
                     "report: Orvatek | Ошибка выполнения 6:\n\nПереполнение | icon 3")),
            qPrintable(out));
        QVERIFY2(err.contains(QStringLiteral("run-time error 6: Переполнение")), qPrintable(err));
    }
};

QTEST_GUILESS_MAIN(TestRuntime)
#include "tst_runtime.moc"
