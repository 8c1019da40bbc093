#pragma once

#include <QStringView>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class EventLog;
class Indicator;
class KeyPreview;
class ScanBox;
class SerialControl;
class TestCodesWindow;

// The program's only window. Its controls are members named as on the form, and
// every handled event has one handler named after its control and event. The
// form keeps no state of its own between events: everything lives in the controls
// and in the key preview, which hands the form each character typed.
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
    // Whether the text begins with a hexadecimal digit ("0" to "9", "A" to "F").
    static bool OnlyHexSymb(QStringView Str);
    void TimerCOM_Timer();
    // "Тестовые коды…" of the log's context menu.
    void showTestCodes();

private:
    // The parts of the form's making: the controls' names and places, their names
    // for screen readers, their state, fonts and tab order at start, the handlers.
    void placeControls();
    void nameForScreenReaders();
    void setDesignState();
    void connectHandlers();
    void addLogTools();

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
    KeyPreview *m_keyPreview;
    TestCodesWindow *m_testCodes = nullptr; // made when first asked for
};
