#include "details/linedetails.h"
#include "text/codepages.h"
#include "text/notation.h"
#include "text/tooltiptext.h"

#include <QtTest>
#include <QtWidgets>

#include <iconv.h>

// How the tool writes text for the operator: tooltips; the code pages it reads.
Q_DECLARE_METATYPE(CodePages::Page)

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

    // Durations as a person reads them: from a second on in seconds to a tenth,
    // below in milliseconds to the precision of the clock's stamps.
    void duration_data()
    {
        QTest::addColumn<qint64>("micros");
        QTest::addColumn<bool>("keys"); // whole milliseconds
        QTest::addColumn<QString>("text");
        QTest::newRow("same read") << qint64(0) << false << "0,000 мс";
        QTest::newRow("serial gap") << qint64(250) << false << "0,250 мс";
        QTest::newRow("key gap") << qint64(10'000) << true << "10 мс";
        QTest::newRow("below a second") << qint64(999'999) << false << "999,999 мс";
        QTest::newRow("a second") << qint64(1'000'000) << false << "1,0 с";
        QTest::newRow("keys, seconds") << qint64(17'679'000) << true << "17,7 с";
        QTest::newRow("serial, seconds") << qint64(13'187'166) << false << "13,2 с";
        QTest::newRow("back in time") << qint64(-2'000) << true << "-2 мс";
    }
    void duration()
    {
        QFETCH(qint64, micros);
        QFETCH(bool, keys);
        QTEST(Notation::duration(micros, keys ? Notation::Stamps::Millis : Notation::Stamps::Micros),
            "text");
    }

    // The code pages' tables against glibc's own converters, all 256 codes each way.
    void codePages_data()
    {
        QTest::addColumn<CodePages::Page>("page");
        QTest::addColumn<QByteArray>("iconvName");
        QTest::newRow("Windows-1251") << CodePages::Page::Windows1251 << QByteArray("CP1251");
        QTest::newRow("866") << CodePages::Page::Cp866 << QByteArray("CP866");
    }
    void codePages()
    {
        QFETCH(CodePages::Page, page);
        QFETCH(QByteArray, iconvName);
        const iconv_t converter = iconv_open("UTF-16LE", iconvName.constData());
        QVERIFY(converter != iconv_t(-1));
        for (int code = 0; code < 256; ++code) {
            char in = char(code);
            char16_t out = 0;
            char *inPointer = &in, *outPointer = reinterpret_cast<char *>(&out);
            std::size_t inLeft = 1, outLeft = sizeof out;
            const bool assigned = iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft) != std::size_t(-1);
            QCOMPARE(CodePages::toUnicode(page, quint8(code)), assigned ? QChar(out) : QChar());
            if (assigned)
                QCOMPARE(CodePages::fromUnicode(page, QChar(out)), code);
        }
        iconv_close(converter);
        QCOMPARE(CodePages::fromUnicode(page, QChar(0x3042)), -1);
    }

    // What the operator sees: the tooltip label Qt shows lays the text out in
    // exactly the lines wrappedText() made, a device path and markup unbroken.
    void toolTip()
    {
        const QString plain = LineDetails::characterExplanation(29).join(u'\n')
            + "\nCOM3 — /dev/serial/by-id/usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0"
              "\n<b>%1</b> " + QString("слово ").repeated(30);
        const QStringList lines = wrappedText(plain).split(u'\n');
        for (const QString &line : lines)
            QVERIFY2(line.size() <= ToolTipLineLength || !line.contains(u' '), qPrintable(line));
        QWidget widget;
        widget.show();
        QToolTip::showText(QPoint(10, 10), toolTipText(plain), &widget);
        auto *label = qApp->findChild<QLabel *>("qtooltip_label");
        if (!label) {
            for (QWidget *top : QApplication::topLevelWidgets())
                if (top->objectName() == "qtooltip_label")
                    label = qobject_cast<QLabel *>(top);
        }
        QVERIFY(label);
        QTextDocument shown;
        shown.setDefaultFont(label->font());
        shown.setHtml(label->text());
        shown.setDocumentMargin(0);
        shown.setTextWidth(label->contentsRect().width() - 2 * label->margin());
        QCOMPARE(shown.toPlainText(), wrappedText(plain));
        (void)shown.size(); // lays it out
        int shownLines = 0;
        for (QTextBlock block = shown.begin(); block.isValid(); block = block.next())
            shownLines += block.layout()->lineCount();
        QCOMPARE(shownLines, lines.size());
    }
};

QTEST_MAIN(TestText)
#include "tst_text.moc"
