// The test codes: every symbol the window draws is decoded by an independent
// reader (zxing-cpp) from the window's own pixels, so the window shows what it
// says it shows; the verdict on a read and the tally of reads reach the screen
// and screen readers; the operator's own code, entered in its dialog, is judged
// the same way.

#include "analysis/readverdict.h"
#include "testcodes/owncode.h"
#include "testcodes/symbol.h"
#include "testcodes/symbolview.h"
#include "testcodes/testcodeset.h"
#include "testcodes/testcodeswindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include <ZXing/ReadBarcode.h>
#include <zint.h>

#include <algorithm>
#include <memory>

Q_DECLARE_METATYPE(Symbology)

class TestCodesTest : public QObject
{
    Q_OBJECT

private slots:
    void symbolDecodes_data();
    void symbolDecodes();
    void quietZone_data();
    void quietZone();
    void fit_data();
    void fit();
    void verdict_data();
    void verdict();
    void tally();
    void ownCode_data();
    void ownCode();
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

QByteArray decoded(const QImage &shot, Symbology symbology, QByteArray *identifier)
{
    ZXing::DecodeHints hints;
    hints.setFormats(formatOf(symbology));
    const ZXing::Result result
        = ZXing::ReadBarcode({ shot.constBits(), shot.width(), shot.height(),
                                 ZXing::ImageFormat::Lum, int(shot.bytesPerLine()) },
            hints);
    *identifier = QByteArray::fromStdString(result.symbologyIdentifier());
    const ZXing::ByteArray &bytes = result.bytes();
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}

// The white all round the dark modules of an image, in pixels.
QMargins whiteAround(const QImage &image)
{
    int left = image.width(), right = image.width(), top = image.height(), bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const uchar *line = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] != 0)
                continue;
            left = std::min(left, x);
            right = std::min(right, image.width() - 1 - x);
            top = std::min(top, y);
            bottom = y;
        }
    }
    return { left, top, right, image.height() - 1 - bottom };
}

struct ZintDelete
{
    void operator()(zint_symbol *symbol) const { ZBarcode_Delete(symbol); }
};

// The quiet zones libzint itself gives the code (BARCODE_QUIET_ZONES: those its
// standard asks for), in modules: the white around the dark rectangles of its
// vector output, whose unit is found from the bars' span, `width` modules.
QMargins zintQuietZone(const TestCode &code)
{
    static const QHash<Symbology, int> ids = { { Symbology::Ean13, BARCODE_EANX },
        { Symbology::Code128, BARCODE_CODE128 }, { Symbology::Gs1_128, BARCODE_GS1_128 },
        { Symbology::Gs1DataMatrix, BARCODE_DATAMATRIX },
        { Symbology::DataMatrix, BARCODE_DATAMATRIX }, { Symbology::QrCode, BARCODE_QRCODE },
        { Symbology::Code39, BARCODE_CODE39 }, { Symbology::Itf14, BARCODE_ITF14 },
        { Symbology::Pdf417, BARCODE_PDF417 } };
    const std::unique_ptr<zint_symbol, ZintDelete> zs(ZBarcode_Create());
    zs->symbology = ids.value(code.symbology);
    const bool gs1
        = code.symbology == Symbology::Gs1_128 || code.symbology == Symbology::Gs1DataMatrix;
    zs->input_mode = gs1 ? GS1_MODE : DATA_MODE;
    if (zs->symbology == BARCODE_DATAMATRIX)
        zs->option_3 = DM_SQUARE;
    zs->show_hrt = 0;
    zs->output_options = BARCODE_QUIET_ZONES;
    // Bound with no width: ITF-14 without its bearer box, which is no quiet zone.
    if (code.symbology == Symbology::Itf14)
        zs->output_options |= BARCODE_BIND;
    const QByteArray &input = code.encoderInput.isEmpty() ? code.content : code.encoderInput;
    if (ZBarcode_Encode_and_Buffer_Vector(zs.get(),
            reinterpret_cast<const unsigned char *>(input.constData()), int(input.size()), 0)
        >= ZINT_ERROR)
        return {};
    float left = zs->vector->width, top = zs->vector->height, right = 0, bottom = 0;
    for (const zint_vector_rect *r = zs->vector->rectangles; r; r = r->next) {
        left = std::min(left, r->x);
        top = std::min(top, r->y);
        right = std::max(right, r->x + r->width);
        bottom = std::max(bottom, r->y + r->height);
    }
    const float unit = (right - left) / float(zs->width);
    return { qRound(left / unit), qRound(top / unit), qRound((zs->vector->width - right) / unit),
        qRound((zs->vector->height - bottom) / unit) };
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
    window.fitInto(QSize(1920, 1080));
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

    QByteArray read;
    QCOMPARE(decoded(shot, code.symbology, &read), content);
    QCOMPARE(read, identifier);
}

void TestCodesTest::quietZone_data()
{
    QTest::addColumn<int>("index");
    for (int index = 0; index < testCodeSet().size(); ++index)
        QTest::newRow(qPrintable(testCodeSet().at(index).name)) << index;
}

// On the symbol's own image, not the view, whose margin would hide a quiet zone
// left out.
void TestCodesTest::quietZone()
{
    QFETCH(int, index);
    const TestCode &code = testCodeSet().at(index);
    const QMargins expected = zintQuietZone(code);
    QVERIFY(expected.left() > 0);
    const QMargins white = whiteAround(Symbol::make(code).image(3));
    QVERIFY2(white.left() >= 3 * expected.left() && white.right() >= 3 * expected.right()
            && white.top() >= 3 * expected.top() && white.bottom() >= 3 * expected.bottom(),
        qPrintable(QStringLiteral("white %1 %2 %3 %4 px at 3 px a module, libzint's %5 %6 %7 %8")
                       .arg(white.left())
                       .arg(white.top())
                       .arg(white.right())
                       .arg(white.bottom())
                       .arg(expected.left())
                       .arg(expected.top())
                       .arg(expected.right())
                       .arg(expected.bottom())));
}

void TestCodesTest::fit_data()
{
    // The widest symbol, GS1-128, 286 modules with its quiet zone, beside a side
    // column of some 200 px.
    QTest::addColumn<QSize>("room");
    QTest::addColumn<int>("scale");
    QTest::newRow("large screen") << QSize(1920, 1080) << 3;
    QTest::newRow("beside the main window on 1024x768") << QSize(824, 768) << 2;
    QTest::newRow("too small") << QSize(640, 480) << 0;
}

void TestCodesTest::fit()
{
    QFETCH(QSize, room);
    QFETCH(int, scale);
    TestCodesWindow window;
    window.showCode(2);
    QCOMPARE(window.fitInto(room), scale > 0);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.width() <= room.width() && window.height() <= room.height());
    auto *view = window.findChild<SymbolView *>();
    const QImage shot = view->grab().toImage().convertToFormat(QImage::Format_Grayscale8);
    QCOMPARE(view->pixelsPerModule(), scale);
    QCOMPARE(view->notice().contains(QStringLiteral("экран")), scale == 0);
    if (scale > 0) {
        QByteArray identifier;
        QCOMPARE(decoded(shot, Symbology::Gs1_128, &identifier), testCodeSet().at(2).content);
    }
}

void TestCodesTest::verdict_data()
{
    QTest::addColumn<QByteArray>("read");
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<bool>("matches");
    const QByteArray marking = testCodeSet().at(3).content;
    QTest::newRow("match") << "]d2" + marking << QStringLiteral("Данные совпали байт в байт") << true;
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

    window.readArrived({ read, {}, ReadMode::Serial }); // hidden: not judged
    QVERIFY(!window.verdict().contains(phrase));
    window.show();
    window.readArrived({ read, {}, ReadMode::Serial });
    QVERIFY2(window.verdict().contains(phrase), qPrintable(window.verdict()));
    QCOMPARE(window.accessibleDescription(), window.verdict() + u'\n' + window.tally());
    QCOMPARE(window.verdict().startsWith(QStringLiteral("Данные совпали")), matches);
}

// Three reads of the marking code with its identifier, the second without a GS,
// each 100 ms from its first code to its last, then one without its identifier:
// counted by outcome, warnings apart, and timed from the last code of one to the
// first of the next (1.5 s, 0.5 s, 17.7 s). A new code starts from nothing.
void TestCodesTest::tally()
{
    TestCodesWindow window;
    window.showCode(3);
    window.show();
    const QByteArray whole = "]d2" + testCodeSet().at(3).content;
    const QByteArray lost = QByteArray(whole).remove(whole.indexOf('\x1d'), 1);
    const auto read = [](const QByteArray &codes, qint64 start) {
        QList<qint64> micros(codes.size(), start + 100'000);
        micros.first() = start;
        return ArrivedRead { codes, micros, ReadMode::Serial };
    };
    const QStringList faults
        = judgeRead({ testCodeSet().at(3).content, "]d2" }, read(lost, 0)).faultNames();
    QCOMPARE(faults.size(), 1);
    const QString fault = faults.first();
    QCOMPARE(window.tally(), QStringLiteral("Чтений этого кода пока не было."));
    window.readArrived(read(whole, 1'000'000));
    QCOMPARE(window.tally(), QStringLiteral("1 чтение: 1 совпало"));
    window.readArrived(read(lost, 2'600'000));
    window.readArrived(read(whole, 3'200'000));
    QCOMPARE(window.tally(),
        QStringLiteral("3 чтения: 2 совпали, 1 — ") + fault
            + QStringLiteral(";\nот чтения до чтения: последний раз 500,000 мс, в среднем 1,0 с"));
    // Without its identifier the data are right: counted as matched, warned apart.
    window.readArrived(read(testCodeSet().at(3).content, 21'000'000));
    QCOMPARE(window.tally(),
        QStringLiteral("4 чтения: 3 совпали, 1 — ") + fault
            + QStringLiteral(", у 1 нет идентификатора;\nот чтения до чтения: последний раз 17,7 с, "
                             "в среднем 6,6 с"));
    QVERIFY(window.accessibleDescription().endsWith(window.tally()));
    window.showNext();
    QCOMPARE(window.tally(), QStringLiteral("Чтений этого кода пока не было."));
    window.readArrived(read("]d1" + testCodeSet().at(4).content, 4'000'000));
    QCOMPARE(window.tally(), QStringLiteral("1 чтение: 1 совпало"));
}

void TestCodesTest::ownCode_data()
{
    // As typed into the dialog; an empty `refused` for a code it takes, and for
    // one it asks about, the question.
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("typedId");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("refused");
    QTest::newRow("GS by name")
        << QStringLiteral("0104600439931256215Ab«GS»91EE06«gs»92x") << QStringLiteral(" ]d2 ")
        << QByteArray("0104600439931256215Ab\x1d"
                      "91EE06\x1d"
                      "92x")
        << QString();
    QTest::newRow("ISO/IEC 15434 envelope") << QStringLiteral("[)>«RS»06«GS»1P1«RS»«EOT»«CR»«LF»")
                                            << QString() << QByteArray("[)>\x1e"
                                                                       "06\x1d"
                                                                       "1P1\x1e\x04\r\n")
                                            << QString();
    QTest::newRow("Cyrillic in UTF-8, DEL, NBSP, a lone »")
        << QStringLiteral("Ёж»«HT»«DEL»«NBSP»") << QStringLiteral("]Q1")
        << QStringLiteral("Ёж»\t\x7f\u00a0").toUtf8() << QString();
    QTest::newRow("unknown name") << QStringLiteral("ab«ГС»cd") << QString() << QByteArray()
                                  << QStringLiteral("с именем «ГС»");
    QTest::newRow("space by name") << QStringLiteral("a«SP»b") << QString() << QByteArray()
                                   << QStringLiteral("с именем «SP»");
    QTest::newRow("« left open") << QStringLiteral("ab«GS") << QString() << QByteArray()
                                 << QStringLiteral("не закрыта");
    QTest::newRow("nothing") << QString() << QString() << QByteArray()
                             << QStringLiteral("Введите");
    // Other tools' spellings of GS are asked about; "Да" takes them for GS.
    for (const char *spelled : { "<GS>", "^]", "\\x1D", "{gs}" })
        QTest::newRow(spelled) << "AB" + QLatin1String(spelled) + "CD" << QString()
                               << QByteArray("AB\x1d" "CD")
                               << "«" + QLatin1String(spelled) + "» — это разделитель GS?";
    QTest::newRow("identifier typed in Russian layout")
        << QStringLiteral("ab") << QStringLiteral("ъв2") << QByteArray()
        << QStringLiteral("например ]d2");
}

// Through the window's button and its modal dialog; a code taken is shown in
// place of the test code, its reads judged against it, until "Следующий ▶".
void TestCodesTest::ownCode()
{
    QFETCH(QString, typed);
    QFETCH(QString, typedId);
    QFETCH(QByteArray, content);
    QFETCH(QString, refused);
    TestCodesWindow window;
    window.showCode(3);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.findChild<QPushButton *>(QStringLiteral("ownCode"))->click();
    QPointer dialog = qobject_cast<OwnCodeDialog *>(QApplication::activeModalWidget());
    QVERIFY(dialog);
    dialog->findChild<QLineEdit *>(QStringLiteral("ownContent"))->setText(typed);
    dialog->findChild<QLineEdit *>(QStringLiteral("ownIdentifier"))->setText(typedId);
    dialog->accept();
    auto *error = dialog->findChild<QLabel *>(QStringLiteral("error"));
    if (!refused.isEmpty()) {
        QVERIFY(dialog->isVisible());
        QVERIFY2(error->text().contains(refused), qPrintable(error->text()));
        QVERIFY(!window.showsOwnCode());
        if (content.isEmpty())
            return;
        dialog->findChild<QPushButton *>(QStringLiteral("spelledYes"))->click();
    }
    QTRY_VERIFY(!dialog);
    QVERIFY(window.showsOwnCode());
    const ExpectedCode expected { content, typedId.trimmed().toLatin1() };
    auto *contentBox = window.findChild<QPlainTextEdit *>(QStringLiteral("content"));
    QString none;
    QCOMPARE(OwnCode::content(contentBox->toPlainText(), &none), expected.content);
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("codeName"))->text(), u"Свой код");
    auto *view = window.findChild<SymbolView *>();
    view->grab();
    QVERIFY2(view->notice().contains(u"свою этикетку"), qPrintable(view->notice()));

    // As a scanner sends it: with the identifier when one is due.
    const ArrivedRead read { expected.symbologyId + content, {}, ReadMode::Serial };
    window.readArrived(read);
    QCOMPARE(window.verdict(), judgeRead(expected, read).text());
    QVERIFY(judgeRead(expected, read).matched);
    QCOMPARE(window.tally(), QStringLiteral("1 чтение: 1 совпало"));
    window.showNext();
    QVERIFY(!window.showsOwnCode());
    QCOMPARE(window.currentIndex(), 4);
}

QTEST_MAIN(TestCodesTest)
#include "tst_testcodes.moc"
