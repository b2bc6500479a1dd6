#include "font_generator_window.h"

#include "fontgen/color_swatch.h"
#include "fontgen/font_saving.h"
#include "fontgen/number_field.h"
#include "platform/ansi.h"
#include "platform/app_error.h"
#include "platform/named.h"
#include "platform/object_names.h"
#include "platform/prompter.h"
#include "platform/shell_services.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <algorithm>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace names = ObjectNames::FontGenerator;

namespace {

// The least width of the font's name in the Font group.
constexpr int kFontNameWidth = 90;

QLabel *namedLabel(const char *name, const QString &text, QWidget *parent, bool bold = false)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    return label;
}

QPushButton *button(const char *name, const QString &caption, QWidget *parent)
{
    auto *b = named(new QPushButton(caption, parent), name);
    // Enter in a field must not press a button behind the user's back.
    b->setAutoDefault(false);
    return b;
}

QString yesNo(bool value)
{
    return value ? QStringLiteral("YES") : QStringLiteral("NO");
}

} // namespace

FontGeneratorWindow::FontGeneratorWindow(const ProgramFolder &folder, Prompter &prompter,
                                         ShellServices &shell, QWidget *parent)
    : QDialog(parent), m_generator(folder), m_prompter(prompter), m_shell(shell),
      m_font(FontSettings().font)
{
    setObjectName(QLatin1String(names::window));
    setWindowTitle(QStringLiteral("Font generator"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    const FontSettings defaults;

    // Group " Font "
    auto *fontGroup = named(new QGroupBox(QStringLiteral(" Font "), this), names::fontGroup);
    nameCaption = namedLabel(names::nameCaption, QStringLiteral("Name:"), fontGroup);
    sizeCaption = namedLabel(names::sizeCaption, QStringLiteral("Size:"), fontGroup);
    boldCaption = namedLabel(names::boldCaption, QStringLiteral("Bold:"), fontGroup);
    italicCaption = namedLabel(names::italicCaption, QStringLiteral("Italic:"), fontGroup);
    fontNameLabel = namedLabel(names::fontNameLabel, QString(), fontGroup, true);
    // A long family name must not widen its group and squeeze the labels beside it: the name is
    // cut to the room it has, whole in its tooltip.
    fontNameLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    fontNameLabel->setMinimumWidth(kFontNameWidth);
    fontSizeLabel = namedLabel(names::fontSizeLabel, QString(), fontGroup, true);
    boldLabel = namedLabel(names::boldLabel, QString(), fontGroup, true);
    italicLabel = namedLabel(names::italicLabel, QString(), fontGroup, true);
    trueTypeOnlyCheck = named(new QCheckBox(QStringLiteral("Only true type fonts"), fontGroup),
                              names::trueTypeOnlyCheck);
    changeFontButton = button(names::changeFontButton, QStringLiteral("Change"), fontGroup);
    auto *fontGrid = new QGridLayout(fontGroup);
    fontGrid->setVerticalSpacing(3);
    fontGrid->addWidget(nameCaption, 0, 0);
    fontGrid->addWidget(fontNameLabel, 0, 1);
    fontGrid->addWidget(sizeCaption, 1, 0);
    fontGrid->addWidget(fontSizeLabel, 1, 1);
    fontGrid->addWidget(boldCaption, 2, 0);
    fontGrid->addWidget(boldLabel, 2, 1);
    fontGrid->addWidget(italicCaption, 3, 0);
    fontGrid->addWidget(italicLabel, 3, 1);
    fontGrid->addWidget(trueTypeOnlyCheck, 4, 0, 1, 2);
    fontGrid->addWidget(changeFontButton, 5, 0, 1, 2, Qt::AlignLeft);
    fontGrid->setColumnStretch(1, 1);
    fontGrid->setRowStretch(6, 1);

    // Group " Properties "
    auto *propertiesGroup =
        named(new QGroupBox(QStringLiteral(" Properties "), this), names::propertiesGroup);
    spaceXField =
        named(new NumberField(0, 100, defaults.spaceX, propertiesGroup), names::spaceXField);
    spaceYField =
        named(new NumberField(0, 100, defaults.spaceY, propertiesGroup), names::spaceYField);
    shadowCheck =
        named(new QCheckBox(QStringLiteral("Shadow"), propertiesGroup), names::shadowCheck);
    shadowSizeField =
        named(new NumberField(1, 50, defaults.shadowSize, propertiesGroup), names::shadowSizeField);
    shadowColorSwatch =
        named(new ColorSwatch(defaults.shadowColor, propertiesGroup), names::shadowColorSwatch);
    outlineCheck =
        named(new QCheckBox(QStringLiteral("Outline"), propertiesGroup), names::outlineCheck);
    outlineSizeField = named(new NumberField(1, 50, defaults.outlineSize, propertiesGroup),
                             names::outlineSizeField);
    outlineColorSwatch =
        named(new ColorSwatch(defaults.outlineColor, propertiesGroup), names::outlineColorSwatch);
    foregroundSwatch =
        named(new ColorSwatch(defaults.foreground, propertiesGroup), names::foregroundSwatch);
    backgroundSwatch =
        named(new ColorSwatch(defaults.background, propertiesGroup), names::backgroundSwatch);
    outlineWarning = namedLabel(names::outlineWarning,
                                QStringLiteral("Outline only works with true type fonts!"),
                                propertiesGroup, true);
    for (NumberField *field : {shadowSizeField, outlineSizeField, spaceXField, spaceYField})
        field->setFixedWidth(52);
    auto *propertiesGrid = new QGridLayout(propertiesGroup);
    propertiesGrid->setVerticalSpacing(3);
    propertiesGrid->addWidget(new QLabel(QStringLiteral("Character space x:"), propertiesGroup), 0,
                              0, 1, 2);
    propertiesGrid->addWidget(spaceXField, 0, 2);
    propertiesGrid->addWidget(new QLabel(QStringLiteral("Character space y:"), propertiesGroup), 1,
                              0, 1, 2);
    propertiesGrid->addWidget(spaceYField, 1, 2);
    propertiesGrid->addWidget(shadowCheck, 2, 0);
    propertiesGrid->addWidget(new QLabel(QStringLiteral("Size:"), propertiesGroup), 2, 1,
                              Qt::AlignRight);
    propertiesGrid->addWidget(shadowSizeField, 2, 2);
    propertiesGrid->addWidget(new QLabel(QStringLiteral("Color:"), propertiesGroup), 2, 3,
                              Qt::AlignRight);
    propertiesGrid->addWidget(shadowColorSwatch, 2, 4);
    propertiesGrid->addWidget(outlineCheck, 3, 0);
    propertiesGrid->addWidget(new QLabel(QStringLiteral("Size:"), propertiesGroup), 3, 1,
                              Qt::AlignRight);
    propertiesGrid->addWidget(outlineSizeField, 3, 2);
    propertiesGrid->addWidget(new QLabel(QStringLiteral("Color:"), propertiesGroup), 3, 3,
                              Qt::AlignRight);
    propertiesGrid->addWidget(outlineColorSwatch, 3, 4);
    propertiesGrid->addWidget(new QLabel(QStringLiteral("Foreground:"), propertiesGroup), 4, 0, 1,
                              2);
    propertiesGrid->addWidget(foregroundSwatch, 4, 2);
    propertiesGrid->addWidget(new QLabel(QStringLiteral("Background:"), propertiesGroup), 4, 3);
    propertiesGrid->addWidget(backgroundSwatch, 4, 4);
    propertiesGrid->addWidget(outlineWarning, 5, 0, 1, 5);
    propertiesGrid->setColumnStretch(0, 1);

    // Group " Preview "
    auto *previewGroup =
        named(new QGroupBox(QStringLiteral(" Preview "), this), names::previewGroup);
    previewTextField = named(new QLineEdit(QStringLiteral("AaBbCcWWW123!:?"), previewGroup),
                             names::previewTextField);
    previewButton = button(names::previewButton, QStringLiteral("Preview"), previewGroup);
    previewImage = named(new QLabel(previewGroup), names::previewImage);
    previewImage->setFixedSize(FontGenerator::PreviewWidth, FontGenerator::PreviewHeight);
    previewImage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto *previewLayout = new QVBoxLayout(previewGroup);
    previewLayout->setSpacing(4);
    auto *sampleRow = new QHBoxLayout;
    sampleRow->addWidget(new QLabel(QStringLiteral("Preview text:"), previewGroup));
    sampleRow->addWidget(previewTextField, 1);
    sampleRow->addWidget(previewButton);
    previewLayout->addLayout(sampleRow);
    previewLayout->addWidget(previewImage);

    // Below the groups
    fontNameField = named(new QLineEdit(defaults.fontName, this), names::fontNameField);
    declarationField = named(new QLineEdit(this), names::declarationField);
    saveButton = button(names::saveButton, QStringLiteral("Save"), this);
    closeButton = button(names::closeButton, QStringLiteral("Close"), this);
    auto *bottomGrid = new QGridLayout;
    bottomGrid->setVerticalSpacing(4);
    bottomGrid->addWidget(new QLabel(QStringLiteral("Font name:"), this), 0, 0);
    bottomGrid->addWidget(fontNameField, 0, 1);
    bottomGrid->addWidget(saveButton, 0, 2);
    bottomGrid->addWidget(new QLabel(QStringLiteral("WDL Code:"), this), 1, 0);
    bottomGrid->addWidget(declarationField, 1, 1);
    bottomGrid->addWidget(closeButton, 1, 2);
    bottomGrid->setColumnStretch(1, 1);

    auto *top = new QHBoxLayout;
    top->addWidget(fontGroup, 2);
    top->addWidget(propertiesGroup, 3);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(6);
    layout->addLayout(top);
    layout->addWidget(previewGroup);
    layout->addLayout(bottomGrid);
    setFixedSize(481, 378);

    showFont();

    const auto redraw = [this] { updatePreview(); };
    connect(changeFontButton, &QPushButton::clicked, this, &FontGeneratorWindow::chooseFont);
    connect(shadowCheck, &QCheckBox::toggled, this, redraw);
    connect(outlineCheck, &QCheckBox::toggled, this, redraw);
    connect(spaceXField, &NumberField::changed, this, redraw);
    connect(spaceYField, &NumberField::changed, this, redraw);
    // The sizes redraw when the user clicks into their field, not when their value changes.
    connect(shadowSizeField, &NumberField::clicked, this, redraw);
    connect(outlineSizeField, &NumberField::clicked, this, redraw);
    for (ColorSwatch *swatch :
         {foregroundSwatch, backgroundSwatch, shadowColorSwatch, outlineColorSwatch})
        connect(swatch, &ColorSwatch::clicked, this, [this, swatch] { chooseColor(swatch); });
    connect(previewTextField, &QLineEdit::textChanged, this, redraw);
    connect(previewButton, &QPushButton::clicked, this, &FontGeneratorWindow::showSheet);
    connect(saveButton, &QPushButton::clicked, this, &FontGeneratorWindow::saveFont);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);

    // On failure the program starts anyway; the save dialog is then left on the system's folder.
    if (updatePreview())
        m_saveInitialFolder = m_generator.fontsFolder();
}

FontSettings FontGeneratorWindow::settings() const
{
    FontSettings s;
    s.font = m_font;
    s.foreground = foregroundSwatch->color();
    s.background = backgroundSwatch->color();
    s.shadow = shadowCheck->isChecked();
    s.shadowSize = shadowSizeField->value();
    s.shadowColor = shadowColorSwatch->color();
    s.outline = outlineCheck->isChecked();
    s.outlineSize = outlineSizeField->value();
    s.outlineColor = outlineColorSwatch->color();
    s.spaceX = spaceXField->value();
    s.spaceY = spaceYField->value();
    s.fontName = fontNameField->text();
    return s;
}

void FontGeneratorWindow::showFont()
{
    const int room = std::max(fontNameLabel->width(), kFontNameWidth);
    fontNameLabel->setText(
        fontNameLabel->fontMetrics().elidedText(m_font.family, Qt::ElideRight, room));
    fontNameLabel->setToolTip(m_font.family);
    fontSizeLabel->setText(QString::number(m_font.pointSize));
    boldLabel->setText(yesNo(m_font.bold));
    italicLabel->setText(yesNo(m_font.italic));
}

void FontGeneratorWindow::renderSheet()
{
    const FontRender render = m_generator.renderSheet(settings());
    declarationField->setText(render.declaration);
}

bool FontGeneratorWindow::updatePreview()
{
    try {
        const FontRender render =
            m_generator.preview(settings(), Ansi::fromUnicode(previewTextField->text()));
        previewImage->setPixmap(QPixmap::fromImage(render.image));
        declarationField->setText(render.declaration);
    } catch (const AppError &error) {
        m_prompter.error(error.text());
        return false;
    }
    return true;
}

void FontGeneratorWindow::chooseFont()
{
    const std::optional<FontChoice> chosen =
        m_prompter.chooseFont(m_font, trueTypeOnlyCheck->isChecked());
    if (!chosen)
        return;
    m_font = *chosen;
    showFont();
    updatePreview();
}

void FontGeneratorWindow::chooseColor(ColorSwatch *swatch)
{
    const std::optional<quint32> chosen = m_prompter.chooseColor(m_lastColor);
    if (!chosen)
        return;
    m_lastColor = *chosen & 0xFFFFFF;
    swatch->setColor(m_lastColor);
    updatePreview();
}

void FontGeneratorWindow::showSheet()
{
    try {
        renderSheet();
    } catch (const AppError &error) {
        m_prompter.error(error.text());
        return;
    }
    if (QFileInfo::exists(m_generator.sheetPath()))
        m_shell.open(m_generator.sheetPath());
}

void FontGeneratorWindow::saveFont()
{
    FileDialogRequest request;
    request.kind = FileDialogRequest::Save;
    request.name = QLatin1String(names::saveDialog);
    request.filterText = QStringLiteral("*.bmp");
    request.filterPattern = QStringLiteral("*.bmp");
    request.initialFolder = m_saveInitialFolder;
    const std::optional<QString> chosen = m_prompter.chooseFile(request);
    if (!chosen)
        return;
    try {
        renderSheet();
    } catch (const AppError &error) {
        m_prompter.error(error.text());
        return;
    }
    const QString target = FontSaving::withExtension(*chosen);
    m_prompter.keepFileName(request.name, target);
    const FontSaving::CopyResult copy =
        FontSaving::copyWithoutReplacing(m_generator.sheetPath(), target);
    if (copy.outcome == FontSaving::CopyResult::AlreadyExists) {
        m_prompter.message(
            QStringLiteral("The font was not saved: \"%1\" already exists.").arg(target));
    } else if (copy.outcome == FontSaving::CopyResult::Failed) {
        m_prompter.message(
            QStringLiteral("The font was not saved as \"%1\". %2").arg(target, copy.reason));
    }
}
