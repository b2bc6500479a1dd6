#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class ShellServices;

// The About window: the picture, the credits, the edition and the maker's web address, which
// turns red under the mouse and opens in the browser when clicked.
class AboutWindow : public QDialog
{
    Q_OBJECT
public:
    // layout says which layout the program uses and where the user's files are.
    AboutWindow(ShellServices &shell, const QString &layout, QWidget *parent = nullptr);

    static QString webAddress();

    QLabel *pictureLabel;
    QLabel *creditsLabel;
    QLabel *webLinkLabel;
    QLabel *editionLabel;
    QLabel *creditLineLabel;
    QLabel *layoutLabel;
    QPushButton *okButton;

    void highlightLink();
    void unhighlightLink();
    void openWebAddress();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void setLinkColor(const QColor &color);

    ShellServices &m_shell;
};
