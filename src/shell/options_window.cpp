#include "options_window.h"

#include "platform/app_error.h"
#include "platform/object_names.h"
#include "platform/prompter.h"
#include "shell/file_type_registration.h"

#include <QPushButton>
#include <QScreen>

namespace names = ObjectNames::Options;

OptionsWindow::OptionsWindow(Prompter &prompter, std::unique_ptr<FileTypeRegistration> registration,
                             QString exePath, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      m_prompter(prompter), m_registration(std::move(registration)), m_exePath(std::move(exePath))
{
    setObjectName(QLatin1String(names::window));
    setWindowTitle(QStringLiteral("Options"));
    setFixedSize(443, 286);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    registerButton = new QPushButton(QStringLiteral("Register *.dlg extension"), this);
    registerButton->setObjectName(QLatin1String(names::registerButton));
    registerButton->setGeometry(8, 8, 161, 25);
    connect(registerButton, &QPushButton::clicked, this, &OptionsWindow::registerExtension);

    unregisterButton = new QPushButton(QStringLiteral("Unregister extension"), this);
    unregisterButton->setObjectName(QLatin1String(names::unregisterButton));
    unregisterButton->setGeometry(8, 40, 161, 25);
    connect(unregisterButton, &QPushButton::clicked, this, &OptionsWindow::unregisterExtension);
}

OptionsWindow::~OptionsWindow() = default;

void OptionsWindow::registerExtension()
{
    try {
        if (m_registration->registerExtension(
                QStringLiteral(".dlg"), QStringLiteral("Talmero File"),
                QStringLiteral("Talmero for 3D Game Studio"), m_exePath, QStringLiteral("%1"), 0))
            m_prompter.message(QStringLiteral("File extension has sucessfully been registered!"));
        else
            m_prompter.message(QStringLiteral("File extension could not be registered!"));
    } catch (const AppError &error) {
        m_prompter.error(error.text());
    }
}

void OptionsWindow::unregisterExtension()
{
    try {
        if (m_registration->unregisterExtension(QStringLiteral(".dlg")))
            m_prompter.message(QStringLiteral("File extension has sucessfully been unregistered!"));
        else
            m_prompter.message(QStringLiteral("File could not be unregistered!"));
    } catch (const AppError &error) {
        m_prompter.error(error.text());
    }
}

void OptionsWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Centred on the desktop rather than on the main window.
    if (const QScreen *desktop = screen())
        move(desktop->availableGeometry().center() - rect().center());
}
