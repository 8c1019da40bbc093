#include "main_window.h"

#include "eventlog.h"
#include "indicator.h"
#include "portnumber.h"
#include "quoted.h"
#include "runtimeerror.h"
#include "scanbox.h"
#include "serialcontrol.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

namespace {

// Resume-next: a step that fails is abandoned and the handler goes on with the
// next one.
template<typename Step> void resumeNext(Step step)
{
    try {
        step();
    } catch (const RuntimeError &) {
    }
}

// Resume-next for a test: a condition that fails to evaluate takes the true
// branch.
template<typename Condition> bool trueOnFailure(Condition condition)
{
    try {
        return condition();
    } catch (const RuntimeError &) {
        return true;
    }
}

// The one message of the program. What the operator typed ends up in it, so both
// of its texts are plain text.
void showOpenFailure(QWidget *parent, const QString &port, const QString &reason)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("COM"),
        QStringLiteral("не могу открыть порт COM") + port + u'!', QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.setInformativeText(reason);
    // QMessageBox leaves its informative text to guess the format on its own.
    if (auto *informative = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel")))
        informative->setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

void Form1::CmdOpen_Click()
{
    quint8 port = 0;
    try {
        port = portNumberFromText(txtPort->text());
    } catch (const RuntimeError &error) {
        // A port text that is no port number: say so, and leave the port, the
        // indicator and everything else as they are.
        showOpenFailure(this, elided(txtPort->text()), error.description());
        return;
    }
    const QString settings = txtBod->text() + QStringLiteral(",N,8,1");
    MSComm1->setCommPort(port);
    MSComm1->setSettings(settings);

    QString reason = QStringLiteral("Порт не открылся.");
    try {
        MSComm1->setPortOpen(true);
    } catch (const RuntimeError &error) {
        reason = error.description();
    }
    if (trueOnFailure([this] { return MSComm1->PortOpen(); })) {
        resumeNext([this] { Shape1->setFillColor(Green); });
        resumeNext([this] { txtSkaner->setFocus(); });
        return;
    }
    resumeNext([this] { Shape1->setFillColor(Red); });
    resumeNext([&] { showOpenFailure(this, QString::number(port), reason); });
}

void Form1::CmdClose_Click()
{
    resumeNext([this] { MSComm1->setPortOpen(false); });
    if (trueOnFailure([this] { return !MSComm1->PortOpen(); }))
        resumeNext([this] { Shape1->setFillColor(Red); });
    resumeNext([this] { txtSkaner->setText(QString()); });
    resumeNext([this] { List1->Clear(); });
}

void Form1::MSComm1_DeviceLost()
{
    if (!MSComm1->PortOpen())
        Shape1->setFillColor(Red);
}
