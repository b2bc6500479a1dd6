#include "fontgen_test_support.h"

#include "fontgen/color_swatch.h"
#include "fontgen/font_generator_window.h"
#include "fontgen/number_field.h"
#include "recording_shell.h"
#include "scripted_prompter.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <sys/stat.h>

namespace {

// Records whether the font dialog was asked for TrueType fonts only.
class FontPrompter : public ScriptedPrompter
{
public:
    std::optional<FontChoice> chooseFont(const FontChoice &current, bool trueTypeOnly) override
    {
        trueTypeFlags.append(trueTypeOnly);
        return ScriptedPrompter::chooseFont(current, trueTypeOnly);
    }
    QList<bool> trueTypeFlags;
};

struct Window
{
    FontTestFolder dir;
    FontPrompter prompter;
    RecordingShell shell;
    std::unique_ptr<FontGeneratorWindow> form;

    Window() { create(); }
    void create() { form = std::make_unique<FontGeneratorWindow>(dir.folder(), prompter, shell); }
    QImage preview() const { return form->previewImage->pixmap().toImage(); }
};

void leave(QWidget *field)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(field, &out);
}

QLineEdit *textOf(NumberField *field)
{
    return field->findChild<QLineEdit *>();
}

FontChoice font(bool bold, bool italic, bool underline = false)
{
    FontChoice choice{QStringLiteral("DejaVu Sans"), 12};
    choice.bold = bold;
    choice.italic = italic;
    choice.underline = underline;
    return choice;
}

} // namespace

class TestFontGeneratorWindow : public QObject
{
    Q_OBJECT

private slots:
    void createdWithDefaultsAndFirstPreview()
    {
        Window w;
        FontGeneratorWindow &f = *w.form;
        QCOMPARE(f.windowTitle(), QStringLiteral("Font generator"));
        QCOMPARE(f.size(), QSize(481, 378));
        QCOMPARE(f.minimumSize(), f.maximumSize());
        QCOMPARE(f.fontNameLabel->text(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(f.fontSizeLabel->text(), QStringLiteral("8"));
        QCOMPARE(f.boldLabel->text(), QStringLiteral("NO"));
        QCOMPARE(f.italicLabel->text(), QStringLiteral("NO"));
        QCOMPARE(f.previewTextField->text(), QStringLiteral("AaBbCcWWW123!:?"));
        QCOMPARE(f.fontNameField->text(), QStringLiteral("My_Font"));
        QVERIFY(
            f.declarationField->text().startsWith(QStringLiteral("My_Font <My_Font_Name.bmp>, ")));
        QCOMPARE(f.foregroundSwatch->color(), 0xFFFFFFu);
        QCOMPARE(f.backgroundSwatch->color(), 0x000000u);
        QCOMPARE(f.shadowColorSwatch->color(), 0x000000u);
        QCOMPARE(f.outlineColorSwatch->color(), 0xFF0000u);
        QVERIFY(!f.shadowCheck->isChecked() && !f.outlineCheck->isChecked() &&
                !f.trueTypeOnlyCheck->isChecked());
        const QList<std::tuple<NumberField *, int, int, int>> fields = {
            {f.shadowSizeField, 1, 50, 1},
            {f.outlineSizeField, 1, 50, 1},
            {f.spaceXField, 0, 100, 2},
            {f.spaceYField, 0, 100, 2}};
        for (const auto &[field, minimum, maximum, value] : fields) {
            QCOMPARE(field->minimum(), minimum);
            QCOMPARE(field->maximum(), maximum);
            QCOMPARE(field->value(), value);
        }
        QCOMPARE(w.preview().size(), QSize(449, 73));
        QVERIFY(QFile::exists(w.dir.path(QStringLiteral("prev.bmp"))));
        QVERIFY(!QFile::exists(w.dir.path(QStringLiteral("Fonts/temp.bmp"))));
        QCOMPARE(f.saveInitialFolder(), w.dir.folder().shippedFile(QStringLiteral("Fonts/")));
        QVERIFY(w.prompter.shown.isEmpty());
        const QList<QPair<QWidget *, const char *>> named = {
            {f.nameCaption, "Label1"},          {f.outlineWarning, "Label9"},
            {f.trueTypeOnlyCheck, "CheckBox3"}, {f.changeFontButton, "Button1"},
            {f.saveButton, "Button4"},          {f.closeButton, "Button5"},
            {f.previewButton, "Button6"},       {f.previewImage, "Image1"},
            {f.foregroundSwatch, "Panel1"},     {f.outlineColorSwatch, "Panel4"},
            {f.spaceYField, "SpinEdit4"},       {f.declarationField, "Edit4"}};
        for (const auto &[control, name] : named)
            QVERIFY2(f.findChild<QWidget *>(QLatin1String(name)) == control, name);
        QCOMPARE(f.outlineWarning->text(),
                 QStringLiteral("Outline only works with true type fonts!"));
    }

    void failedFirstPreviewLeavesSaveFolderUnset()
    {
        Window w;
        QFile::remove(w.dir.path(QStringLiteral("Fonts/dummy_font.txt")));
        w.create();
        QCOMPARE(w.prompter.errors().size(), 1);
        QVERIFY(w.prompter.errors().first().startsWith(QStringLiteral("Cannot open file \"")));
        QCOMPARE(w.form->saveInitialFolder(), QString());
        QCOMPARE(w.form->declarationField->text(), QString());
    }

    void fontDialogSetsTheFontLabels_data()
    {
        QTest::addColumn<FontChoice>("chosen");
        QTest::addColumn<QString>("bold");
        QTest::addColumn<QString>("italic");
        QTest::newRow("bold underlined") << font(true, false, true) << "YES"
                                         << "NO";
        QTest::newRow("bold italic") << font(true, true) << "YES"
                                     << "YES";
        QTest::newRow("plain") << font(false, false) << "NO"
                               << "NO";
    }
    void fontDialogSetsTheFontLabels()
    {
        QFETCH(FontChoice, chosen);
        QFETCH(QString, bold);
        QFETCH(QString, italic);
        Window w;
        w.form->trueTypeOnlyCheck->click();
        w.prompter.fontAnswers = {font(true, true), chosen};
        w.form->chooseFont();
        w.form->chooseFont();
        QCOMPARE(w.prompter.trueTypeFlags, QList<bool>({true, true}));
        QCOMPARE(w.prompter.fontInitials.last().bold, true);
        QCOMPARE(w.form->fontNameLabel->text(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(w.form->fontSizeLabel->text(), QStringLiteral("12"));
        QCOMPARE(w.form->boldLabel->text(), bold);
        QCOMPARE(w.form->italicLabel->text(), italic);
        QCOMPARE(w.form->settings().font.underline, chosen.underline);
    }

    void cancelledDialogsChangeNothing()
    {
        Window w;
        const QImage before = w.preview();
        w.form->fontNameField->setText(QStringLiteral("Other"));
        const QString declaration = w.form->declarationField->text();
        w.prompter.fontAnswers = {std::nullopt};
        w.form->chooseFont();
        w.prompter.colorAnswers = {std::nullopt};
        QTest::mouseClick(w.form->foregroundSwatch, Qt::LeftButton);
        QCOMPARE(w.form->declarationField->text(), declaration);
        QCOMPARE(w.form->fontNameLabel->text(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(w.form->foregroundSwatch->color(), 0xFFFFFFu);
        QVERIFY(w.preview() == before);
    }

    void colourDialogOpensOnTheLastChosenColour()
    {
        Window w;
        w.prompter.colorAnswers = {0x00FF00u, 0x123456u};
        QTest::mouseClick(w.form->backgroundSwatch, Qt::LeftButton);
        QCOMPARE(w.form->backgroundSwatch->color(), 0x00FF00u);
        QCOMPARE(w.preview().pixel(0, 0) & 0xFFFFFF, 0x00FF00u);
        QTest::mouseClick(w.form->outlineColorSwatch, Qt::LeftButton);
        QCOMPARE(w.prompter.colorInitials, QList<quint32>({0x000000u, 0x00FF00u}));
        QCOMPARE(w.form->outlineColorSwatch->color(), 0x123456u);
    }

    void typedValuesCountWhileFocusedAndAreClampedOnLeaving()
    {
        Window w;
        FontGeneratorWindow &f = *w.form;
        const QString two = f.declarationField->text();
        textOf(f.spaceXField)->setText(QStringLiteral("150"));
        QCOMPARE(f.spaceXField->value(), 150);
        const QString wide = f.declarationField->text();
        leave(f.spaceXField);
        QCOMPARE(textOf(f.spaceXField)->text(), QStringLiteral("100"));
        const QString hundred = f.declarationField->text();
        QVERIFY(two != wide && wide != hundred && hundred != two);
        // Width = widest + space: the three declarations differ by the spaces alone.
        const auto widthOf = [](const QString &line) { return line.section(u',', 1, 1).toInt(); };
        QCOMPARE(widthOf(wide) - widthOf(hundred), 50);
        QCOMPARE(widthOf(hundred) - widthOf(two), 98);

        textOf(f.spaceXField)->clear();
        QCOMPARE(f.spaceXField->value(), 0);
        QCOMPARE(widthOf(f.declarationField->text()), widthOf(two) - 2);
        textOf(f.shadowSizeField)->setText(QStringLiteral("-"));
        QCOMPARE(f.shadowSizeField->value(), 1);
        textOf(f.outlineSizeField)->setText(QStringLiteral("2.5"));
        QCOMPARE(f.outlineSizeField->value(), 1);
    }

    void keysOtherThanNumbersAreRefusedAndArrowsStayInRange()
    {
        Window w;
        textOf(w.form->spaceYField)->clear();
        QTest::keyClicks(w.form->spaceYField, QStringLiteral("1x-+9a"));
        QCOMPARE(textOf(w.form->spaceYField)->text(), QStringLiteral("1-+9"));
        QCOMPARE(w.form->spaceYField->value(), 0);
        // The arrows stay within the range.
        w.form->spaceYField->setValue(99);
        w.form->spaceYField->stepBy(2);
        QCOMPARE(w.form->spaceYField->value(), 100);
        w.form->spaceYField->stepBy(-200);
        QCOMPARE(w.form->spaceYField->value(), 0);
        // An arrow on a typed value outside the range steps it to the nearer limit.
        w.form->spaceYField->setFocus();
        textOf(w.form->spaceYField)->setText(QStringLiteral("150"));
        QTest::keyClick(w.form->spaceYField, Qt::Key_Up);
        QCOMPARE(textOf(w.form->spaceYField)->text(), QStringLiteral("100"));
        textOf(w.form->spaceYField)->setText(QStringLiteral("-7"));
        QTest::keyClick(w.form->spaceYField, Qt::Key_Down);
        QCOMPARE(textOf(w.form->spaceYField)->text(), QStringLiteral("0"));
        textOf(w.form->spaceYField)->setText(QStringLiteral("-7"));
        QTest::keyClick(w.form->spaceYField, Qt::Key_Up);
        QCOMPARE(textOf(w.form->spaceYField)->text(), QStringLiteral("0"));
    }

    void sizeFieldsRedrawOnlyWhenClickedInto()
    {
        Window w;
        FontGeneratorWindow &f = *w.form;
        w.prompter.colorAnswers = {0x00FF00u};
        QTest::mouseClick(f.shadowColorSwatch, Qt::LeftButton);
        f.shadowCheck->setChecked(true);
        const QImage small = w.preview();
        f.shadowSizeField->stepBy(5);
        QCOMPARE(f.shadowSizeField->value(), 6);
        QVERIFY(w.preview() == small);
        // A right click is no click into the field.
        const QPointF inside(2, 2);
        QMouseEvent right(QEvent::MouseButtonRelease, inside,
                          textOf(f.shadowSizeField)->mapToGlobal(inside), Qt::RightButton,
                          Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(textOf(f.shadowSizeField), &right);
        QVERIFY(w.preview() == small);
        QTest::mouseClick(textOf(f.shadowSizeField), Qt::LeftButton);
        const QImage moved = w.preview();
        QVERIFY(moved != small);
        QCOMPARE(inkBox(moved, 0).right(), inkBox(small, 0).right() + 5);
    }

    void fontNameReachesTheDeclarationAtTheNextRedraw()
    {
        Window w;
        const QString before = w.form->declarationField->text();
        w.form->fontNameField->setText(QStringLiteral("Big"));
        QCOMPARE(w.form->declarationField->text(), before);
        w.form->previewTextField->setText(QStringLiteral("x"));
        QCOMPARE(w.form->declarationField->text(), QStringLiteral("Big") + before.mid(7));
    }

    void previewRendersTheSheetAndOpensIt()
    {
        Window w;
        w.form->previewButton->click();
        const QString sheet = w.dir.folder().shippedFile(QStringLiteral("Fonts/temp.bmp"));
        QCOMPARE(w.shell.opened, QStringList{sheet});
        QVERIFY(QFile::exists(sheet));

        QFile::remove(w.dir.path(QStringLiteral("Fonts/dummy_font2.txt")));
        w.form->previewButton->click();
        QCOMPARE(w.shell.opened.size(), 1);
        QCOMPARE(w.prompter.errors().size(), 1);
    }

    void saveAppendsExtensionAndCopiesTheNewSheet()
    {
        Window w;
        w.form->fontNameField->setText(QStringLiteral("Saved"));
        const QString chosen = w.dir.folder().shippedFile(QStringLiteral("Fonts/mine"));
        w.prompter.fileAnswers = {chosen};
        w.form->saveButton->click();
        const FileDialogRequest &request = w.prompter.fileRequests.first();
        QCOMPARE(request.kind, FileDialogRequest::Save);
        QCOMPARE(request.name, QStringLiteral("save"));
        QCOMPARE(request.filterPattern, QStringLiteral("*.bmp"));
        QCOMPARE(request.initialFolder, w.dir.folder().shippedFile(QStringLiteral("Fonts/")));
        const QByteArray sheet = w.dir.read(QStringLiteral("Fonts/temp.bmp"));
        QVERIFY(sheet.startsWith("BM"));
        QCOMPARE(w.dir.read(QStringLiteral("Fonts/mine.bmp")), sheet);
        QCOMPARE(w.prompter.keptFileNames.last(),
                 qMakePair(QStringLiteral("save"), chosen + QStringLiteral(".bmp")));
        QVERIFY(w.form->declarationField->text().startsWith(
            QStringLiteral("Saved <My_Font_Name.bmp>, ")));
        QVERIFY(w.prompter.messages().isEmpty());

        // A second save with other settings under another name gives another file.
        w.prompter.colorAnswers = {0x0000FFu};
        QTest::mouseClick(w.form->backgroundSwatch, Qt::LeftButton);
        w.prompter.fileAnswers = {w.dir.folder().shippedFile(QStringLiteral("Fonts/blue.bmp"))};
        w.form->saveButton->click();
        QVERIFY(w.dir.read(QStringLiteral("Fonts/blue.bmp")) != sheet);
        QCOMPARE(w.dir.read(QStringLiteral("Fonts/mine.bmp")), sheet);
    }

    void saveNeverReplacesAndSaysSo()
    {
        Window w;
        w.dir.write(QStringLiteral("Fonts/taken.bmp"), "keep me");
        const QString chosen = w.dir.folder().shippedFile(QStringLiteral("Fonts/taken"));
        w.prompter.fileAnswers = {chosen};
        w.form->saveButton->click();
        QCOMPARE(w.dir.read(QStringLiteral("Fonts/taken.bmp")), QByteArray("keep me"));
        QCOMPARE(w.prompter.messages().size(), 1);
        QVERIFY(w.prompter.messages().first().contains(u'"' + chosen + QStringLiteral(".bmp\"")));
    }

    void cancelledSaveRendersNothing()
    {
        Window w;
        w.form->fontNameField->setText(QStringLiteral("Other"));
        const QString declaration = w.form->declarationField->text();
        w.prompter.fileAnswers = {std::nullopt};
        w.form->saveButton->click();
        QVERIFY(!QFile::exists(w.dir.path(QStringLiteral("Fonts/temp.bmp"))));
        QCOMPARE(w.form->declarationField->text(), declaration);
    }

    void failedSaveRenderCopiesNothing()
    {
        Window w;
        w.dir.write(QStringLiteral("Fonts/temp.bmp"), "earlier");
        w.form->fontNameField->setText(QStringLiteral("Other"));
        const QString declaration = w.form->declarationField->text();
        QFile::remove(w.dir.path(QStringLiteral("Fonts/dummy_font3.txt")));
        w.prompter.fileAnswers = {w.dir.folder().shippedFile(QStringLiteral("Fonts/out"))};
        w.form->saveButton->click();
        QCOMPARE(w.prompter.errors().size(), 1);
        QVERIFY(!QFile::exists(w.dir.path(QStringLiteral("Fonts/out.bmp"))));
        QCOMPARE(w.dir.read(QStringLiteral("Fonts/temp.bmp")), QByteArray("earlier"));
        QCOMPARE(w.form->declarationField->text(), declaration);

#ifndef Q_OS_WIN
        // A character file that is a FIFO stops the render at once, as a missing one does.
        QVERIFY(
            ::mkfifo(
                QFile::encodeName(w.dir.path(QStringLiteral("Fonts/dummy_font3.txt"))).constData(),
                0600) == 0);
        w.prompter.fileAnswers = {w.dir.folder().shippedFile(QStringLiteral("Fonts/out"))};
        w.form->saveButton->click();
        QCOMPARE(w.prompter.errors().size(), 2);
        QVERIFY2(w.prompter.errors().last().endsWith(QStringLiteral("\". Not a regular file")),
                 qPrintable(w.prompter.errors().last()));
        QVERIFY(!QFile::exists(w.dir.path(QStringLiteral("Fonts/out.bmp"))));
#endif
    }
};

QTEST_MAIN(TestFontGeneratorWindow)

#include "test_font_generator_window.moc"
