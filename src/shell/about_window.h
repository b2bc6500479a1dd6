#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class ShellServices;

// The About window: the picture, the credits, the edition and the maker's web address, which
// turns red under the mouse and opens in the browser when clicked.
class TForm7 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm7(ShellServices &shell, QWidget *parent = nullptr);

    static QString webAddress();

    QLabel *Image1;
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QLabel *Label5;
    QPushButton *Button1;

    void Button1Click();
    void Label2MouseEnter();
    void Label2MouseLeave();
    void Label2Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void setLinkColor(const QColor &color);

    ShellServices &m_shell;
};
