#include "portform.h"
#include "runtime.h"
#include "runtimeerror.h"

// An error that no handler traps is reported with its number and description and ends
// the program: this program runs itself again ("--raise") to raise one.
class TestRuntime : public QObject
{
    Q_OBJECT

private slots:
    void untrappedErrorEndsProgram()
    {
        QProcess probe;
        probe.start(QCoreApplication::applicationFilePath(), { "--raise" });
        QVERIFY(probe.waitForFinished(30000));
        QCOMPARE(probe.exitCode(), 70); // no signal has that number
        QCOMPARE(probe.readAllStandardOutput(), "Orvatek | Ошибка выполнения 6:\n\nПереполнение | icon 3\n");
        QVERIFY(QString::fromUtf8(probe.readAllStandardError()).contains("run-time error 6: Переполнение"));
    }
};

int main(int argc, char *argv[])
{
    if (argc != 2 || qstrcmp(argv[1], "--raise") != 0) {
        QCoreApplication app(argc, argv);
        TestRuntime test;
        return QTest::qExec(&test, argc, argv);
    }
    Runtime app(argc, argv);
    answerBoxes(&app, [](QMessageBox *box) {
        QTextStream(stdout) << box->windowTitle() << " | " << box->text() << " | icon " << int(box->icon()) << '\n';
    });
    // A handler with no trap of its own, reached through the application's event delivery.
    QTimer::singleShot(0, &app, [] { throw RuntimeError(RuntimeError::Overflow, "Переполнение"); });
    return app.exec();
}

#include "tst_runtime.moc"
