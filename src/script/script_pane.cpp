#include "script_pane.h"

#include "document/dialog_numbers.h"
#include "document/dialog_summary.h"
#include "document/dialog_tree.h"
#include "line_diff.h"
#include "persistence/dlg_writer.h"
#include "platform/ansi.h"
#include "script_block_data.h"
#include "script_editor.h"
#include "script_highlighter.h"
#include "script_writer.h"
#include "windows/tree_changes.h"

#include <QCompleter>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QSet>
#include <QStandardItemModel>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// How many characters of a dialog the list after "Goto = " shows.
constexpr int kGlanceLength = 48;

} // namespace

ScriptPane::ScriptPane(DialogTree &document, QAbstractItemModel *changes, QWidget *parent)
    : QDockWidget(parent), m_document(document)
{
    setObjectName(QStringLiteral("ScriptPane"));
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    auto *content = new QWidget(this);
    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);

    auto *bar = new QHBoxLayout;
    auto *hint = new QLabel(QStringLiteral("Ctrl+Return applies the script"), content);
    hint->setEnabled(false);
    m_applyButton = new QToolButton(content);
    m_applyButton->setObjectName(QStringLiteral("ScriptApplyButton"));
    m_applyButton->setText(QStringLiteral("Apply"));
    m_applyButton->setToolTip(QStringLiteral("Apply the script to the dialog (Ctrl+Return)"));
    bar->addWidget(hint, 1);
    bar->addWidget(m_applyButton);
    layout->addLayout(bar);

    m_editor = new ScriptEditor(content);
    m_editor->setObjectName(QStringLiteral("ScriptEditor"));
    m_editor->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_editor->setDialogList([this]() -> QAbstractItemModel * { return dialogList(); });
    layout->addWidget(m_editor, 1);
    m_highlighter = new ScriptHighlighter(m_editor);

    m_notice = new QLabel(content);
    m_notice->setWordWrap(true);
    m_notice->hide();
    layout->addWidget(m_notice);
    m_problems = new QListWidget(content);
    m_problems->setObjectName(QStringLiteral("ScriptProblems"));
    m_problems->setMaximumHeight(90);
    m_problems->hide();
    layout->addWidget(m_problems);
    setWidget(content);
    setFocusProxy(m_editor);
    m_editor->viewport()->installEventFilter(this);

    connect(m_applyButton, &QToolButton::clicked, this, &ScriptPane::applyRequested);
    connect(m_editor, &ScriptEditor::applyRequested, this, &ScriptPane::applyRequested);
    connect(m_editor->document(), &QTextDocument::modificationChanged, this,
            &ScriptPane::updateTitle);
    connect(m_editor, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        if (m_updating || !m_nodesValid)
            return;
        DialogNode *node = nodeAtCursor();
        if (node && node != m_cursorNode) {
            m_cursorNode = node;
            emit cursorNodeChanged(node);
        }
    });
    connect(m_problems, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        const int row = m_problems->row(item);
        if (row >= 0 && size_t(row) < m_errorPlaces.size()) {
            m_editor->setTextCursor(QTextCursor(m_errorPlaces[size_t(row)].block()));
            m_editor->setFocus();
        }
    });
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible)
            refresh();
    });
    updateTitle();
    connectTreeChanges(changes, this, [this] { documentChanged(); });
    // A new or opened document: the author agreed to drop what was typed, or nothing was.
    connect(changes, &QAbstractItemModel::modelReset, this, [this] { m_dropTyped = true; });
}

bool ScriptPane::hasUnappliedText() const
{
    return m_editor->document()->isModified();
}

QString ScriptPane::text() const
{
    return m_editor->toPlainText();
}

void ScriptPane::setUnappliedText(const QString &text)
{
    refresh();
    m_updating = true;
    QTextCursor all(m_editor->document());
    all.select(QTextCursor::Document);
    all.insertText(text);
    m_updating = false;
    m_editor->document()->setModified(true);
}

void ScriptPane::discardUnappliedText()
{
    m_dropTyped = true;
    documentChanged();
}

void ScriptPane::showApplied()
{
    clearErrors();
    discardUnappliedText();
    refresh();
}

void ScriptPane::documentChanged()
{
    m_stale = true;
    m_nodesValid = false;
    if (m_dialogs) {
        m_editor->completer()->setModel(nullptr);
        delete m_dialogs;
        m_dialogs = nullptr;
    }
    if (!m_refreshQueued && isVisible()) {
        m_refreshQueued = true;
        QTimer::singleShot(0, this, [this] {
            m_refreshQueued = false;
            refresh();
        });
    }
}

void ScriptPane::refresh()
{
    if (!m_stale)
        return;
    const Script written = ScriptWriter::write(DlgWriter::records(m_document));
    QStringList theirs;
    theirs.reserve(qsizetype(written.entries.size()) + 1);
    std::vector<DialogNode *> nodes;
    nodes.reserve(written.entries.size() + 1);
    for (const ScriptEntry &entry : written.entries) {
        theirs.append(Ansi::toUnicode(entry.text));
        nodes.push_back(entry.kind == ScriptEntry::WholeTree ? nullptr
                                                             : m_document.nodeAt(entry.firstNode));
    }
    // The line after the last, where new lines are typed.
    theirs.append(QString());
    nodes.push_back(nullptr);

    if (m_dropTyped || !hasUnappliedText()) {
        clearErrors();
        m_notice->hide();
        // Unless lines were typed, the view shows what was written last.
        setLines(m_dropTyped ? shownLines() : m_written, theirs, nodes, false);
        m_editor->document()->setModified(false);
    } else {
        const QStringList mine = shownLines();
        QHash<QString, int> table;
        const std::vector<int> base =
            LineDiff::numbered(std::vector<QString>(m_written.cbegin(), m_written.cend()), table);
        const std::vector<int> typed =
            LineDiff::numbered(std::vector<QString>(mine.cbegin(), mine.cend()), table);
        const std::vector<int> now =
            LineDiff::numbered(std::vector<QString>(theirs.cbegin(), theirs.cend()), table);
        const LineDiff::Merge merge = LineDiff::merge(base, typed, now);
        QStringList lines;
        std::vector<DialogNode *> lineNodes;
        for (const LineDiff::MergedLine &line : merge.lines) {
            lines.append(line.mine ? mine[line.index] : theirs[line.index]);
            lineNodes.push_back(line.mine ? nullptr : nodes[size_t(line.index)]);
        }
        if (merge.conflicts > 0) {
            m_notice->setText(QStringLiteral(
                "The dialog changed where the script was edited: the script's lines were kept "
                "there, and applying puts them over those changes."));
            m_notice->show();
        }
        setLines(mine, lines, lineNodes, true);
        m_editor->document()->setModified(lines != theirs);
    }
    // Typing undone past this point would undo the document's changes in the text only.
    m_editor->document()->clearUndoRedoStacks();
    m_written = theirs;
    m_stale = false;
    m_dropTyped = false;
    m_nodesValid = true;
    updateTitle();
}

QStringList ScriptPane::shownLines() const
{
    QStringList lines;
    lines.reserve(m_editor->document()->blockCount());
    for (QTextBlock block = m_editor->document()->begin(); block.isValid(); block = block.next())
        lines.append(block.text());
    return lines;
}

void ScriptPane::setLines(const QStringList &shownLinesNow, const QStringList &lines,
                          const std::vector<DialogNode *> &nodes, bool keepTyped)
{
    QTextDocument *document = m_editor->document();
    const int shown = document->blockCount();
    const QStringList shownNow = shownLinesNow.size() == shown ? shownLinesNow : shownLines();
    const int wanted = int(lines.size());
    int prefix = 0;
    while (prefix < shown && prefix < wanted && shownNow[prefix] == lines[prefix])
        ++prefix;
    int suffix = 0;
    while (suffix < shown - prefix && suffix < wanted - prefix &&
           shownNow[shown - 1 - suffix] == lines[wanted - 1 - suffix])
        ++suffix;
    QTextBlock block;

    m_updating = true;
    if (prefix + suffix < shown || prefix + suffix < wanted) {
        const QTextCursor was = m_editor->textCursor();
        const int wasLine = was.blockNumber();
        const int wasColumn = was.positionInBlock();
        const int end = shown - suffix;
        QString middle;
        QTextCursor edit(document);
        if (end < shown) {
            // Lines before a kept one: each ends in a line break.
            for (int i = prefix; i < wanted - suffix; ++i)
                middle += lines[i] + u'\n';
            edit.setPosition(document->findBlockByNumber(prefix).position());
            edit.setPosition(document->findBlockByNumber(end).position(), QTextCursor::KeepAnchor);
        } else {
            // The last lines: each begins with a line break after the line before.
            for (int i = prefix; i < wanted - suffix; ++i)
                middle += (i > 0 ? QStringLiteral("\n") : QString()) + lines[i];
            const QTextBlock before = document->findBlockByNumber(prefix - 1);
            edit.setPosition(prefix > 0 ? before.position() + before.length() - 1 : 0);
            edit.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        }
        edit.insertText(middle);
        // A cursor inside the lines that changed stays on its line.
        if (wasLine >= prefix && wasLine < end) {
            const QTextBlock line = document->findBlockByNumber(std::min(wasLine, wanted - 1));
            QTextCursor cursor(line);
            cursor.setPosition(line.position() + std::min(wasColumn, line.length() - 1));
            m_editor->setTextCursor(cursor);
        }
    }

    // Lines typed since keep the node they were written from while it is in the document.
    QSet<const DialogNode *> live;
    if (keepTyped)
        live = QSet<const DialogNode *>(nodes.begin(), nodes.end());
    size_t i = 0;
    for (block = document->begin(); block.isValid() && i < nodes.size();
         block = block.next(), ++i) {
        ScriptBlockData *data = ScriptBlockData::of(block);
        if (nodes[i] || !live.contains(data->node))
            data->node = nodes[i];
    }
    m_updating = false;
    m_cursorNode = nodeAtCursor();
}

void ScriptPane::showErrors(const std::vector<ScriptError> &errors)
{
    clearErrors();
    QTextDocument *document = m_editor->document();
    for (const ScriptError &error : errors) {
        const QTextBlock block = document->findBlockByNumber(error.line - 1);
        if (!block.isValid())
            continue;
        QString &reason = ScriptBlockData::of(block)->error;
        reason += (reason.isEmpty() ? QString() : QStringLiteral("; ")) + error.reason;
        m_problems->addItem(QStringLiteral("Line %1: %2").arg(error.line).arg(error.reason));
        m_errorPlaces.push_back(QTextCursor(block));
    }
    m_problems->setVisible(!m_errorPlaces.empty());
    markErrors();
    if (!m_errorPlaces.empty()) {
        m_editor->setTextCursor(m_errorPlaces.front());
        m_editor->ensureCursorVisible();
    }
}

void ScriptPane::clearErrors()
{
    for (const QTextCursor &place : m_errorPlaces) {
        if (auto *data = static_cast<ScriptBlockData *>(place.block().userData()))
            data->error.clear();
    }
    m_errorPlaces.clear();
    m_problems->clear();
    m_problems->hide();
    markErrors();
}

void ScriptPane::markErrors()
{
    QList<QTextEdit::ExtraSelection> marks;
    for (const QTextCursor &place : m_errorPlaces) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = place;
        mark.format.setBackground(QColor(0xFF, 0xE0, 0xE0));
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        marks.append(mark);
    }
    m_editor->setExtraSelections(marks);
}

bool ScriptPane::eventFilter(QObject *watched, QEvent *event)
{
    // An error line tells its reason under the mouse.
    if (watched == m_editor->viewport() && event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const ScriptBlockData *data =
            ScriptBlockData::at(m_editor->cursorForPosition(help->pos()).block());
        if (data && !data->error.isEmpty())
            QToolTip::showText(help->globalPos(), data->error, m_editor->viewport());
        else
            QToolTip::hideText();
        return true;
    }
    return QDockWidget::eventFilter(watched, event);
}

DialogNode *ScriptPane::nodeAtCursor() const
{
    if (!m_nodesValid)
        return nullptr;
    const ScriptBlockData *data = ScriptBlockData::at(m_editor->textCursor().block());
    return data ? data->node : nullptr;
}

void ScriptPane::showNode(const DialogNode *node)
{
    refresh();
    if (!m_nodesValid || !node)
        return;
    // A text dialog's type, speaker and text, and an answer's text, stand on their parent's line.
    for (const DialogNode *wanted : {node, static_cast<const DialogNode *>(node->parent())}) {
        for (QTextBlock block = m_editor->document()->begin(); block.isValid();
             block = block.next()) {
            const ScriptBlockData *data = ScriptBlockData::at(block);
            if (!data || data->node != wanted)
                continue;
            if (m_editor->textCursor().block() != block) {
                m_updating = true;
                m_editor->setTextCursor(QTextCursor(block));
                m_editor->ensureCursorVisible();
                m_updating = false;
                m_cursorNode = data->node;
            }
            return;
        }
        if (!wanted)
            return;
    }
}

QStandardItemModel *ScriptPane::dialogList()
{
    if (m_dialogs)
        return m_dialogs;
    m_dialogs = new QStandardItemModel(this);
    std::vector<std::pair<QString, const DialogNode *>> dialogs;
    for (int i = 0; i < m_document.count(); ++i) {
        const DialogNode *node = m_document.nodeAt(i);
        if (const int number = DialogNumbers::numberOf(node); number > 0)
            dialogs.emplace_back(QString::number(number), node);
    }
    // The list finds the number typed so far by halving: sorted as text.
    std::stable_sort(dialogs.begin(), dialogs.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    for (const auto &[number, node] : dialogs) {
        auto *item = new QStandardItem(number + QStringLiteral("  ") +
                                       DialogSummary::glance(node, kGlanceLength));
        item->setData(number, Qt::UserRole);
        item->setEditable(false);
        m_dialogs->appendRow(item);
    }
    return m_dialogs;
}

void ScriptPane::updateTitle()
{
    setWindowTitle(m_editor->document()->isModified() ? QStringLiteral("Script (not applied)")
                                                      : QStringLiteral("Script"));
}
