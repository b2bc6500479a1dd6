#include "read_through_window.h"

#include "platform/ansi.h"
#include "platform/named.h"
#include "windows/close_controls.h"
#include "windows/tree_changes.h"

#include <QAbstractItemModel>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

QString escaped(const QByteArray &bytes)
{
    return Ansi::toUnicode(bytes).toHtmlEscaped();
}

// A dialog text keeps its line breaks as backslash and "n".
QString withLineBreaks(const QByteArray &text)
{
    return escaped(text).replace(QStringLiteral("\\n"), QStringLiteral("<br>"));
}

} // namespace

ReadThroughWindow::ReadThroughWindow(const DialogTree &tree, QAbstractItemModel *changes,
                                     Select select, QWidget *parent)
    : QWidget(parent, Qt::Window), m_reader(tree), m_select(std::move(select))
{
    setObjectName(QStringLiteral("ReadThroughWindow"));
    setWindowTitle(QStringLiteral("Read through"));
    resize(520, 560);
    auto *layout = new QVBoxLayout(this);
    m_transcript = named(new QTextBrowser(this), "Transcript");
    layout->addWidget(m_transcript, 1);
    auto *answers = named(new QWidget(this), "Answers");
    m_answerLayout = new QVBoxLayout(answers);
    m_answerLayout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(answers);

    auto *row = new QHBoxLayout;
    m_status = named(new QLabel(this), "ReadThroughStatus");
    auto *restartButton = named(new QPushButton(QStringLiteral("Restart"), this), "Restart");
    m_showInTree = named(new QPushButton(QStringLiteral("Show in tree"), this), "ShowInTree");
    row->addWidget(m_status, 1);
    row->addWidget(restartButton);
    row->addWidget(m_showInTree);
    addCloseControls(this, row);
    layout->addLayout(row);

    connect(restartButton, &QPushButton::clicked, this, &ReadThroughWindow::restart);
    connect(m_showInTree, &QPushButton::clicked, this, [this] {
        if (m_reader.currentDialog())
            m_select(m_reader.currentDialog());
    });
    // Another document (New, Open) is read from its start, once it is all there.
    connect(changes, &QAbstractItemModel::modelReset, this, [this] {
        if (isVisible())
            QMetaObject::invokeMethod(this, &ReadThroughWindow::restart, Qt::QueuedConnection);
    });
    connectTreeChanges(changes, this, [this] {
        if (!m_reader.currentDialog())
            return;
        m_reader.invalidate(QStringLiteral("The dialog tree was changed; Restart reads it again."));
        render();
    });
}

void ReadThroughWindow::restart()
{
    m_transcript->clear();
    m_rendered = 0;
    m_reader.restart();
    render();
}

void ReadThroughWindow::choose(int index)
{
    m_reader.choose(index);
    render();
}

void ReadThroughWindow::render()
{
    const auto &entries = m_reader.transcript();
    for (; m_rendered < entries.size(); ++m_rendered)
        m_transcript->append(html(entries[m_rendered]));

    // The clicked button may be among them: it goes once its click is handled.
    for (QPushButton *button : std::as_const(m_answerButtons)) {
        button->hide();
        button->deleteLater();
    }
    m_answerButtons.clear();
    const auto &answers = m_reader.answers();
    for (int i = 0; i < int(answers.size()); ++i) {
        const QString caption = Ansi::toUnicode(answers[size_t(i)].number) + QStringLiteral(": ") +
                                Ansi::toUnicode(answers[size_t(i)].text);
        auto *button = new QPushButton(caption, m_answerLayout->parentWidget());
        button->setObjectName(QStringLiteral("Answer%1").arg(i + 1));
        connect(button, &QPushButton::clicked, this, [this, i] { choose(i); });
        m_answerLayout->addWidget(button);
        m_answerButtons.append(button);
    }
    switch (m_reader.state()) {
    case ReadThrough::State::Choosing:
        m_status->setText(QStringLiteral("Choose an answer."));
        break;
    case ReadThrough::State::Ended:
        m_status->setText(QStringLiteral("The conversation has ended."));
        break;
    case ReadThrough::State::Stopped:
        m_status->setText(QStringLiteral("The read-through stopped."));
        break;
    }
    m_showInTree->setEnabled(m_reader.currentDialog() != nullptr);
}

// Styles sit on spans: the format of an appended paragraph would pass on to the next one.
QString ReadThroughWindow::html(const ReadThrough::Entry &entry) const
{
    switch (entry.kind) {
    case ReadThrough::Entry::Reached:
        return QStringLiteral(
                   "<p><span style=\"background-color:#ffd966\">&nbsp;<b>%1</b>&nbsp;</span></p>")
            .arg(escaped(entry.subject));
    case ReadThrough::Entry::Speech:
        return QStringLiteral("<p><b>%1:</b> %2</p>")
            .arg(escaped(entry.subject), withLineBreaks(entry.text));
    case ReadThrough::Entry::Action:
        return QStringLiteral("<p><span style=\"color:#505050\"><i>%1</i> &mdash; %2</span></p>")
            .arg(escaped(entry.subject), entry.note.toHtmlEscaped());
    case ReadThrough::Entry::Answer:
        return QStringLiteral("<p><span style=\"color:#0645ad\">&rarr; %1: %2</span></p>")
            .arg(escaped(entry.subject), escaped(entry.text));
    case ReadThrough::Entry::Note:
        return QStringLiteral("<p><span style=\"color:#505050\"><i>%1</i></span></p>")
            .arg(entry.note.toHtmlEscaped());
    case ReadThrough::Entry::Stop:
        return QStringLiteral("<p><span style=\"color:#b00000\"><b>Stopped:</b> %1</span></p>")
            .arg(entry.note.toHtmlEscaped());
    case ReadThrough::Entry::End:
        return QStringLiteral("<p><b>End of the conversation.</b></p>");
    }
    return QString();
}
