#include "form/main_window.h"

#include "errors/runtimeerror.h"
#include "form/indicator.h"
#include "log/eventlog.h"
#include "scanbox/scanbox.h"
#include "serial/linesettings.h"
#include "serial/portnumber.h"
#include "serial/serialcontrol.h"
#include "text/literaltext.h"
#include "text/quoted.h"

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

// The text with no line break inside a device path ("/dev/ttyS0", "(/dev/ttyS0)."):
// the label would break one after any "/" or "-" and leave "(/" at the end of a
// line. A word joiner after each keeps it whole.
QString joinedPaths(const QString &text)
{
    QStringList words = text.split(u' ');
    for (QString &word : words) {
        if (!word.startsWith(u'/') && !word.startsWith(QLatin1String("(/")))
            continue;
        for (qsizetype i = word.size() - 1; i > 0; --i) {
            if (word.at(i - 1) == u'/' || word.at(i - 1) == u'-')
                word.insert(i, QChar(0x2060));
        }
    }
    return words.join(u' ');
}

// What the indicator says: the port that is open and its device, or that none is.
void describePort(Indicator *shape, const SerialControl *port)
{
    if (!port->PortOpen()) {
        shape->describe(QStringLiteral("Порт закрыт"));
        return;
    }
    const MappedPort opened = port->openedPort();
    QString text = QStringLiteral("Открыт COM") + QString::number(opened.number)
        + QStringLiteral(" — ") + literalText(opened.device);
    if (!opened.description.isEmpty())
        text += QStringLiteral(", ") + literalText(opened.description);
    shape->describe(text);
}

// The form's one message: a port that does not open. (The runtime has its own, the
// report of an error nothing trapped.) What the operator typed ends up in it, so
// both of its texts are plain text.
void showOpenFailure(QWidget *parent, const QString &port, const QString &reason)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("COM"),
        QStringLiteral("не могу открыть порт COM") + port + u'!', QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.setInformativeText(joinedPaths(reason));
    // QMessageBox leaves its informative text to guess the format on its own.
    if (auto *informative = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel")))
        informative->setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

void Form1::CmdOpen_Click()
{
    untrapped([this] {
        quint8 port = 0;
        try {
            port = portNumberFromText(txtPort->text());
        } catch (const RuntimeError &error) {
            // A port text that is no port number: say so, and leave the port, the
            // indicator and everything else as they are.
            showOpenFailure(this, elided(txtPort->text()), error.description());
            return;
        }
        QString settings = txtBod->text();
        settings += settingsAfterSpeed;
        MSComm1->setCommPort(port);
        MSComm1->setSettings(settings);

        QString reason = QStringLiteral("Порт не открылся.");
        try {
            MSComm1->setPortOpen(true);
        } catch (const RuntimeError &error) {
            reason = error.description();
        }
        describePort(Shape1, MSComm1);
        if (trueOnFailure([this] { return MSComm1->PortOpen(); })) {
            resumeNext([this] { Shape1->setFillColor(Green); });
            resumeNext([this] { txtSkaner->setFocus(); });
            return;
        }
        resumeNext([this] { Shape1->setFillColor(Red); });
        resumeNext([&] { showOpenFailure(this, QString::number(port), reason); });
    });
}

void Form1::CmdClose_Click()
{
    untrapped([this] {
        resumeNext([this] { MSComm1->setPortOpen(false); });
        if (trueOnFailure([this] { return !MSComm1->PortOpen(); }))
            resumeNext([this] { Shape1->setFillColor(Red); });
        describePort(Shape1, MSComm1);
        resumeNext([this] { txtSkaner->setText(QString()); });
        resumeNext([this] { List1->Clear(); });
    });
}

void Form1::MSComm1_DeviceLost()
{
    untrapped([this] {
        if (MSComm1->PortOpen())
            return;
        Shape1->setFillColor(Red);
        const MappedPort lost = MSComm1->openedPort();
        Shape1->describe(QStringLiteral("Устройство COM") + QString::number(lost.number)
            + QStringLiteral(" (") + literalText(lost.device) + QStringLiteral(") отключено"));
    });
}
