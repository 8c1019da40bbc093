// The test codes: every symbol the window draws is decoded by an independent
// reader (zxing-cpp) from the window's own pixels, so the window shows what it
// says it shows; and the verdict on a read reaches the screen and screen readers.

#include "symbolview.h"
#include "testcodeset.h"
#include "testcodeswindow.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QtTest>

#include <ZXing/ReadBarcode.h>

Q_DECLARE_METATYPE(Symbology)

class TestCodesTest : public QObject
{
    Q_OBJECT

private slots:
    void symbolDecodes_data();
    void symbolDecodes();
    void verdict_data();
    void verdict();
};

namespace {

ZXing::BarcodeFormat formatOf(Symbology symbology)
{
    switch (symbology) {
    case Symbology::Ean13:
        return ZXing::BarcodeFormat::EAN13;
    case Symbology::Code128:
    case Symbology::Gs1_128:
        return ZXing::BarcodeFormat::Code128;
    case Symbology::Gs1DataMatrix:
    case Symbology::DataMatrix:
        return ZXing::BarcodeFormat::DataMatrix;
    case Symbology::QrCode:
        return ZXing::BarcodeFormat::QRCode;
    case Symbology::Code39:
        return ZXing::BarcodeFormat::Code39;
    case Symbology::Itf14:
        return ZXing::BarcodeFormat::ITF;
    case Symbology::Pdf417:
        return ZXing::BarcodeFormat::PDF417;
    }
    return ZXing::BarcodeFormat::None;
}

} // namespace

void TestCodesTest::symbolDecodes_data()
{
    QTest::addColumn<int>("index");
    // Written out here rather than taken from the set, so that a content changed
    // in the set by mistake shows too. GS is \x1d.
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("identifier");
    const QByteArray marking = "010200123456789321aB3'xY%Zq&7<R\x1d"
                               "91AB12\x1d"
                               "92T3J2YXRlazogbWFkZS11cCB0ZXN0IGRhdGEgb25seSE=";
    QTest::newRow("EAN-13") << 0 << QByteArray("2001234567893") << QByteArray("]E0");
    QTest::newRow("Code 128") << 1 << QByteArray("Ab-12/Zz.x") << QByteArray("]C0");
    QTest::newRow("GS1-128") << 2
                             << QByteArray("010200123456789310LOT1\x1d"
                                           "17271231")
                             << QByteArray("]C1");
    QTest::newRow("GS1 DataMatrix") << 3 << marking << QByteArray("]d2");
    QTest::newRow("Data Matrix") << 4 << marking << QByteArray("]d1");
    QTest::newRow("QR")
        << 5 << QStringLiteral("Проверка: съешь же ещё этих мягких булок, Ёж! 1/2").toUtf8()
        << QByteArray("]Q1");
    QTest::newRow("Code 39") << 6 << QByteArray("ORV 39-A/1.5") << QByteArray("]A0");
    QTest::newRow("ITF-14") << 7 << QByteArray("12001234567890") << QByteArray("]I1");
    QTest::newRow("PDF417") << 8
                            << QByteArray("PDF417\x1d"
                                          "Ab-12\x1d"
                                          "z.9")
                            << QByteArray("]L2");
}

void TestCodesTest::symbolDecodes()
{
    QFETCH(int, index);
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, identifier);
    QCOMPARE(testCodeSet().size(), 9);
    const TestCode &code = testCodeSet().at(index);
    QCOMPARE(code.content, content);
    QCOMPARE(code.symbologyId, identifier);

    TestCodesWindow window;
    window.showCode(index);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *view = window.findChild<SymbolView *>();
    QVERIFY(view);
    // What the screen shows: the view as painted, at its device pixel ratio.
    const QImage shot = view->grab().toImage().convertToFormat(QImage::Format_Grayscale8);
    QVERIFY(view->pixelsPerModule() >= 3);
    // Smoothing or a fractional scale would leave grey pixels at the module edges.
    for (int y = 0; y < shot.height(); ++y) {
        const uchar *line = shot.constScanLine(y);
        for (int x = 0; x < shot.width(); ++x)
            QVERIFY2(line[x] == 0 || line[x] == 255,
                qPrintable(QStringLiteral("grey at %1,%2").arg(x).arg(y)));
    }

    ZXing::DecodeHints hints;
    hints.setFormats(formatOf(code.symbology));
    const ZXing::Result result
        = ZXing::ReadBarcode({ shot.constBits(), shot.width(), shot.height(),
                                 ZXing::ImageFormat::Lum, int(shot.bytesPerLine()) },
            hints);
    QVERIFY2(result.isValid(), "zxing-cpp found no symbol");
    const ZXing::ByteArray &bytes = result.bytes();
    QCOMPARE(
        QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size())), content);
    QCOMPARE(QByteArray::fromStdString(result.symbologyIdentifier()), identifier);
}

void TestCodesTest::verdict_data()
{
    QTest::addColumn<QByteArray>("read");
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<bool>("matches");
    const QByteArray marking = testCodeSet().at(3).content;
    QTest::newRow("match") << marking << QStringLiteral("Совпало байт в байт") << true;
    QByteArray lost = marking;
    lost.remove(lost.indexOf('\x1d'), 1);
    QTest::newRow("GS lost") << lost << QStringLiteral("GS") << false;
}

void TestCodesTest::verdict()
{
    QFETCH(QByteArray, read);
    QFETCH(QString, phrase);
    QFETCH(bool, matches);
    TestCodesWindow window;
    window.showCode(3 - 2 * 9); // taken round the set
    QCOMPARE(window.currentIndex(), 3);
    auto *content = window.findChild<QPlainTextEdit *>(QStringLiteral("content"));
    QVERIFY(content->toPlainText().contains(QStringLiteral("7<R«GS»91AB12«GS»92T3J2")));
    QCOMPARE(
        window.findChild<QLabel *>(QStringLiteral("codeName"))->text(), testCodeSet().at(3).name);

    window.readArrived(read, ReadMode::Serial); // hidden: not judged
    QVERIFY(!window.verdict().contains(phrase));
    window.show();
    window.readArrived(read, ReadMode::Serial);
    QVERIFY2(window.verdict().contains(phrase), qPrintable(window.verdict()));
    QCOMPARE(window.accessibleDescription(), window.verdict());
    QCOMPARE(window.verdict().contains(QStringLiteral("Совпало")), matches);
}

QTEST_MAIN(TestCodesTest)
#include "tst_testcodes.moc"
