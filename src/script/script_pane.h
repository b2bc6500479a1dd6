#pragma once

#include "script.h"

#include <QDockWidget>
#include <QStringList>
#include <QTextCursor>
#include <vector>

class DialogNode;
class DialogTree;
class QAbstractItemModel;
class QLabel;
class QListWidget;
class QStandardItemModel;
class QToolButton;
class ScriptEditor;
class ScriptHighlighter;

// The script view: the document as a script, beside the tree, edited as text. It follows the
// document: every change made elsewhere shows at once, merged into lines typed but not applied
// (where both changed the same lines, the typed ones stay). Each line remembers the node it was
// written from, so the cursor's line tells the node and a node finds its line.
class ScriptPane : public QDockWidget
{
    Q_OBJECT
public:
    // changes: the tree model that reports every change of document.
    ScriptPane(DialogTree &document, QAbstractItemModel *changes, QWidget *parent = nullptr);

    ScriptEditor *editor() const { return m_editor; }
    ScriptHighlighter *highlighter() const { return m_highlighter; }

    // Whether lines were typed that the document does not have yet.
    bool hasUnappliedText() const;
    QString text() const;
    // Puts text in place of the script as typed and not applied.
    void setUnappliedText(const QString &text);

    // The script was applied: the document's script replaces the text at once.
    void showApplied();
    // Marks each line that has an error with its reason; the text stays as typed.
    void showErrors(const std::vector<ScriptError> &errors);

    // The node the cursor's line was written from; none for a line typed since.
    DialogNode *nodeAtCursor() const;
    // Puts the cursor on the line of node, or of the node whose line says it.
    void showNode(const DialogNode *node);

    // The document changed: the view follows it as soon as it is shown.
    void documentChanged();
    // Writes the document's script into the view when it changed since the last time.
    void refresh();

signals:
    void applyRequested();
    // The cursor moved to another line written from a node.
    void cursorNodeChanged(DialogNode *node);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The next look at the document writes its script afresh, dropping what was typed.
    void discardUnappliedText();
    QStringList shownLines() const;
    // Makes the view, which shows shownLinesNow, show lines, changing only the lines that differ,
    // each written from its node. keepTyped: a line without a node keeps the node it had while that
    // is still in nodes.
    void setLines(const QStringList &shownLinesNow, const QStringList &lines,
                  const std::vector<DialogNode *> &nodes, bool keepTyped);
    void clearErrors();
    void markErrors();
    QStandardItemModel *dialogList();
    void updateTitle();

    DialogTree &m_document;
    ScriptEditor *m_editor;
    ScriptHighlighter *m_highlighter;
    QToolButton *m_applyButton;
    QLabel *m_notice;
    QListWidget *m_problems;
    // The line of each error listed; it moves with the text.
    std::vector<QTextCursor> m_errorPlaces;
    QStandardItemModel *m_dialogs = nullptr;
    // The document's script as last written here: what the typed lines were changed from.
    QStringList m_written;
    bool m_stale = true;
    bool m_refreshQueued = false;
    bool m_dropTyped = false;
    // The nodes the lines remember are those of the document (not while a change is under way).
    bool m_nodesValid = false;
    bool m_updating = false;
    DialogNode *m_cursorNode = nullptr;
};
