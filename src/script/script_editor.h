#pragma once

#include <QPlainTextEdit>
#include <QTextBlock>
#include <functional>

class QAbstractItemModel;
class QCompleter;

// The text field of the script view, with the keys of fast writing: Return at the end of a text
// dialog line starts the next line at its indentation with the other speaker; Tab and Shift+Tab
// indent and outdent the lines of the selection; after "Goto = " and "Delete = " the dialogs are
// offered by number; Ctrl+Return asks for the script to be applied. Undo and redo stay with the
// typing while there is some to take back, and go to the window's commands after.
class ScriptEditor : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit ScriptEditor(QWidget *parent = nullptr);

    // Where the dialogs offered after "Goto = " come from: a model whose rows show a dialog and
    // carry its number under Qt::UserRole, sorted by that number as text.
    void setDialogList(std::function<QAbstractItemModel *()> dialogs);
    QCompleter *completer() const { return m_completer; }

    // The lines on screen, first to last.
    QTextBlock firstShownBlock() const { return firstVisibleBlock(); }
    bool isShown(const QTextBlock &block) const;

signals:
    void applyRequested();

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool continueDialog();
    void shiftLines(bool in);
    void offerDialogs();
    void insertDialog(const QString &number);

    QCompleter *m_completer;
    std::function<QAbstractItemModel *()> m_dialogs;
};
