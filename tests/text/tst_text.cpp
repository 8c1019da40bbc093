#include "linedetails.h"
#include "tooltiptext.h"

#include <QtTest>

// How the tool writes text for the operator: tooltips.
class TestText : public QObject
{
    Q_OBJECT

private slots:
    // Lines of about 60 characters, broken only at spaces: a word longer than a line
    // (a device path) stays whole on a line of its own, as does an unbreakable name.
    void wrapped_data()
    {
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("wrapped");
        const QString path
            = "/dev/serial/by-id/usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0";
        QTest::newRow("short lines as given") << "Порт закрыт\n\nCOM1 — /dev/ttyS0"
                                              << "Порт закрыт\n\nCOM1 — /dev/ttyS0";
        QTest::newRow("prose") << QString("слово ").repeated(12).trimmed()
                               << QString("слово ").repeated(10).trimmed() + "\nслово слово";
        QTest::newRow("a path") << "COM3 — " + path + " (адаптер)"
                                << "COM3 —\n" + path + "\n(адаптер)";
        QTest::newRow("a name") << QString(50, u'x') + " " + unbreakable("Web Content")
                                << QString(50, u'x') + "\n" + unbreakable("Web Content");
    }
    void wrapped()
    {
        QFETCH(QString, plain);
        QTEST(wrappedText(plain), "wrapped");
    }

    // What the log's longest explanation becomes: no line past 60 characters, markup
    // shown literally.
    void toolTip()
    {
        const QString gs = LineDetails::characterExplanation(29).join(u'\n');
        for (const QString &line : wrappedText(gs).split(u'\n'))
            QVERIFY2(line.size() <= ToolTipLineLength, qPrintable(line));
        QVERIFY(toolTipText("<b>%1</b>").contains("&lt;b&gt;%1&lt;/b&gt;"));
    }
};

QTEST_MAIN(TestText)
#include "tst_text.moc"
