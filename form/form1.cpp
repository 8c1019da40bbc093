#include "form/main_window.h"

#include "errors/runtimeerror.h"
#include "form/indicator.h"
#include "form/keypreview.h"
#include "form/porttooltip.h"
#include "log/eventlog.h"
#include "scanbox/scanbox.h"
#include "serial/linesettings.h"
#include "serial/serialcontrol.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <limits>

namespace {

constexpr int ClientWidth = 3000; // twips (1/1440 inch); 15 make one pixel at 96 DPI
constexpr int ClientHeight = 5940;

int pixels(int twips)
{
    return (twips + 7) / 15;
}

// A font of the form's design. "MS Sans Serif" is rarely installed outside
// Windows. The system's default sans serif (often DejaVu Sans) is too wide for the
// design's sizes and clips "интерфейс RS-232", so narrower families with Cyrillic
// glyphs come first: PT Sans (Debian: fonts-paratype) fits every caption with room
// to spare; Liberation Sans (fonts-liberation2) or Arial overruns "COM" by a pixel
// but is still far better than a wide default. The style hint covers a system that
// has none of them.
QFont designFont(qreal pointSize)
{
    QFont font;
    font.setFamilies({ QStringLiteral("MS Sans Serif"), QStringLiteral("PT Sans"),
        QStringLiteral("Liberation Sans"), QStringLiteral("Arial") });
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Normal);
    return font;
}

// The font of the scan box and the log, which show received data rather than
// prose. A flood of bytes makes scans of a hundred thousand digits and more:
// shaping such text for kerning and ligatures costs several times as much as
// placing the glyphs one after another, which is all that digits and Latin or
// Cyrillic letters need, and the scan box places its text by the advances of
// single characters. Scripts that need shaping still get it.
QFont dataFont(qreal pointSize)
{
    QFont font = designFont(pointSize);
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

QLineEdit *textBox(const QString &text, QWidget *parent)
{
    auto *box = new QLineEdit(text, parent);
    // QLineEdit cuts its text at 32767 characters by default; the form's text
    // boxes have no limit of their own.
    box->setMaxLength(std::numeric_limits<int>::max());
    return box;
}

QPushButton *commandButton(const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    // No button is the form's default: Enter clicks nothing.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

} // namespace

Form1::Form1(QWidget *parent)
    : QWidget(parent)
    , Check1(new QCheckBox(QStringLiteral("интерфейс RS-232"), this))
    , Shape1(new Indicator(this))
    , Label1(new QLabel(QStringLiteral("COM"), this))
    , txtPort(textBox(QStringLiteral("1"), this))
    , Label2(new QLabel(QStringLiteral("скор."), this))
    , txtBod(textBox(QStringLiteral("9600"), this))
    , Label3(new QLabel(settingsAfterSpeed.toString(), this))
    , CmdOpen(commandButton(QStringLiteral("Открыть порт"), this))
    , CmdClose(commandButton(QStringLiteral("Закрыть порт"), this))
    , txtSkaner(new ScanBox(this))
    , CmdClear(commandButton(QStringLiteral("X"), this))
    , List1(new EventLog(this))
    , MSComm1(new SerialControl(this))
    , TimerCOM(new QTimer(this))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Orvatek"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/orvatek.png")));
    setFixedSize(pixels(ClientWidth), pixels(ClientHeight));
    // The form's default font: the layout was drawn for an 8-point sans serif, and
    // the captions only fit the design's sizes with a font of that size.
    setFont(designFont(8));

    placeControls();
    nameForScreenReaders();
    setDesignState();
    connectHandlers();

    // The form sees every key press before the focused control does.
    m_keyPreview = new KeyPreview(this);
    txtSkaner->setFocus();
}

void Form1::placeControls()
{
    // The form's design: each control, its name and its place in twips, row by row
    // as they read on the screen.
    const struct
    {
        QWidget *control;
        const char *name;
        int left, top, width, height;
    } design[] = {
        // clang-format off
        { Check1, "Check1", 120, 120, 1815, 255 }, { Shape1, "Shape1", 2040, 120, 855, 255 },
        { Label1, "Label1", 120, 480, 375, 255 }, { txtPort, "txtPort", 600, 480, 252, 288 },
        { Label2, "Label2", 960, 480, 495, 255 }, { txtBod, "txtBod", 1560, 480, 615, 288 },
        { Label3, "Label3", 2280, 480, 495, 255 },
        { CmdOpen, "CmdOpen", 120, 840, 1335, 372 }, { CmdClose, "CmdClose", 1560, 840, 1335, 372 },
        { txtSkaner, "txtSkaner", 120, 1320, 2415, 372 }, { CmdClear, "CmdClear", 2520, 1320, 375, 375 },
        { List1, "List1", 120, 1680, 2775, 4140 },
        // clang-format on
    };
    for (const auto &c : design) {
        c.control->setObjectName(QLatin1String(c.name));
        c.control->setGeometry(pixels(c.left), pixels(c.top), pixels(c.width), pixels(c.height));
    }
    // "X" overlaps the end of the scan box and must stay on top of it.
    CmdClear->raise();
}

void Form1::nameForScreenReaders()
{
    // Names for screen readers and other accessibility tools. The port and speed
    // boxes are named by their labels; the indicator says which port is open.
    Label1->setBuddy(txtPort);
    Label2->setBuddy(txtBod);
    txtSkaner->setAccessibleName(QStringLiteral("Скан"));
    List1->setAccessibleName(QStringLiteral("Журнал"));
    Shape1->setAccessibleName(QStringLiteral("Состояние порта"));
    Shape1->describe(QStringLiteral("Порт закрыт"));
    CmdClear->setAccessibleDescription(QStringLiteral("Очистить журнал и поле скана"));
}

void Form1::setDesignState()
{
    Shape1->setFillColor(Red);
    txtPort->setEnabled(false);
    txtBod->setEnabled(false);
    CmdOpen->setEnabled(false);
    CmdClose->setEnabled(false);
    txtSkaner->setFont(dataFont(12));
    List1->setFont(dataFont(9.75));

    // Tab order of the design; labels and the indicator take no focus.
    QWidget *const tabOrder[]
        = { txtPort, txtBod, CmdOpen, CmdClose, txtSkaner, List1, Check1, CmdClear };
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void Form1::connectHandlers()
{
    // Any change of the box, a click or a screen reader's toggle, as a click.
    connect(Check1, &QCheckBox::toggled, this, &Form1::Check1_Click);
    connect(CmdClear, &QPushButton::clicked, this, &Form1::CmdClear_Click);

    MSComm1->setObjectName(QStringLiteral("MSComm1"));
    connect(CmdOpen, &QPushButton::clicked, this, &Form1::CmdOpen_Click);
    connect(CmdClose, &QPushButton::clicked, this, &Form1::CmdClose_Click);
    connect(MSComm1, &SerialControl::DeviceLost, this, &Form1::MSComm1_DeviceLost);
    connect(MSComm1, &SerialControl::OnComm, this, &Form1::MSComm1_OnComm);
    TimerCOM->setObjectName(QStringLiteral("TimerCOM"));
    TimerCOM->setInterval(100);
    connect(TimerCOM, &QTimer::timeout, this, &Form1::TimerCOM_Timer);
    new PortToolTip(txtPort, MSComm1);
    addLogTools();
}

Form1::~Form1() = default;

void Form1::Check1_Click()
{
    untrapped([this] {
        if (Check1->isChecked()) {
            CmdOpen->setEnabled(true);
            CmdClose->setEnabled(true);
            txtPort->setEnabled(true);
            txtBod->setEnabled(true);
        } else {
            CmdOpen->setEnabled(false);
            CmdClose->setEnabled(false);
            txtPort->setEnabled(false);
            txtBod->setEnabled(false);
            txtSkaner->setFocus();
        }
    });
}

void Form1::Form_KeyPress(short &KeyAscii)
{
    if (Check1->isChecked())
        return;
    // A Windows-1251 code: 0 to 255. Called from the key preview's event filter,
    // where nothing may unwind.
    untrapped([&] { List1->AddKeyLine(quint8(KeyAscii), m_keyPreview->origin(), m_keyPreview->moment()); });
}

void Form1::CmdClear_Click()
{
    untrapped([this] {
        List1->Clear();
        txtSkaner->setText(QString());
        txtSkaner->setFocus();
    });
}
