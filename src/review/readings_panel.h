#pragma once

#include <QWidget>

class Prompter;
class QLabel;
class QPushButton;
class QTreeWidget;
class ReadingsReplayer;

// The saved readings of the document, beside the read-through: each with its start and
// whether it still gives its transcript; a reading that differs shows its first difference
// side by side. While the panel is shown, the readings replay after every edit.
class ReadingsPanel : public QWidget
{
    Q_OBJECT
public:
    ReadingsPanel(ReadingsReplayer &replayer, Prompter &prompter, QWidget *parent = nullptr);

    QTreeWidget *readingList() const { return m_list; }
    QTreeWidget *difference() const { return m_difference; }
    // The name of the selected reading; empty when none is.
    QString selectedName() const;

signals:
    // The author wants to see the reading in the transcript.
    void replayRequested(const QString &name);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void fill();
    void showOutcomes();
    void showDifference();
    void acceptSelected();
    void removeSelected();

    ReadingsReplayer &m_replayer;
    Prompter &m_prompter;
    QTreeWidget *m_list;
    QTreeWidget *m_difference;
    QLabel *m_summary;
    QPushButton *m_replay;
    QPushButton *m_accept;
    QPushButton *m_remove;
};
