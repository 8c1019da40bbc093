// Opens a device from the form as an operator would: "интерфейс RS-232", COM1 (the
// device named on the command line), "Открыть порт". Prints what the form showed,
// one item a line, for tst_portaccess, which runs it as another program holding
// the port or as a user the device refuses:
//
//   message: <the message box's text, or nothing>
//   reason: <its informative text>
//   indicator: <fill colour>
//   open: <1 or 0>
#include "indicator.h"
#include "main_window.h"
#include "serialcontrol.h"

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: open_probe DEVICE   (COM1 opens DEVICE)\n");
        return 2;
    }
    const QString device = arguments.at(1);
    Form1 form;
    auto *port = form.findChild<SerialControl *>(QStringLiteral("MSComm1"));
    port->setPortMapper([device] { return QList<MappedPort> { { 1, device, {} } }; });
    form.show();

    QString message, reason;
    QTimer operatorHand;
    QObject::connect(&operatorHand, &QTimer::timeout, &form, [&] {
        if (auto *shown = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            message = shown->text();
            reason = shown->informativeText();
            shown->accept();
        }
    });
    operatorHand.start(10);
    form.findChild<QCheckBox *>(QStringLiteral("Check1"))->click();
    form.findChild<QPushButton *>(QStringLiteral("CmdOpen"))->click();

    const auto line = [](const char *key, const QString &value) {
        std::printf("%s: %s\n", key, value.toUtf8().constData());
    };
    line("message", message);
    line("reason", reason);
    line("indicator",
        QString::number(form.findChild<Indicator *>(QStringLiteral("Shape1"))->FillColor()));
    line("open", QString::number(int(port->PortOpen())));
    return 0;
}
