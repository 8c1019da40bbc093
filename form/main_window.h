#pragma once

#include "altcode.h"
#include "keyorigin.h"

#include <QWidget>

class QCheckBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class EventLog;
class Indicator;
class ScanBox;
class SerialControl;
class TestCodesWindow;

// The program's only window. Its controls are members named as on the form, and
// every handled event has one handler named after its control and event. The
// program keeps no state of its own between events: everything lives in the
// controls.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    // Colours of the port indicator, 0x00BBGGRR.
    static constexpr unsigned Red = 255;
    static constexpr unsigned Green = 65280;

    void Check1_Click();
    void Form_KeyPress(short &KeyAscii);
    void CmdClear_Click();
    void CmdOpen_Click();
    void CmdClose_Click();
    // The port went away while open: the indicator shows it closed.
    void MSComm1_DeviceLost();
    void MSComm1_OnComm();
    // Parses one chunk of received text: every character is logged, the hex
    // digits among them go into the scan box, a carriage return arms the commit.
    void ScanCom(const QString &aa);
    static bool OnlyHexSymb(const QString &Str);
    void TimerCOM_Timer();
    // "Тестовые коды…" of the log's context menu.
    void showTestCodes();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addLogTools();
    // True when the key must go no further.
    bool previewKeyPress(const QKeyEvent &event);
    bool previewKeyRelease(const QKeyEvent &event, QWidget *target);

    QCheckBox *Check1;
    Indicator *Shape1;
    QLabel *Label1;
    QLineEdit *txtPort;
    QLabel *Label2;
    QLineEdit *txtBod;
    QLabel *Label3;
    QPushButton *CmdOpen;
    QPushButton *CmdClose;
    ScanBox *txtSkaner;
    QPushButton *CmdClear;
    EventLog *List1;
    SerialControl *MSComm1;
    QTimer *TimerCOM;

    AltCode m_altCode;
    bool m_typingAltCode = false;
    // What made the key line being added: the key, or the Alt code.
    KeyOrigin m_keyOrigin;
    TestCodesWindow *m_testCodes = nullptr; // made when first asked for
};
