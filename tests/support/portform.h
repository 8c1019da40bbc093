#pragma once

#include "form/indicator.h"
#include "form/main_window.h"
#include "log/eventlog.h"
#include "scanbox/scanbox.h"
#include "serial/serialcontrol.h"
#include "support/ptypair.h"

#include <QtTest>
#include <QtWidgets>

// The form as the operator meets it, shown and active, with COM1 a fresh pseudo-terminal
// (the device outlives the form) and, unless asked otherwise, "интерфейс RS-232" ticked.
struct PortForm
{
    PseudoTerminal pty;
    Form1 form;

    explicit PortForm(bool serial = true)
    {
        port()->setPortMapper([this] { return QList<MappedPort> { { 1, pty.slavePath(), {} } }; });
        form.show();
        QApplication::setActiveWindow(&form);
        (void)QTest::qWaitForWindowActive(&form); // a test that needs the focus fails on its own
        if (serial)
            child<QCheckBox>("Check1")->click();
    }
    template<typename T = QWidget> T *child(const char *name) { return form.findChild<T *>(name); }
    SerialControl *port() { return child<SerialControl>("MSComm1"); }
    EventLog *log() { return child<EventLog>("List1"); }
    ScanBox *box() { return child<ScanBox>("txtSkaner"); }
    unsigned indicator() { return child<Indicator>("Shape1")->FillColor(); }
    void click(const char *button) { QTest::mouseClick(child(button), Qt::LeftButton); }
};

// The character lines that received bytes give, in order; a carriage return gives none.
inline QStringList characterLines(const QByteArray &bytes)
{
    QStringList lines;
    for (const uchar byte : bytes)
        if (byte != '\r')
            lines.append("KeyAscii=" + QString::number(byte));
    return lines;
}

// The operator's hand: every message box that comes up is shown to look(), then answered.
inline void answerBoxes(QObject *owner, std::function<void(QMessageBox *)> look = [](QMessageBox *) {})
{
    auto *hand = new QTimer(owner);
    QObject::connect(hand, &QTimer::timeout, owner, [look] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            look(box);
            box->accept();
        }
    });
    hand->start(10);
}
