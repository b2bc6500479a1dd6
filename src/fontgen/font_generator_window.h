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
class TForm5 : public QDialog
{
    Q_OBJECT
public:
    TForm5(const ProgramFolder &folder, Prompter &prompter, ShellServices &shell,
           QWidget *parent = nullptr);

    // The current settings, as the controls hold them.
    FontSettings settings() const;
    // The folder the save dialog starts in; empty when the first preview failed.
    const QString &saveInitialFolder() const { return m_saveInitialFolder; }

    // Renders the whole sheet into Fonts/temp.bmp and shows its declaration line. Throws AppError.
    void repaint();

    void Button1Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    // The live preview; every setting change ends here. False when it failed (and was reported).
    bool Edit2Change();

    // Group " Font "
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8;
    QCheckBox *CheckBox3;
    QPushButton *Button1;
    // Group " Properties "
    NumberField *SpinEdit1, *SpinEdit2, *SpinEdit3, *SpinEdit4;
    QCheckBox *CheckBox1, *CheckBox2;
    ColorSwatch *Panel1, *Panel2, *Panel3, *Panel4;
    QLabel *Label9;
    // Group " Preview "
    QLineEdit *Edit2;
    QLabel *Image1;
    QPushButton *Button6;
    // Below the groups
    QLineEdit *Edit3, *Edit4;
    QPushButton *Button4, *Button5;

private:
    void FormCreate();
    void chooseColor(ColorSwatch *swatch);
    void showFont();

    FontGenerator m_generator;
    Prompter &m_prompter;
    ShellServices &m_shell;
    FontChoice m_font;
    quint32 m_lastColor = 0; // the one colour dialog opens on the colour last chosen in it
    QString m_saveInitialFolder;
};
