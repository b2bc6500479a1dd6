#include "search_commands.h"

#include "document/dialog_edits.h"
#include "platform/ansi.h"
#include "windows/dialog_tree_view.h"
#include "windows/main_window.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

SearchCommands::SearchCommands(MainWindow &window) : QObject(&window), m_window(window)
{
    connect(window.searchButton, &QToolButton::clicked, this, [this] { searchNext(); });
    connect(window.searchField, &QLineEdit::textChanged, this, [this] { restartSearch(); });
    window.searchField->installEventFilter(this);
}

void SearchCommands::restartSearch()
{
    m_window.SearchPosition = -1;
}

bool SearchCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window.searchField && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            searchNext();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void SearchCommands::searchNext()
{
    if (m_window.SearchPosition == -1)
        m_window.SearchPosition = 0;
    const DialogEdits::SearchHit hit =
        DialogEdits(m_window.document())
            .search(Ansi::fromUnicode(m_window.searchField->text()), m_window.SearchPosition);
    if (hit.node) {
        // Selecting the hit restarts the search; the position past the hit is set after it.
        m_window.selectNode(hit.node);
        m_window.treeView->setFocus();
        m_window.SearchPosition = hit.next;
        return;
    }
    m_window.SearchPosition = hit.next;
    if (hit.next == m_window.document().count()) {
        m_window.SearchPosition = -1;
        m_window.prompter().message(QStringLiteral("Reached end of file!"));
    }
}
