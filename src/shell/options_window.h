#pragma once

#include <QDialog>
#include <memory>

class FileTypeRegistration;
class Prompter;
class QPushButton;

// The Options window: registration of the .dlg file type with the desktop.
class TForm8 : public QDialog
{
    Q_OBJECT
public:
    // exePath: the full path of the running program, which the association starts.
    TForm8(Prompter &prompter, std::unique_ptr<FileTypeRegistration> registration, QString exePath,
           QWidget *parent = nullptr);
    ~TForm8() override;

    QPushButton *Button1;
    QPushButton *Button2;

    void Button1Click();
    void Button2Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    Prompter &m_prompter;
    std::unique_ptr<FileTypeRegistration> m_registration;
    QString m_exePath;
};
