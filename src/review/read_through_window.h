#pragma once

#include "document/read_through.h"

#include <QWidget>
#include <functional>

class DialogTree;
class QAbstractItemModel;
class QLabel;
class QPushButton;
class QTextBrowser;
class QVBoxLayout;

// Shows a read-through of the document as a transcript, with a button per answer when a choice
// dialog waits. The reading itself is ReadThrough's; this window only renders it. Any change of
// the tree stops the reading, since it may have removed the nodes the reading stands on.
class ReadThroughWindow : public QWidget
{
    Q_OBJECT
public:
    using Select = std::function<void(const DialogNode *)>;

    ReadThroughWindow(const DialogTree &tree, QAbstractItemModel *changes, Select select,
                      QWidget *parent = nullptr);

    // Reads from Dialog1 again.
    void restart();
    const ReadThrough &reader() const { return m_reader; }
    QTextBrowser *transcript() const { return m_transcript; }
    // The answer buttons now offered, in the order of the choice dialog's choices.
    QList<QPushButton *> answerButtons() const { return m_answerButtons; }

private:
    void choose(int index);
    void render();
    QString html(const ReadThrough::Entry &entry) const;

    ReadThrough m_reader;
    Select m_select;
    QTextBrowser *m_transcript;
    QVBoxLayout *m_answerLayout;
    QList<QPushButton *> m_answerButtons;
    QLabel *m_status;
    QPushButton *m_showInTree;
    size_t m_rendered = 0;
};
