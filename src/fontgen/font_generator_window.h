#pragma once

#include "fontgen/font_generator.h"
#include "fontgen/font_settings.h"
#include "platform/program_folder.h"

#include <QDialog>

class ColorSwatch;
class NumberField;
class Prompter;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class ShellServices;

// The font generator window: the settings of a bitmap font, a live preview of a sample text,
// the sheet preview, saving, and the WDL line that declares the font. Closing only hides it, so
// the settings last as long as the program runs.
class FontGeneratorWindow : public QDialog
{
    Q_OBJECT
public:
    FontGeneratorWindow(const ProgramFolder &folder, Prompter &prompter, ShellServices &shell,
                        QWidget *parent = nullptr);

    // The current settings, as the controls hold them.
    FontSettings settings() const;
    // The folder the save dialog starts in; empty when the first preview failed.
    const QString &saveInitialFolder() const { return m_saveInitialFolder; }

    // Renders the whole sheet into Fonts/temp.bmp and shows its declaration line. Throws AppError.
    void renderSheet();

    // Change: the font dialog, then a new preview.
    void chooseFont();
    // Save: the sheet rendered anew and copied under the chosen name, never over a file.
    void saveFont();
    // Preview: the sheet rendered and opened with the desktop's viewer.
    void showSheet();
    // The live preview; every setting change ends here. False when it failed (and was reported).
    bool updatePreview();

    // Group " Font "
    QLabel *nameCaption, *sizeCaption, *boldCaption, *italicCaption;
    QLabel *fontNameLabel, *fontSizeLabel, *boldLabel, *italicLabel;
    QCheckBox *trueTypeOnlyCheck;
    QPushButton *changeFontButton;
    // Group " Properties "
    NumberField *shadowSizeField, *outlineSizeField, *spaceXField, *spaceYField;
    QCheckBox *shadowCheck, *outlineCheck;
    ColorSwatch *foregroundSwatch, *backgroundSwatch, *shadowColorSwatch, *outlineColorSwatch;
    QLabel *outlineWarning;
    // Group " Preview "
    QLineEdit *previewTextField;
    QLabel *previewImage;
    QPushButton *previewButton;
    // Below the groups
    QLineEdit *fontNameField, *declarationField;
    QPushButton *saveButton, *closeButton;

private:
    void chooseColor(ColorSwatch *swatch);
    void showFont();

    FontGenerator m_generator;
    Prompter &m_prompter;
    ShellServices &m_shell;
    FontChoice m_font;
    quint32 m_lastColor = 0; // the one colour dialog opens on the colour last chosen in it
    QString m_saveInitialFolder;
};
