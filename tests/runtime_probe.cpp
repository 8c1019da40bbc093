// Raises a run-time error inside a real event handler, with nothing to trap it,
// and closes the report as an operator would. tst_runtime runs this program and
// reads what it printed and how it ended.
#include "main_window.h"
#include "runtime.h"
#include "runtimeerror.h"

#include <QMessageBox>
#include <QTimer>

#include <cstdio>

namespace {

class FailingHandler : public QObject
{
public:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::User)
            throw RuntimeError(RuntimeError::Overflow, QStringLiteral("Переполнение"));
        return QObject::event(event);
    }
};

} // namespace

int main(int argc, char *argv[])
{
    Runtime app(argc, argv);
    Form1 form;
    form.show();

    QTimer operatorHand;
    QObject::connect(&operatorHand, &QTimer::timeout, &app, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            std::printf("report: %s | %s | icon %d\n", qPrintable(box->windowTitle()),
                qPrintable(box->text()), int(box->icon()));
            std::fflush(stdout);
            box->accept();
        }
    });
    operatorHand.start(20);

    FailingHandler handler;
    QCoreApplication::postEvent(&handler, new QEvent(QEvent::User));
    const int status = app.exec();
    std::printf("exit %d\n", status);
    return status;
}
