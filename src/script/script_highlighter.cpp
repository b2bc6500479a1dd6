#include "script_highlighter.h"

#include "script_block_data.h"
#include "script_editor.h"
#include "spelling/spell_dictionary.h"
#include "spelling/spelling_highlighter.h"

#include <QRegularExpression>
#include <QTextDocument>
#include <QTextLayout>

namespace {

QTextCharFormat coloured(QRgb rgb, bool bold = false, bool italic = false)
{
    QTextCharFormat format;
    format.setForeground(QColor(rgb));
    if (bold)
        format.setFontWeight(QFont::Bold);
    format.setFontItalic(italic);
    return format;
}

struct Formats
{
    QTextCharFormat label = coloured(0x1F4E9E, true);
    QTextCharFormat player = coloured(0x2E7D32, true);
    QTextCharFormat entity = coloured(0x8E24AA, true);
    QTextCharFormat answer = coloured(0xB35C00, true);
    QTextCharFormat action = coloured(0x00796B);
    QTextCharFormat config = coloured(0x5F6B7A);
    QTextCharFormat node = coloured(0x757575, false, true);
    QTextCharFormat misspelled = SpellingHighlighter::misspelledFormat();
};

// A line's parts: its label, speaker or answer number, and from where its text begins (-1 when
// it has no text of an author).
const QRegularExpression &dialogLine()
{
    static const QRegularExpression pattern(
        QStringLiteral("^ *(Dialog\\d+ )?(?:(Player:|Entity:)|(choice)$)"));
    return pattern;
}

const QRegularExpression &answerLine()
{
    static const QRegularExpression pattern(QStringLiteral("^ *(\\d+\\.)"));
    return pattern;
}

const QRegularExpression &otherLine()
{
    static const QRegularExpression pattern(
        QStringLiteral("^ *(?:(Goto|Delete|Set|Call)|(Config = )|([|@]))"));
    return pattern;
}

} // namespace

ScriptHighlighter::ScriptHighlighter(ScriptEditor *editor) : QObject(editor), m_editor(editor)
{
    // Every change of the text asks for the lines on screen to be drawn again, before they are.
    connect(editor, &QPlainTextEdit::updateRequest, this, [this] { colourShown(); });
}

void ScriptHighlighter::setDictionary(std::function<std::shared_ptr<SpellDictionary>()> dictionary)
{
    m_dictionary = std::move(dictionary);
    recolour();
}

void ScriptHighlighter::recolour()
{
    ++m_generation;
    colourShown();
}

void ScriptHighlighter::colourShown()
{
    for (QTextBlock block = m_editor->firstShownBlock();
         block.isValid() && m_editor->isShown(block); block = block.next())
        colour(block);
}

void ScriptHighlighter::colour(QTextBlock block)
{
    ScriptBlockData *data = ScriptBlockData::of(block);
    if (m_colouring ||
        (data->colouredRevision == block.revision() && data->colouredGeneration == m_generation))
        return;
    m_colouring = true;
    data->colouredRevision = block.revision();
    data->colouredGeneration = m_generation;

    static const Formats formats;
    const QString text = block.text();
    QList<QTextLayout::FormatRange> ranges;
    const auto mark = [&ranges](qsizetype start, qsizetype end, const QTextCharFormat &format) {
        if (end > start)
            ranges.append({int(start), int(end - start), format});
    };
    qsizetype spoken = -1;
    if (const QRegularExpressionMatch m = dialogLine().match(text); m.hasMatch()) {
        mark(m.capturedStart(1), m.capturedEnd(1), formats.label);
        mark(m.capturedStart(2), m.capturedEnd(2),
             m.captured(2).startsWith(u'P') ? formats.player : formats.entity);
        mark(m.capturedStart(3), m.capturedEnd(3), formats.answer);
        spoken = m.capturedLength(2) > 0 ? m.capturedEnd(2) : -1;
    } else if (const QRegularExpressionMatch a = answerLine().match(text); a.hasMatch()) {
        mark(a.capturedStart(1), a.capturedEnd(1), formats.answer);
        spoken = a.capturedEnd(1);
    } else if (const QRegularExpressionMatch o = otherLine().match(text); o.hasMatch()) {
        const QTextCharFormat &format =
            o.capturedLength(1) > 0 ? formats.action
                                    : (o.capturedLength(2) > 0 ? formats.config : formats.node);
        qsizetype first = 0;
        while (text[first] == u' ')
            ++first;
        mark(first, text.size(), format);
    }
    const std::shared_ptr<SpellDictionary> dictionary = m_dictionary ? m_dictionary() : nullptr;
    if (dictionary && spoken >= 0) {
        for (const SpellingWords::Span &span :
             SpellingHighlighter::misspelled(*dictionary, QStringView(text).sliced(spoken)))
            mark(spoken + span.start, spoken + span.start + span.length, formats.misspelled);
    }
    block.layout()->setFormats(ranges);
    m_editor->document()->markContentsDirty(block.position(), block.length());
    m_colouring = false;
}
