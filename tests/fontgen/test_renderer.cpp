#include "fontgen_test_support.h"

#include "fontgen/character_file.h"
#include "fontgen/font_generator.h"
#include "fontgen/font_saving.h"
#include "fontgen/glyph_metrics.h"
#include "fontgen/glyph_painter.h"
#include "platform/app_error.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTest>

namespace {

const QRgb kBlack = 0x000000;

// A known TrueType font, so that contours, holes and sizes are those of real outlines.
FontSettings dejaVu(int points = 12)
{
    FontSettings settings;
    settings.font.family = QStringLiteral("DejaVu Sans");
    settings.font.pointSize = points;
    return settings;
}

// The character drawn alone with its text cell at (0, 0): the reference its sheet glyph is
// compared with.
QImage alone(const FontSettings &settings, char byte, int width, int height)
{
    const GlyphMetrics metrics(settings.font);
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor::fromRgb(settings.background));
    QPainter painter(&image);
    painter.setFont(metrics.font());
    painter.setPen(QColor::fromRgb(settings.foreground));
    painter.drawText(QPoint(0, metrics.ascent()), QString(GlyphMetrics::charOf(byte)));
    return image;
}

QString errorOf(const std::function<void()> &render)
{
    try {
        render();
    } catch (const AppError &error) {
        return error.text();
    }
    return QString();
}

} // namespace

class TestFontRenderer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(QFontInfo(GlyphMetrics::fontFor(dejaVu().font)).family() ==
                     QStringLiteral("DejaVu Sans"),
                 "the tests need DejaVu Sans (fonts-dejavu-core)");
    }

    void lineBreaksBecomeCrLf_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("characters");
        QTest::newRow("lf") << QByteArray("a\nb") << QByteArray("a\r\nb");
        QTest::newRow("cr") << QByteArray("a\rb") << QByteArray("a\r\nb");
        QTest::newRow("crlf") << QByteArray("a\r\nb") << QByteArray("a\r\nb");
        QTest::newRow("lf cr") << QByteArray("\n\r") << QByteArray("\r\n\r\n");
        QTest::newRow("trailing") << QByteArray("xy\n") << QByteArray("xy\r\n");
        QTest::newRow("high bytes") << QByteArray("\xe9\x80\0", 3) << QByteArray("\xe9\x80\0", 3);
    }
    void lineBreaksBecomeCrLf()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, characters);
        QCOMPARE(CharacterFile::normaliseLineBreaks(bytes), characters);
    }

    void shippedRowFilesHoldTheirCodes()
    {
        FontTestFolder dir;
        for (int row = 1; row <= 3; ++row) {
            const QByteArray bytes = dir.read(QStringLiteral("Fonts/dummy_font%1.txt").arg(row));
            QCOMPARE(bytes.size(), row == 3 ? 31 : 32);
            for (int k = 0; k < bytes.size(); ++k)
                QCOMPARE(int(uchar(bytes.at(k))), 32 * row + k);
        }
        const QByteArray measured = dir.read(QStringLiteral("Fonts/dummy_font.txt"));
        QCOMPARE(measured.size(), 95);
        QVERIFY(!measured.contains('\n') && !measured.contains('\r'));
    }

    void sheetIsThirtyTwoByFourCellsWithEmptyTopRow()
    {
        FontTestFolder dir;
        const FontSettings settings = dejaVu();
        const FontRender render = FontGenerator(dir.folder()).renderSheet(settings);
        const GlyphMetrics metrics(settings.font);
        const QByteArray measured = dir.read(QStringLiteral("Fonts/dummy_font.txt"));
        QCOMPARE(render.cellWidth, metrics.cellWidthOf(measured, 2));
        QCOMPARE(render.cellHeight, metrics.lineHeight() + 2);
        QCOMPARE(render.declaration, QStringLiteral("My_Font <My_Font_Name.bmp>, %1, %2;")
                                         .arg(render.cellWidth)
                                         .arg(render.cellHeight));

        QImage written(dir.path(QStringLiteral("Fonts/temp.bmp")), "BMP");
        QCOMPARE(written.size(), QSize(32 * render.cellWidth, 4 * render.cellHeight));
        QVERIFY(QTest::qCompare(written.convertToFormat(QImage::Format_RGB32), render.image,
                                "written", "rendered", __FILE__, __LINE__));
        QVERIFY(inkBox(written, kBlack, QRect(0, 0, written.width(), render.cellHeight)).isNull());
        // Every printable character leaves ink in its own cell.
        for (int code = 33; code < 127; ++code) {
            const QRect cell((code % 32) * render.cellWidth, (code / 32) * render.cellHeight,
                             render.cellWidth, render.cellHeight);
            QVERIFY2(!inkBox(written, kBlack, cell).isNull(), qPrintable(QString::number(code)));
        }
    }

    void glyphIsCentredEachHalfRoundedDown_data()
    {
        QTest::addColumn<int>("cellWidth");
        QTest::addColumn<int>("advance");
        QTest::addColumn<int>("offset");
        QTest::newRow("W 10, w 7") << 10 << 7 << 2;
        QTest::newRow("W 11, w 8") << 11 << 8 << 1;
        QTest::newRow("W 10, w 10") << 10 << 10 << 0;
        QTest::newRow("W 9, w 9") << 9 << 9 << 0;
        QTest::newRow("W 0, w 0") << 0 << 0 << 0;
    }
    void glyphIsCentredEachHalfRoundedDown()
    {
        QFETCH(int, cellWidth);
        QFETCH(int, advance);
        QFETCH(int, offset);
        QCOMPARE(GlyphPainter::glyphX(0, cellWidth, advance), offset);
        QCOMPARE(GlyphPainter::glyphX(100, cellWidth, advance), 100 + offset);
    }

    void sheetGlyphsSitCentredAtTheCellTop_data()
    {
        QTest::addColumn<int>("spaceX");
        QTest::newRow("space 0") << 0;
        QTest::newRow("space 3") << 3;
    }
    void sheetGlyphsSitCentredAtTheCellTop()
    {
        QFETCH(int, spaceX);
        FontTestFolder dir;
        FontSettings settings = dejaVu();
        settings.spaceX = spaceX;
        const FontRender render = FontGenerator(dir.folder()).renderSheet(settings);
        const GlyphMetrics metrics(settings.font);
        const int w = render.cellWidth, h = render.cellHeight;
        for (const char byte : QByteArray("iW%m.")) {
            const int code = uchar(byte);
            const QPoint cell((code % 32) * w, (code / 32) * h);
            const QRect drawn = inkBox(render.image, kBlack, QRect(cell, QSize(w, h)));
            const QRect reference = inkBox(alone(settings, byte, 3 * w, h), kBlack);
            const int x = GlyphPainter::glyphX(cell.x(), w, metrics.advance(byte));
            QCOMPARE(drawn, reference.translated(x, cell.y()));
        }
    }

    void shadowIsOffsetBySize()
    {
        FontTestFolder dir;
        dir.write(QStringLiteral("Fonts/dummy_font1.txt"), "I");
        dir.write(QStringLiteral("Fonts/dummy_font2.txt"), "");
        dir.write(QStringLiteral("Fonts/dummy_font3.txt"), "");
        FontSettings settings = dejaVu();
        const FontGenerator generator(dir.folder());
        const QRect plain = inkBox(generator.renderSheet(settings).image, kBlack);
        settings.shadow = true;
        settings.shadowSize = 3;
        settings.shadowColor = 0x00FF00;
        const QImage shadowed = generator.renderSheet(settings).image;
        QCOMPARE(inkBox(shadowed, kBlack), plain.adjusted(0, 0, 3, 3));
        const QRgb corner = shadowed.pixel(plain.right() + 3, plain.bottom() + 3);
        QVERIFY(qGreen(corner) > 0 && qRed(corner) == 0 && qBlue(corner) == 0);
    }

    void glyphsAfterAShadowKeepItVisible()
    {
        // A narrow cell and a shadow one cell long: the shadow of "|" falls into the text cell
        // of the blank after it. Once a shadow was drawn, faces have no background, so the blank
        // wipes nothing.
        FontTestFolder dir;
        dir.write(QStringLiteral("Fonts/dummy_font.txt"), "i");
        FontSettings settings = dejaVu();
        const FontGenerator generator(dir.folder());
        settings.shadow = true;
        settings.shadowColor = 0x00FF00;
        settings.shadowSize = generator.renderSheet(settings).cellWidth;
        dir.write(QStringLiteral("Fonts/dummy_font1.txt"), "|");
        const QImage alone = generator.renderSheet(settings).image;
        dir.write(QStringLiteral("Fonts/dummy_font1.txt"), "| ");
        const QImage followed = generator.renderSheet(settings).image;
        QVERIFY(followed == alone);
    }

    void outlineIsWiderThanThePlainGlyphWithOpenHoles()
    {
        FontTestFolder dir;
        dir.write(QStringLiteral("Fonts/dummy_font1.txt"), "");
        dir.write(QStringLiteral("Fonts/dummy_font2.txt"), "O");
        dir.write(QStringLiteral("Fonts/dummy_font3.txt"), "");
        FontSettings settings = dejaVu(20);
        const FontGenerator generator(dir.folder());
        const QRect plain = inkBox(generator.renderSheet(settings).image, kBlack);
        settings.outline = true;
        settings.outlineSize = 4;
        const QImage outlined = generator.renderSheet(settings).image;
        const QRect wide = inkBox(outlined, kBlack);
        QVERIFY2(wide.contains(plain) && wide.width() >= plain.width() + 3 &&
                     wide.height() >= plain.height() + 3,
                 qPrintable(QStringLiteral("%1x%2 vs %3x%4")
                                .arg(wide.width())
                                .arg(wide.height())
                                .arg(plain.width())
                                .arg(plain.height())));
        const QRgb edge = outlined.pixel(wide.left(), wide.center().y());
        QVERIFY(qRed(edge) > 0 && qGreen(edge) == 0 && qBlue(edge) == 0);
        // The counter of the O stays open: filled even-odd, not painted over.
        QCOMPARE(outlined.pixel(wide.center()) & 0xFFFFFF, kBlack);
    }

    void lineBreakBytesTakeCells()
    {
        FontTestFolder dir;
        dir.write(QStringLiteral("Fonts/dummy_font1.txt"), "W\nW");
        const FontSettings settings = dejaVu();
        const FontRender render = FontGenerator(dir.folder()).renderSheet(settings);
        const int w = render.cellWidth, h = render.cellHeight;
        // W, CR, LF, W: the second W lands in cell 3.
        QVERIFY(!inkBox(render.image, kBlack, QRect(0, h, w, h)).isNull());
        QVERIFY(!inkBox(render.image, kBlack, QRect(3 * w, h, w, h)).isNull());
        QVERIFY(inkBox(render.image, kBlack, QRect(4 * w, h, 28 * w, h)).isNull());
    }

    void charactersPastThirtyTwoAreClipped()
    {
        FontTestFolder dir;
        const FontSettings settings = dejaVu();
        const FontGenerator generator(dir.folder());
        dir.write(QStringLiteral("Fonts/dummy_font1.txt"), QByteArray(32, 'W'));
        const FontRender exact = generator.renderSheet(settings);
        dir.write(QStringLiteral("Fonts/dummy_font1.txt"), QByteArray(40, 'W') + "%%%");
        const FontRender longer = generator.renderSheet(settings);
        QCOMPARE(longer.image.size(), exact.image.size());
        QVERIFY(longer.image == exact.image);
    }

    void wideOutlineOfACharacterPastTheEdgeIsClippedNotLeftOut()
    {
        // A glyph in a cell beyond the sheet can still reach back into the last cell with its
        // outline: it is drawn and clipped like any other.
        FontTestFolder dir;
        dir.write(QStringLiteral("Fonts/dummy_font1.txt"), QByteArray(33, 'l'));
        dir.write(QStringLiteral("Fonts/dummy_font2.txt"), "");
        dir.write(QStringLiteral("Fonts/dummy_font3.txt"), "");
        FontSettings settings = dejaVu(8);
        settings.spaceX = 30;
        settings.outline = true;
        settings.outlineSize = 50;
        const FontRender render = FontGenerator(dir.folder()).renderSheet(settings);
        const int w = render.cellWidth, h = render.cellHeight;
        QImage unclipped(34 * w, 4 * h, QImage::Format_RGB32);
        unclipped.fill(Qt::black);
        {
            const GlyphMetrics metrics(settings.font);
            GlyphPainter painter(unclipped, metrics, settings);
            for (int k = 0; k < 33; ++k)
                painter.drawGlyph('l', k * w, h, w);
        }
        QVERIFY(render.image == unclipped.copy(0, 0, 32 * w, 4 * h));
        // The 33rd glyph does show: without it the last cell differs.
        dir.write(QStringLiteral("Fonts/dummy_font1.txt"), QByteArray(32, 'l'));
        QVERIFY(FontGenerator(dir.folder()).renderSheet(settings).image != render.image);
    }

    void declarationTakesTheFontNameAsTyped_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "My_Font";
        QTest::newRow("markers") << "F%1_%2%3";
        QTest::newRow("empty") << "";
    }
    void declarationTakesTheFontNameAsTyped()
    {
        QFETCH(QString, name);
        QCOMPARE(FontGenerator::declaration(name, 13, 15),
                 name + QStringLiteral(" <My_Font_Name.bmp>, 13, 15;"));
    }

    void emptyMeasuringFileWithoutSpacesWritesNoPixels()
    {
        FontTestFolder dir;
        dir.write(QStringLiteral("Fonts/dummy_font.txt"), "");
        FontSettings settings = dejaVu();
        settings.spaceX = 0;
        settings.spaceY = 0;
        const FontRender render = FontGenerator(dir.folder()).renderSheet(settings);
        QCOMPARE(render.cellWidth, 0);
        QCOMPARE(render.cellHeight, 0);
        QCOMPARE(render.declaration, QStringLiteral("My_Font <My_Font_Name.bmp>, 0, 0;"));
        const QByteArray bmp = dir.read(QStringLiteral("Fonts/temp.bmp"));
        QCOMPARE(bmp.size(), 54);
        QVERIFY(bmp.startsWith("BM"));
        // Spaces alone still give a cell.
        settings.spaceX = 4;
        settings.spaceY = 5;
        const FontRender spaced = FontGenerator(dir.folder()).renderSheet(settings);
        QCOMPARE(spaced.image.size(), QSize(128, 20));
    }

    void previewTopRoundsTowardZero_data()
    {
        QTest::addColumn<int>("cellHeight");
        QTest::addColumn<int>("top");
        QTest::newRow("15") << 15 << 29;
        QTest::newRow("73") << 73 << 0;
        QTest::newRow("74") << 74 << 0;
        QTest::newRow("80") << 80 << -3;
        QTest::newRow("0") << 0 << 36;
    }
    void previewTopRoundsTowardZero()
    {
        QFETCH(int, cellHeight);
        QFETCH(int, top);
        QCOMPARE(FontGenerator::previewTop(cellHeight), top);
    }

    void previewDrawsOneCellPerCharacter()
    {
        FontTestFolder dir;
        const FontSettings settings = dejaVu();
        const FontGenerator generator(dir.folder());
        const FontRender wide = generator.preview(settings, "WWW");
        const FontRender narrow = generator.preview(settings, "iii");
        QCOMPARE(wide.image.size(), QSize(449, 73));
        QCOMPARE(QImage(dir.path(QStringLiteral("prev.bmp"))).size(), QSize(449, 73));
        const int w = wide.cellWidth;
        const int top = FontGenerator::previewTop(wide.cellHeight);
        const QRect first = inkBox(wide.image, kBlack, QRect(0, 0, w, 73));
        QCOMPARE(inkBox(wide.image, kBlack).right(), first.right() + 2 * w);
        QCOMPARE(inkBox(narrow.image, kBlack).right() / w, 2);
        const QRect reference = inkBox(alone(settings, 'W', 2 * w, wide.cellHeight), kBlack);
        QCOMPARE(first.top(), top + reference.top());
        // Nothing but background for an empty text, and the declaration all the same.
        const FontRender empty = generator.preview(settings, "");
        QVERIFY(inkBox(empty.image, kBlack).isNull());
        QCOMPARE(empty.declaration, wide.declaration);
    }

    void previewOfTallFontIsCutAtTheTop()
    {
        FontTestFolder dir;
        const FontSettings settings = dejaVu(60);
        const FontRender render = FontGenerator(dir.folder()).preview(settings, "\xc9");
        QVERIFY(render.cellHeight > 73);
        QCOMPARE(render.image.size(), QSize(449, 73));
        const int top = FontGenerator::previewTop(render.cellHeight);
        QVERIFY(top < 0);
        const QRect reference =
            inkBox(alone(settings, '\xc9', render.cellWidth, render.cellHeight), kBlack);
        QVERIFY(reference.top() + top < 0);
        // The glyph as drawn alone, less the rows above the image.
        const QImage whole = alone(settings, '\xc9', render.cellWidth, render.cellHeight);
        const int x =
            GlyphPainter::glyphX(0, render.cellWidth, GlyphMetrics(settings.font).advance('\xc9'));
        const QRect visible = inkBox(whole, kBlack, QRect(0, -top, whole.width(), 73));
        QCOMPARE(inkBox(render.image, kBlack), visible.translated(x, top));
    }

    void missingCharacterFileChangesNothing_data()
    {
        QTest::addColumn<QString>("missing");
        QTest::newRow("measuring") << QStringLiteral("Fonts/dummy_font.txt");
        QTest::newRow("row 1") << QStringLiteral("Fonts/dummy_font1.txt");
        QTest::newRow("row 3") << QStringLiteral("Fonts/dummy_font3.txt");
    }
    void missingCharacterFileChangesNothing()
    {
        QFETCH(QString, missing);
        FontTestFolder dir;
        dir.write(QStringLiteral("Fonts/temp.bmp"), "earlier sheet");
        dir.write(QStringLiteral("prev.bmp"), "earlier preview");
        QVERIFY(QFile::remove(dir.path(missing)));
        const FontGenerator generator(dir.folder());
        const QString expected =
            QStringLiteral("Cannot open file \"%1\". No such file or directory")
                .arg(QDir::toNativeSeparators(dir.folder().shippedFile(missing)));
        QCOMPARE(errorOf([&] { generator.renderSheet(dejaVu()); }), expected);
        QCOMPARE(dir.read(QStringLiteral("Fonts/temp.bmp")), QByteArray("earlier sheet"));
        if (missing.endsWith(u"font.txt")) {
            QCOMPARE(errorOf([&] { generator.preview(dejaVu(), "abc"); }), expected);
            QCOMPARE(dir.read(QStringLiteral("prev.bmp")), QByteArray("earlier preview"));
        }
    }

    void unwritableTargetsAreReportedAsCannotCreate()
    {
        FontTestFolder dir;
        // A folder where the file should be: the file cannot be created.
        QVERIFY(QDir(dir.path(QStringLiteral("Fonts"))).mkdir(QStringLiteral("temp.bmp")));
        QVERIFY(QDir(dir.path(QString())).mkdir(QStringLiteral("prev.bmp")));
        const FontGenerator generator(dir.folder());
        QVERIFY(errorOf([&] { generator.renderSheet(dejaVu()); })
                    .startsWith(QStringLiteral("Cannot create file \"%1\". ")
                                    .arg(QDir::toNativeSeparators(generator.sheetPath()))));
        QVERIFY(errorOf([&] { generator.preview(dejaVu(), "a"); })
                    .startsWith(QStringLiteral("Cannot create file \"%1\". ")
                                    .arg(QDir::toNativeSeparators(generator.previewPath()))));
    }

    void extensionRule_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("saved");
        QTest::newRow("none") << "/f/Fonts/big"
                              << "/f/Fonts/big.bmp";
        QTest::newRow("bmp") << "/f/big.bmp"
                             << "/f/big.bmp";
        QTest::newRow("other") << "/f/big.png"
                               << "/f/big.png";
        QTest::newRow("trailing dot") << "/f/big."
                                      << "/f/big.";
        QTest::newRow("dotted folder") << "/f/my.fonts/big"
                                       << "/f/my.fonts/big.bmp";
        QTest::newRow("relative") << "big"
                                  << "big.bmp";
    }
    void extensionRule()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, saved);
        QCOMPARE(FontSaving::withExtension(chosen), saved);
    }

    void copyNeverReplaces()
    {
        FontTestFolder dir;
        dir.write(QStringLiteral("sheet.bmp"), "new sheet");
        dir.write(QStringLiteral("kept.bmp"), "old font");
        using R = FontSaving::CopyResult;
        QCOMPARE(FontSaving::copyWithoutReplacing(dir.path(QStringLiteral("sheet.bmp")),
                                                  dir.path(QStringLiteral("kept.bmp")))
                     .outcome,
                 R::AlreadyExists);
        QCOMPARE(dir.read(QStringLiteral("kept.bmp")), QByteArray("old font"));
        QCOMPARE(FontSaving::copyWithoutReplacing(dir.path(QStringLiteral("sheet.bmp")),
                                                  dir.path(QStringLiteral("fresh.bmp")))
                     .outcome,
                 R::Copied);
        QCOMPARE(dir.read(QStringLiteral("fresh.bmp")), QByteArray("new sheet"));
        const R failed = FontSaving::copyWithoutReplacing(
            dir.path(QStringLiteral("sheet.bmp")), dir.path(QStringLiteral("no/such/x.bmp")));
        QCOMPARE(failed.outcome, R::Failed);
        QVERIFY(!failed.reason.isEmpty());
    }
};

QTEST_MAIN(TestFontRenderer)

#include "test_renderer.moc"
