#pragma once

#include <QDialog>
#include <memory>

class FileTypeRegistration;
class Prompter;
class QPushButton;

// The Options window: registration of the .dlg file type with the desktop.
class OptionsWindow : public QDialog
{
    Q_OBJECT
public:
    // exePath: the full path of the running program, which the association starts.
    OptionsWindow(Prompter &prompter, std::unique_ptr<FileTypeRegistration> registration,
                  QString exePath, QWidget *parent = nullptr);
    ~OptionsWindow() override;

    QPushButton *registerButton;
    QPushButton *unregisterButton;

    void registerExtension();
    void unregisterExtension();

protected:
    void showEvent(QShowEvent *event) override;

private:
    Prompter &m_prompter;
    std::unique_ptr<FileTypeRegistration> m_registration;
    QString m_exePath;
};
