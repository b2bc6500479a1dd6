#include "find_replace_commands.h"

#include "document/dialog_edits.h"
#include "document/text_replacement.h"
#include "editing/find_replace_window.h"
#include "platform/ansi.h"
#include "platform/named.h"
#include "windows/main_window.h"
#include "windows/undo_history.h"
#include "windows/window_places.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace {

// The dialog a node stands in, as the tree names it. A file may put a text node anywhere,
// also at the top level, where it names itself.
QString placeOf(DialogNode *node)
{
    return Ansi::toUnicode(node->parent() ? DialogEdits::enclosingDialog(node)->text()
                                          : node->text());
}

QString replacedStatus(const TextReplacement::Outcome &outcome)
{
    QString status = outcome.texts == 1 ? QStringLiteral("1 text replaced")
                                        : QStringLiteral("%1 texts replaced").arg(outcome.texts);
    if (outcome.overLong > 0)
        status += QStringLiteral(", %1 now longer than %2 characters, which saving shortens")
                      .arg(outcome.overLong)
                      .arg(TextReplacement::kStoredTextLimit);
    return status + u'.';
}

const QString kNothingToFind = QStringLiteral("Type the text to find first.");

} // namespace

FindReplaceCommands::FindReplaceCommands(MainWindow &window) : QObject(&window), m_window(window)
{
    // The entry joins the menu of the menu bar that holds Undo; other menus may hold Undo too.
    QMenu *edit = nullptr;
    for (QObject *object : window.undoAction->associatedObjects()) {
        auto *menu = qobject_cast<QMenu *>(object);
        if (!edit && menu && window.menuBar()->actions().contains(menu->menuAction()))
            edit = menu;
    }
    findReplaceAction =
        named(new QAction(QStringLiteral("Find and &Replace..."), &window), "FindReplace1");
    findReplaceAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+H")));
    if (edit) {
        edit->addSeparator();
        edit->addAction(findReplaceAction);
    } else {
        window.addAction(findReplaceAction);
    }
    connect(findReplaceAction, &QAction::triggered, this, [this] { showWindow(); });
}

FindReplaceWindow *FindReplaceCommands::findReplaceWindow()
{
    if (!m_dialog) {
        m_dialog = new FindReplaceWindow(&m_window);
        WindowPlaces::keep(m_dialog);
        // Undo and redo work from the window as from the main window; Ctrl+H there goes back to
        // the find field.
        m_dialog->addActions({findReplaceAction, m_window.undoAction, m_window.redoAction});
        connect(m_dialog->findNextButton, &QPushButton::clicked, this, [this] { findNext(); });
        connect(m_dialog->replaceButton, &QPushButton::clicked, this, [this] { replace(); });
        connect(m_dialog->replaceAllButton, &QPushButton::clicked, this, [this] { replaceAll(); });
    }
    return m_dialog;
}

void FindReplaceCommands::showWindow()
{
    FindReplaceWindow *window = findReplaceWindow();
    window->show();
    window->raise();
    window->activateWindow();
    window->focusFindField();
}

TextReplacement FindReplaceCommands::replacement() const
{
    return TextReplacement(Ansi::fromUnicode(m_dialog->findField->text()),
                           Ansi::fromUnicode(m_dialog->replaceField->text()),
                           m_dialog->matchCaseCheck->isChecked(),
                           m_dialog->wholeWordsCheck->isChecked());
}

QString FindReplaceCommands::selectNextMatch(const TextReplacement &replacement)
{
    bool wrapped = false;
    DialogNode *node = replacement.findNext(m_window.document(), m_window.selectedNode(), &wrapped);
    if (!node)
        return QString();
    m_window.selectNode(node);
    const QString where = QStringLiteral("Found in ") + placeOf(node);
    return where + (wrapped ? QStringLiteral(", continued from the top.") : QStringLiteral("."));
}

void FindReplaceCommands::refreshSelectedText()
{
    // A text node is never one whose field is locked.
    const DialogNode *node = m_window.selectedNode();
    if (node && TextReplacement::isAuthorText(node->text()))
        m_window.nodeTextField->setText(Ansi::toUnicode(node->text()));
}

void FindReplaceCommands::findNext()
{
    const TextReplacement wanted = replacement();
    if (wanted.isEmpty()) {
        m_dialog->showStatus(kNothingToFind);
        return;
    }
    const QString found = selectNextMatch(wanted);
    m_dialog->showStatus(found.isEmpty() ? QStringLiteral("Not found.") : found);
}

void FindReplaceCommands::replace()
{
    if (m_window.prompter().refuseUnrepresentable(m_dialog->replaceField->text()))
        return;
    const TextReplacement wanted = replacement();
    DialogNode *node = m_window.selectedNode();
    if (wanted.isEmpty() || !node || !wanted.matches(node->text())) {
        findNext();
        return;
    }
    TextReplacement::Outcome outcome;
    {
        EditStep step(m_window.history(), QStringLiteral("Replace in ") + placeOf(node));
        outcome = wanted.replaceIn(m_window.document(), node);
    }
    // A replacement that gives the same text changes nothing: the search simply goes on.
    QString status;
    if (outcome.texts > 0) {
        m_window.Modified = true;
        refreshSelectedText();
        status = replacedStatus(outcome) + u' ';
    }
    const QString found = selectNextMatch(wanted);
    m_dialog->showStatus(status + (found.isEmpty() ? QStringLiteral("No more matches.") : found));
}

void FindReplaceCommands::replaceAll()
{
    if (m_window.prompter().refuseUnrepresentable(m_dialog->replaceField->text()))
        return;
    const TextReplacement wanted = replacement();
    if (wanted.isEmpty()) {
        m_dialog->showStatus(kNothingToFind);
        return;
    }
    TextReplacement::Outcome outcome;
    {
        EditStep step(m_window.history(), QString());
        outcome = wanted.replaceAll(m_window.document());
        m_window.history().rename(outcome.texts == 1
                                      ? QStringLiteral("Replace 1 text")
                                      : QStringLiteral("Replace %1 texts").arg(outcome.texts));
    }
    if (outcome.texts == 0) {
        m_dialog->showStatus(QStringLiteral("Nothing replaced."));
        return;
    }
    m_window.Modified = true;
    refreshSelectedText();
    m_dialog->showStatus(replacedStatus(outcome));
}
