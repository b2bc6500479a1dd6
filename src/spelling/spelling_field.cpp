#include "spelling_field.h"

#include "spell_dictionary.h"
#include "spelling_menu.h"

#include <QEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QTextLayout>

SpellingField::SpellingField(QLineEdit *field, AuthorPart authorPart)
    : QWidget(field), m_field(field), m_authorPart(std::move(authorPart))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(field->rect());
    field->installEventFilter(this);
    // The field scrolls its text with the cursor, so the underline moves with it.
    connect(field, &QLineEdit::textChanged, this, qOverload<>(&QWidget::update));
    connect(field, &QLineEdit::cursorPositionChanged, this, qOverload<>(&QWidget::update));
    field->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(field, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        QMenu *menu = contextMenu(pos);
        menu->exec(m_field->mapToGlobal(pos));
        delete menu;
    });
    show();
}

void SpellingField::setDictionary(std::shared_ptr<SpellDictionary> dictionary)
{
    m_dictionary = std::move(dictionary);
    update();
}

QList<SpellingWords::Span> SpellingField::misspelled() const
{
    QList<SpellingWords::Span> words;
    const QString text = m_field->text();
    const qsizetype start = m_dictionary ? m_authorPart(text) : -1;
    if (start < 0)
        return words;
    for (SpellingWords::Span span : SpellingWords::in(QStringView(text).sliced(start))) {
        span.start += start;
        if (!m_dictionary->isCorrect(text.mid(span.start, span.length)))
            words.append(span);
    }
    return words;
}

SpellingWords::Span SpellingField::wordAt(qsizetype position) const
{
    for (const SpellingWords::Span &span : misspelled()) {
        if (position >= span.start && position <= span.start + span.length)
            return span;
    }
    return {};
}

QMenu *SpellingField::contextMenu(const QPoint &pos)
{
    QMenu *menu = m_field->createStandardContextMenu();
    const SpellingWords::Span span = wordAt(m_field->cursorPositionAt(pos));
    if (span.length == 0)
        return menu;
    const QString word = m_field->text().mid(span.start, span.length);
    SpellingMenu::addWordItems(
        menu, menu->actions().value(0), *m_dictionary, word,
        // The field's own editing, so that its undo takes the suggestion back.
        [this, span](const QString &suggestion) {
            m_field->setSelection(int(span.start), int(span.length));
            m_field->insert(suggestion);
        },
        [this, word] { emit wordAdded(word); });
    return menu;
}

bool SpellingField::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_field && event->type() == QEvent::Resize)
        setGeometry(m_field->rect());
    return QWidget::eventFilter(watched, event);
}

void SpellingField::paintEvent(QPaintEvent *)
{
    const QList<SpellingWords::Span> words = misspelled();
    if (words.isEmpty() || m_field->echoMode() != QLineEdit::Normal)
        return;
    // The field tells where its cursor stands on screen (a rectangle centred on it); the text's
    // own layout tells where each character stands from the text's start.
    QTextLayout layout(m_field->text(), m_field->font());
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    const QRect cursor = m_field->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const qreal origin =
        cursor.x() + cursor.width() / 2.0 - line.cursorToX(m_field->cursorPosition());
    const int baseline = cursor.y() + m_field->fontMetrics().ascent() + 2;

    QPainter painter(this);
    painter.setClipRect(m_field->rect().marginsRemoved(m_field->textMargins()));
    painter.setPen(QPen(Qt::red, 1));
    for (const SpellingWords::Span &span : words) {
        const int left = qRound(origin + line.cursorToX(int(span.start)));
        const int right = qRound(origin + line.cursorToX(int(span.start + span.length)));
        // A wave of two-pixel steps, as the text box draws its spelling underline.
        QPolygon wave;
        for (int x = left, i = 0; x <= right; x += 2, ++i)
            wave << QPoint(x, baseline + (i % 2));
        painter.drawPolyline(wave);
    }
}
