#include "search_commands.h"

#include "document/dialog_edits.h"
#include "platform/ansi.h"
#include "windows/dialog_tree_view.h"
#include "windows/main_window.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

SearchCommands::SearchCommands(TForm1 &form) : QObject(&form), m_form(form)
{
    connect(form.SpeedButton12, &QToolButton::clicked, this, [this] { SpeedButton12Click(); });
    connect(form.Edit3, &QLineEdit::textChanged, this, [this] { Edit3Change(); });
    form.Edit3->installEventFilter(this);
}

void SearchCommands::Edit3Change()
{
    m_form.SearchPosition = -1;
}

bool SearchCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_form.Edit3 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            SpeedButton12Click();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void SearchCommands::SpeedButton12Click()
{
    if (m_form.SearchPosition == -1)
        m_form.SearchPosition = 0;
    const DialogEdits::SearchHit hit =
        DialogEdits(m_form.document())
            .search(Ansi::fromUnicode(m_form.Edit3->text()), m_form.SearchPosition);
    if (hit.node) {
        // Selecting the hit restarts the search; the position past the hit is set after it.
        m_form.selectNode(hit.node);
        m_form.TreeView1->setFocus();
        m_form.SearchPosition = hit.next;
        return;
    }
    m_form.SearchPosition = hit.next;
    if (hit.next == m_form.document().count()) {
        m_form.SearchPosition = -1;
        m_form.prompter().message(QStringLiteral("Reached end of file!"));
    }
}
