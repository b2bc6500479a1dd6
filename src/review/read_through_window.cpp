#include "read_through_window.h"

#include "document/reading_lines.h"
#include "platform/ansi.h"
#include "platform/app_error.h"
#include "platform/named.h"
#include "platform/prompter.h"
#include "readings/reading_replay.h"
#include "readings/saved_readings.h"
#include "review/game_state_panel.h"
#include "review/readings_panel.h"
#include "review/readings_replayer.h"
#include "windows/close_controls.h"
#include "windows/tree_changes.h"

#include <QAbstractItemModel>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
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

QString label(const QByteArray &text)
{
    return QStringLiteral("<span style=\"background-color:#ffd966\">&nbsp;<b>%1</b>&nbsp;</span>")
        .arg(escaped(text));
}

} // namespace

ReadThroughWindow::ReadThroughWindow(const DialogTree &tree, QAbstractItemModel *changes,
                                     ReadingsReplayer &readings, Prompter &prompter, Select select,
                                     QWidget *parent)
    : QWidget(parent, Qt::Window), m_tree(tree), m_reader(tree), m_replayer(readings),
      m_prompter(prompter), m_select(std::move(select))
{
    setObjectName(QStringLiteral("ReadThroughWindow"));
    setWindowTitle(QStringLiteral("Read through"));
    resize(920, 600);
    auto *layout = new QVBoxLayout(this);
    auto *splitter = new QSplitter(Qt::Horizontal, this);
    auto *reading = new QWidget(splitter);
    auto *readingLayout = new QVBoxLayout(reading);
    readingLayout->setContentsMargins(0, 0, 0, 0);
    m_transcript = named(new QTextBrowser(reading), "Transcript");
    readingLayout->addWidget(m_transcript, 1);
    auto *answers = named(new QWidget(reading), "Answers");
    m_answerLayout = new QVBoxLayout(answers);
    m_answerLayout->setContentsMargins(0, 0, 0, 0);
    readingLayout->addWidget(answers);
    m_tabs = named(new QTabWidget(splitter), "ReadThroughTabs");
    m_state = named(new GameStatePanel(m_tabs), "StatePanel");
    m_readings = named(new ReadingsPanel(readings, prompter, m_tabs), "ReadingsPanel");
    m_tabs->addTab(m_state, QStringLiteral("S&tate"));
    m_tabs->addTab(m_readings, QStringLiteral("Saved rea&dings"));
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    layout->addWidget(splitter, 1);

    auto *row = new QHBoxLayout;
    m_status = named(new QLabel(this), "ReadThroughStatus");
    auto *restartButton = named(new QPushButton(QStringLiteral("Restart"), this), "Restart");
    auto *saveButton =
        named(new QPushButton(QStringLiteral("Sa&ve reading..."), this), "SaveReading");
    m_showInTree = named(new QPushButton(QStringLiteral("Show in tree"), this), "ShowInTree");
    row->addWidget(m_status, 1);
    row->addWidget(restartButton);
    row->addWidget(saveButton);
    row->addWidget(m_showInTree);
    addCloseControls(this, row);
    layout->addLayout(row);

    // New lines go at the end: keep the end in view, also when the answers take room from it.
    QScrollBar *bar = m_transcript->verticalScrollBar();
    connect(bar, &QScrollBar::rangeChanged, this, [bar](int, int end) { bar->setValue(end); });
    connect(restartButton, &QPushButton::clicked, this, &ReadThroughWindow::restart);
    connect(saveButton, &QPushButton::clicked, this, &ReadThroughWindow::saveReading);
    connect(m_showInTree, &QPushButton::clicked, this, [this] {
        if (m_reader.currentDialog())
            m_select(m_reader.currentDialog());
    });
    connect(m_readings, &ReadingsPanel::replayRequested, this, &ReadThroughWindow::replayReading);
    // Another document (New, Open) is read from its start, once it is all there.
    connect(changes, &QAbstractItemModel::modelReset, this, [this] {
        if (isVisible())
            QMetaObject::invokeMethod(
                this, [this] { begin(ReadingStart(), {}, StartState::PanelOrNone); },
                Qt::QueuedConnection);
    });
    connectTreeChanges(changes, this, [this] {
        if (m_invalidated)
            return;
        m_invalidated = true;
        m_reader.invalidate(QStringLiteral("The dialog tree was changed; Restart reads it again."));
        render();
    });
}

void ReadThroughWindow::restart()
{
    begin(m_start, {}, StartState::Panel);
}

bool ReadThroughWindow::readFrom(const DialogNode *dialog)
{
    ReadingStart start;
    if (dialog)
        start.from = DialogRef::of(dialog);
    return begin(start, {}, StartState::Panel);
}

bool ReadThroughWindow::begin(const ReadingStart &start, const QList<QByteArray> &answers,
                              StartState state)
{
    ReadingStart taken = start;
    const QString refusal = state == StartState::Given
                                ? QString()
                                : taken.takeLines(m_state->startState()->toPlainText(), m_tree);
    if (!refusal.isEmpty()) {
        if (state == StartState::Panel) {
            m_prompter.message(refusal);
            return false;
        }
        taken = ReadingStart();
        taken.from = start.from;
    }
    m_start = taken;
    m_invalidated = false;
    m_transcript->clear();
    m_rendered = 0;
    ReadingReplay(m_tree).play(m_reader, m_start, answers);
    render();
    return true;
}

void ReadThroughWindow::replayReading(const QString &name)
{
    const SavedReading *reading = m_replayer.readings().find(name);
    if (!reading)
        return;
    const SavedReading saved = *reading;
    m_state->startState()->setPlainText(saved.start.lines());
    begin(saved.start, saved.answers, StartState::Given);
    m_replayer.replay(name);
}

void ReadThroughWindow::saveReading()
{
    if (m_invalidated || m_reader.transcript().empty()) {
        m_prompter.message(QStringLiteral("There is no reading to save: the dialog tree was "
                                          "changed since it started. Restart reads it again."));
        return;
    }
    if (!m_replayer.hasFile()) {
        m_prompter.message(QStringLiteral("Save the dialog first: its readings are kept in a "
                                          "file beside it."));
        return;
    }
    const std::optional<QString> name = m_prompter.inputText(
        QStringLiteral("Save reading"), QStringLiteral("Name of the reading:"), QString(), 100);
    if (!name)
        return;
    const QString problem = SavedReadings::nameProblem(*name);
    if (!problem.isEmpty()) {
        m_prompter.message(problem);
        return;
    }
    if (m_replayer.readings().find(*name) &&
        !m_prompter.confirm(
            QStringLiteral("A reading named \"%1\" is saved already. Replace it?").arg(*name)))
        return;
    SavedReading reading{*name, m_start, {}, ReadingLines::lines(m_reader).text};
    for (const ReadThrough::Answer &answer : m_reader.answersTaken())
        reading.answers.append(answer.number);
    try {
        m_replayer.put(std::move(reading));
    } catch (const AppError &e) {
        m_prompter.error(e.text());
    }
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
    // After an edit the state's nodes may be gone: it stays as it was last shown.
    if (!m_invalidated)
        m_state->show(m_reader.game());
}

// Styles sit on spans: the format of an appended paragraph would pass on to the next one.
QString ReadThroughWindow::html(const ReadThrough::Entry &entry) const
{
    switch (entry.kind) {
    case ReadThrough::Entry::Said:
        return QStringLiteral("<p>%1</p><p><b>%2:</b> %3</p>")
            .arg(label(entry.label), escaped(entry.subject), withLineBreaks(entry.text));
    case ReadThrough::Entry::Choice:
        return QStringLiteral("<p>%1 <i>choice</i></p>").arg(label(entry.label));
    case ReadThrough::Entry::Offer:
        return QStringLiteral("<p><span style=\"color:#505050\">&nbsp;&nbsp;%1. %2</span></p>")
            .arg(escaped(entry.subject), escaped(entry.text));
    case ReadThrough::Entry::Action:
        return QStringLiteral("<p><span style=\"color:#505050\"><i>%1</i> &rarr; %2</span></p>")
            .arg(escaped(entry.subject), escaped(entry.text));
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
