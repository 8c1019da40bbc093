// A bare Qt Widgets window of the form's controls, at the form's places, with no
// code of the tool's: what start-up costs Qt itself. The start-up benchmark runs
// it beside startup_form; its first key goes into a QListWidget.
//   main ... application ... window ... shown ... paint ... key ... key_shown ...

#include "startupphases.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

QFont designFont(qreal pointSize)
{
    QFont font;
    font.setFamilies({ QStringLiteral("MS Sans Serif"), QStringLiteral("PT Sans"),
        QStringLiteral("Liberation Sans"), QStringLiteral("Arial") });
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    return font;
}

struct BareWindow : QWidget
{
    QCheckBox check { QStringLiteral("интерфейс RS-232"), this };
    QFrame shape { this };
    QLabel label1 { QStringLiteral("COM"), this };
    QLineEdit port { QStringLiteral("1"), this };
    QLabel label2 { QStringLiteral("скор."), this };
    QLineEdit speed { QStringLiteral("9600"), this };
    QLabel label3 { QStringLiteral(",N,8,1"), this };
    QPushButton open { QStringLiteral("Открыть порт"), this };
    QPushButton close { QStringLiteral("Закрыть порт"), this };
    QLineEdit scan { this };
    QPushButton clear { QStringLiteral("X"), this };
    QListWidget log { this };

    BareWindow()
    {
        setFixedSize(200, 396);
        const struct
        {
            QWidget *control;
            int left, top, width, height;
        } design[] = { { &check, 8, 8, 121, 17 }, { &shape, 136, 8, 57, 17 },
            { &label1, 8, 32, 25, 17 }, { &port, 40, 32, 17, 19 }, { &label2, 64, 32, 33, 17 },
            { &speed, 104, 32, 41, 19 }, { &label3, 152, 32, 33, 17 }, { &open, 8, 56, 89, 25 },
            { &close, 104, 56, 89, 25 }, { &scan, 8, 88, 161, 25 }, { &clear, 168, 88, 25, 25 },
            { &log, 8, 112, 185, 276 } };
        for (const auto &c : design)
            c.control->setGeometry(c.left, c.top, c.width, c.height);
        shape.setAutoFillBackground(true);
        QPalette red = shape.palette();
        red.setColor(QPalette::Window, Qt::red);
        shape.setPalette(red);
        // The form's fonts.
        setFont(designFont(8));
        scan.setFont(designFont(12));
        log.setFont(designFont(9.75));
        port.setEnabled(false);
        speed.setEnabled(false);
        open.setEnabled(false);
        close.setEnabled(false);
        scan.setFocus();
    }
};

} // namespace

int main(int argc, char *argv[])
{
    startup::Phases phases(argc, argv);
    phases.mark("main");
    QApplication app(argc, argv);
    phases.mark("application");
    BareWindow window;
    phases.mark("window");
    phases.untilFirstPaint(&window, [&] {
        const qint64 t0 = startup::nowNs();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, 38, 0x61, 0, QStringLiteral("a"));
        QApplication::sendEvent(&window.scan, &press);
        window.log.addItem(QStringLiteral("KeyAscii=97"));
        phases.lasted("key", startup::nowNs() - t0);
        window.log.viewport()->repaint();
        phases.lasted("key_shown", startup::nowNs() - t0);
    });
    window.show();
    phases.mark("shown");
    return app.exec();
}
