#pragma once

#include "document/read_through.h"
#include "readings/reading_start.h"

#include <QWidget>
#include <functional>

class DialogTree;
class GameStatePanel;
class Prompter;
class QAbstractItemModel;
class QLabel;
class QPushButton;
class QTabWidget;
class QTextBrowser;
class QVBoxLayout;
class ReadingsPanel;
class ReadingsReplayer;

// Shows a read-through of the document as a transcript, with a button per answer when a choice
// dialog waits, and beside it the state the reading has built and the saved readings. The
// reading itself is ReadThrough's; this window only renders it. Any change of the tree stops
// the reading, since it may have removed the nodes the reading stands on. The newest line of
// the transcript is always in view.
class ReadThroughWindow : public QWidget
{
    Q_OBJECT
public:
    using Select = std::function<void(const DialogNode *)>;

    ReadThroughWindow(const DialogTree &tree, QAbstractItemModel *changes,
                      ReadingsReplayer &readings, Prompter &prompter, Select select,
                      QWidget *parent = nullptr);

    // Reads again from where the last reading started, with the start state of the panel.
    void restart();
    // Reads from dialog (none: Dialog1) with the start state of the panel. False when the
    // start state was refused; the author has been told why.
    bool readFrom(const DialogNode *dialog);
    // Shows a saved reading in the transcript, its start state in the panel.
    void replayReading(const QString &name);
    // Asks for a name and keeps the reading shown as a saved reading.
    void saveReading();

    const ReadThrough &reader() const { return m_reader; }
    QTextBrowser *transcript() const { return m_transcript; }
    GameStatePanel *statePanel() const { return m_state; }
    ReadingsPanel *readingsPanel() const { return m_readings; }
    QTabWidget *tabs() const { return m_tabs; }
    // The answer buttons now offered, in the order of the choice dialog's choices.
    QList<QPushButton *> answerButtons() const { return m_answerButtons; }

private:
    // Where the start state comes from: the panel, the panel with a state that no longer fits
    // dropped instead of refused, or the start as given.
    enum class StartState { Panel, PanelOrNone, Given };
    bool begin(const ReadingStart &start, const QList<QByteArray> &answers, StartState state);
    void choose(int index);
    void render();
    QString html(const ReadThrough::Entry &entry) const;

    const DialogTree &m_tree;
    ReadThrough m_reader;
    ReadingsReplayer &m_replayer;
    Prompter &m_prompter;
    Select m_select;
    ReadingStart m_start;
    bool m_invalidated = false;
    QTextBrowser *m_transcript;
    QVBoxLayout *m_answerLayout;
    QList<QPushButton *> m_answerButtons;
    QTabWidget *m_tabs;
    GameStatePanel *m_state;
    ReadingsPanel *m_readings;
    QLabel *m_status;
    QPushButton *m_showInTree;
    size_t m_rendered = 0;
};
