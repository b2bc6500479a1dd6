#include "options_window.h"

#include "platform/app_error.h"
#include "platform/prompter.h"
#include "shell/file_type_registration.h"

#include <QPushButton>
#include <QScreen>

TForm8::TForm8(Prompter &prompter, std::unique_ptr<FileTypeRegistration> registration,
               QString exePath, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      m_prompter(prompter), m_registration(std::move(registration)), m_exePath(std::move(exePath))
{
    setObjectName(QStringLiteral("TForm8"));
    setWindowTitle(QStringLiteral("Options"));
    setFixedSize(443, 286);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    Button1 = new QPushButton(QStringLiteral("Register *.dlg extension"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(8, 8, 161, 25);
    connect(Button1, &QPushButton::clicked, this, &TForm8::Button1Click);

    Button2 = new QPushButton(QStringLiteral("Unregister extension"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(8, 40, 161, 25);
    connect(Button2, &QPushButton::clicked, this, &TForm8::Button2Click);
}

TForm8::~TForm8() = default;

void TForm8::Button1Click()
{
    try {
        if (m_registration->InstallExt(QStringLiteral(".dlg"), QStringLiteral("Talmero File"),
                                       QStringLiteral("Talmero for 3D Game Studio"), m_exePath,
                                       QStringLiteral("%1"), 0))
            m_prompter.message(QStringLiteral("File extension has sucessfully been registered!"));
        else
            m_prompter.message(QStringLiteral("File extension could not be registered!"));
    } catch (const AppError &error) {
        m_prompter.error(error.text());
    }
}

void TForm8::Button2Click()
{
    try {
        if (m_registration->UnInstallExt(QStringLiteral(".dlg")))
            m_prompter.message(QStringLiteral("File extension has sucessfully been unregistered!"));
        else
            m_prompter.message(QStringLiteral("File could not be unregistered!"));
    } catch (const AppError &error) {
        m_prompter.error(error.text());
    }
}

void TForm8::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Centred on the desktop rather than on the main window.
    if (const QScreen *desktop = screen())
        move(desktop->availableGeometry().center() - rect().center());
}
