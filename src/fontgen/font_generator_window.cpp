#include "font_generator_window.h"

#include "fontgen/color_swatch.h"
#include "fontgen/font_saving.h"
#include "fontgen/number_field.h"
#include "platform/ansi.h"
#include "platform/app_error.h"
#include "platform/named.h"
#include "platform/prompter.h"
#include "platform/shell_services.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

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

TForm5::TForm5(const ProgramFolder &folder, Prompter &prompter, ShellServices &shell,
               QWidget *parent)
    : QDialog(parent), m_generator(folder), m_prompter(prompter), m_shell(shell),
      m_font(FontSettings().font)
{
    setObjectName(QStringLiteral("TForm5"));
    setWindowTitle(QStringLiteral("Font generator"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    const FontSettings defaults;

    // Group " Font "
    auto *fontGroup = named(new QGroupBox(QStringLiteral(" Font "), this), "GroupBox1");
    Label1 = namedLabel("Label1", QStringLiteral("Name:"), fontGroup);
    Label2 = namedLabel("Label2", QStringLiteral("Size:"), fontGroup);
    Label3 = namedLabel("Label3", QStringLiteral("Bold:"), fontGroup);
    Label4 = namedLabel("Label4", QStringLiteral("Italic:"), fontGroup);
    Label5 = namedLabel("Label5", QString(), fontGroup, true);
    Label6 = namedLabel("Label6", QString(), fontGroup, true);
    Label7 = namedLabel("Label7", QString(), fontGroup, true);
    Label8 = namedLabel("Label8", QString(), fontGroup, true);
    CheckBox3 =
        named(new QCheckBox(QStringLiteral("Only true type fonts"), fontGroup), "CheckBox3");
    Button1 = button("Button1", QStringLiteral("Change"), fontGroup);
    auto *fontGrid = new QGridLayout(fontGroup);
    fontGrid->setVerticalSpacing(3);
    fontGrid->addWidget(Label1, 0, 0);
    fontGrid->addWidget(Label5, 0, 1);
    fontGrid->addWidget(Label2, 1, 0);
    fontGrid->addWidget(Label6, 1, 1);
    fontGrid->addWidget(Label3, 2, 0);
    fontGrid->addWidget(Label7, 2, 1);
    fontGrid->addWidget(Label4, 3, 0);
    fontGrid->addWidget(Label8, 3, 1);
    fontGrid->addWidget(CheckBox3, 4, 0, 1, 2);
    fontGrid->addWidget(Button1, 5, 0, 1, 2, Qt::AlignLeft);
    fontGrid->setColumnStretch(1, 1);
    fontGrid->setRowStretch(6, 1);

    // Group " Properties "
    auto *propertiesGroup = named(new QGroupBox(QStringLiteral(" Properties "), this), "GroupBox2");
    SpinEdit3 = named(new NumberField(0, 100, defaults.spaceX, propertiesGroup), "SpinEdit3");
    SpinEdit4 = named(new NumberField(0, 100, defaults.spaceY, propertiesGroup), "SpinEdit4");
    CheckBox1 = named(new QCheckBox(QStringLiteral("Shadow"), propertiesGroup), "CheckBox1");
    SpinEdit1 = named(new NumberField(1, 50, defaults.shadowSize, propertiesGroup), "SpinEdit1");
    Panel3 = named(new ColorSwatch(defaults.shadowColor, propertiesGroup), "Panel3");
    CheckBox2 = named(new QCheckBox(QStringLiteral("Outline"), propertiesGroup), "CheckBox2");
    SpinEdit2 = named(new NumberField(1, 50, defaults.outlineSize, propertiesGroup), "SpinEdit2");
    Panel4 = named(new ColorSwatch(defaults.outlineColor, propertiesGroup), "Panel4");
    Panel1 = named(new ColorSwatch(defaults.foreground, propertiesGroup), "Panel1");
    Panel2 = named(new ColorSwatch(defaults.background, propertiesGroup), "Panel2");
    Label9 = namedLabel("Label9", QStringLiteral("Outline only works with true type fonts!"),
                        propertiesGroup, true);
    for (NumberField *field : {SpinEdit1, SpinEdit2, SpinEdit3, SpinEdit4})
        field->setFixedWidth(52);
    auto *propertiesGrid = new QGridLayout(propertiesGroup);
    propertiesGrid->setVerticalSpacing(3);
    propertiesGrid->addWidget(new QLabel(QStringLiteral("Character space x:"), propertiesGroup), 0,
                              0, 1, 2);
    propertiesGrid->addWidget(SpinEdit3, 0, 2);
    propertiesGrid->addWidget(new QLabel(QStringLiteral("Character space y:"), propertiesGroup), 1,
                              0, 1, 2);
    propertiesGrid->addWidget(SpinEdit4, 1, 2);
    propertiesGrid->addWidget(CheckBox1, 2, 0);
    propertiesGrid->addWidget(new QLabel(QStringLiteral("Size:"), propertiesGroup), 2, 1,
                              Qt::AlignRight);
    propertiesGrid->addWidget(SpinEdit1, 2, 2);
    propertiesGrid->addWidget(new QLabel(QStringLiteral("Color:"), propertiesGroup), 2, 3,
                              Qt::AlignRight);
    propertiesGrid->addWidget(Panel3, 2, 4);
    propertiesGrid->addWidget(CheckBox2, 3, 0);
    propertiesGrid->addWidget(new QLabel(QStringLiteral("Size:"), propertiesGroup), 3, 1,
                              Qt::AlignRight);
    propertiesGrid->addWidget(SpinEdit2, 3, 2);
    propertiesGrid->addWidget(new QLabel(QStringLiteral("Color:"), propertiesGroup), 3, 3,
                              Qt::AlignRight);
    propertiesGrid->addWidget(Panel4, 3, 4);
    propertiesGrid->addWidget(new QLabel(QStringLiteral("Foreground:"), propertiesGroup), 4, 0, 1,
                              2);
    propertiesGrid->addWidget(Panel1, 4, 2);
    propertiesGrid->addWidget(new QLabel(QStringLiteral("Background:"), propertiesGroup), 4, 3);
    propertiesGrid->addWidget(Panel2, 4, 4);
    propertiesGrid->addWidget(Label9, 5, 0, 1, 5);
    propertiesGrid->setColumnStretch(0, 1);

    // Group " Preview "
    auto *previewGroup = named(new QGroupBox(QStringLiteral(" Preview "), this), "GroupBox3");
    Edit2 = named(new QLineEdit(QStringLiteral("AaBbCcWWW123!:?"), previewGroup), "Edit2");
    Button6 = button("Button6", QStringLiteral("Preview"), previewGroup);
    Image1 = named(new QLabel(previewGroup), "Image1");
    Image1->setFixedSize(FontGenerator::PreviewWidth, FontGenerator::PreviewHeight);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto *previewLayout = new QVBoxLayout(previewGroup);
    previewLayout->setSpacing(4);
    auto *sampleRow = new QHBoxLayout;
    sampleRow->addWidget(new QLabel(QStringLiteral("Preview text:"), previewGroup));
    sampleRow->addWidget(Edit2, 1);
    sampleRow->addWidget(Button6);
    previewLayout->addLayout(sampleRow);
    previewLayout->addWidget(Image1);

    // Below the groups
    Edit3 = named(new QLineEdit(defaults.fontName, this), "Edit3");
    Edit4 = named(new QLineEdit(this), "Edit4");
    Button4 = button("Button4", QStringLiteral("Save"), this);
    Button5 = button("Button5", QStringLiteral("Close"), this);
    auto *bottomGrid = new QGridLayout;
    bottomGrid->setVerticalSpacing(4);
    bottomGrid->addWidget(new QLabel(QStringLiteral("Font name:"), this), 0, 0);
    bottomGrid->addWidget(Edit3, 0, 1);
    bottomGrid->addWidget(Button4, 0, 2);
    bottomGrid->addWidget(new QLabel(QStringLiteral("WDL Code:"), this), 1, 0);
    bottomGrid->addWidget(Edit4, 1, 1);
    bottomGrid->addWidget(Button5, 1, 2);
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

    const auto redraw = [this] { Edit2Change(); };
    connect(Button1, &QPushButton::clicked, this, &TForm5::Button1Click);
    connect(CheckBox1, &QCheckBox::toggled, this, redraw);
    connect(CheckBox2, &QCheckBox::toggled, this, redraw);
    connect(SpinEdit3, &NumberField::changed, this, redraw);
    connect(SpinEdit4, &NumberField::changed, this, redraw);
    // The sizes redraw when the user clicks into their field, not when their value changes.
    connect(SpinEdit1, &NumberField::clicked, this, redraw);
    connect(SpinEdit2, &NumberField::clicked, this, redraw);
    for (ColorSwatch *swatch : {Panel1, Panel2, Panel3, Panel4})
        connect(swatch, &ColorSwatch::clicked, this, [this, swatch] { chooseColor(swatch); });
    connect(Edit2, &QLineEdit::textChanged, this, redraw);
    connect(Button6, &QPushButton::clicked, this, &TForm5::Button6Click);
    connect(Button4, &QPushButton::clicked, this, &TForm5::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TForm5::Button5Click);

    FormCreate();
}

void TForm5::FormCreate()
{
    // On failure the program starts anyway; the save dialog is then left on the system's folder.
    if (Edit2Change())
        m_saveInitialFolder = m_generator.fontsFolder();
}

FontSettings TForm5::settings() const
{
    FontSettings s;
    s.font = m_font;
    s.foreground = Panel1->color();
    s.background = Panel2->color();
    s.shadow = CheckBox1->isChecked();
    s.shadowSize = SpinEdit1->value();
    s.shadowColor = Panel3->color();
    s.outline = CheckBox2->isChecked();
    s.outlineSize = SpinEdit2->value();
    s.outlineColor = Panel4->color();
    s.spaceX = SpinEdit3->value();
    s.spaceY = SpinEdit4->value();
    s.fontName = Edit3->text();
    return s;
}

void TForm5::showFont()
{
    Label5->setText(m_font.family);
    Label6->setText(QString::number(m_font.pointSize));
    Label7->setText(yesNo(m_font.bold));
    Label8->setText(yesNo(m_font.italic));
}

void TForm5::repaint()
{
    const FontRender render = m_generator.repaint(settings());
    Edit4->setText(render.declaration);
}

bool TForm5::Edit2Change()
{
    try {
        const FontRender render = m_generator.preview(settings(), Ansi::fromUnicode(Edit2->text()));
        Image1->setPixmap(QPixmap::fromImage(render.image));
        Edit4->setText(render.declaration);
    } catch (const AppError &error) {
        m_prompter.error(error.text());
        return false;
    }
    return true;
}

void TForm5::Button1Click()
{
    const std::optional<FontChoice> chosen = m_prompter.chooseFont(m_font, CheckBox3->isChecked());
    if (!chosen)
        return;
    m_font = *chosen;
    showFont();
    Edit2Change();
}

void TForm5::chooseColor(ColorSwatch *swatch)
{
    const std::optional<quint32> chosen = m_prompter.chooseColor(m_lastColor);
    if (!chosen)
        return;
    m_lastColor = *chosen & 0xFFFFFF;
    swatch->setColor(m_lastColor);
    Edit2Change();
}

void TForm5::Button6Click()
{
    try {
        repaint();
    } catch (const AppError &error) {
        m_prompter.error(error.text());
        return;
    }
    if (QFileInfo::exists(m_generator.sheetPath()))
        m_shell.open(m_generator.sheetPath());
}

void TForm5::Button4Click()
{
    FileDialogRequest request;
    request.kind = FileDialogRequest::Save;
    request.name = QStringLiteral("save");
    request.filterText = QStringLiteral("*.bmp");
    request.filterPattern = QStringLiteral("*.bmp");
    request.initialFolder = m_saveInitialFolder;
    const std::optional<QString> chosen = m_prompter.chooseFile(request);
    if (!chosen)
        return;
    try {
        repaint();
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

void TForm5::Button5Click()
{
    close();
}
