#include "find_replace_window.h"

#include "platform/named.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

FindReplaceWindow::FindReplaceWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FindReplaceWindow"));
    setWindowTitle(QStringLiteral("Find and Replace"));
    setModal(false);

    // Made in tab order: the find field first, Tab goes on to the replacement.
    findField = named(new QLineEdit(this), "FindField");
    replaceField = named(new QLineEdit(this), "ReplaceField");
    matchCaseCheck = named(new QCheckBox(QStringLiteral("Match case"), this), "MatchCaseCheck");
    wholeWordsCheck = named(new QCheckBox(QStringLiteral("Whole words"), this), "WholeWordsCheck");
    findNextButton = named(new QPushButton(QStringLiteral("&Find next"), this), "FindNextButton");
    replaceButton = named(new QPushButton(QStringLiteral("&Replace"), this), "ReplaceButton");
    replaceAllButton =
        named(new QPushButton(QStringLiteral("Replace &all"), this), "ReplaceAllButton");
    closeButton = named(new QPushButton(QStringLiteral("Close"), this), "CloseButton");
    statusLabel = named(new QLabel(this), "FindReplaceStatus");
    statusLabel->setWordWrap(true);
    // Enter in either field finds the next match.
    findNextButton->setDefault(true);

    auto *findLabel = new QLabel(QStringLiteral("Fi&nd what:"), this);
    findLabel->setBuddy(findField);
    auto *replaceLabel = new QLabel(QStringLiteral("Replace w&ith:"), this);
    replaceLabel->setBuddy(replaceField);

    auto *grid = new QGridLayout(this);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(findField, 0, 1);
    grid->addWidget(replaceLabel, 1, 0);
    grid->addWidget(replaceField, 1, 1);
    auto *options = new QVBoxLayout;
    options->addWidget(matchCaseCheck);
    options->addWidget(wholeWordsCheck);
    options->addStretch(1);
    grid->addLayout(options, 2, 1);
    auto *buttons = new QVBoxLayout;
    for (QPushButton *button : {findNextButton, replaceButton, replaceAllButton, closeButton})
        buttons->addWidget(button);
    buttons->addStretch(1);
    grid->addLayout(buttons, 0, 2, 3, 1);
    grid->addWidget(statusLabel, 3, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(1, 240);

    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    // What the status says belongs to the text it was said about.
    connect(findField, &QLineEdit::textChanged, statusLabel, &QLabel::clear);
}

void FindReplaceWindow::focusFindField()
{
    findField->setFocus(Qt::ShortcutFocusReason);
    findField->selectAll();
}

void FindReplaceWindow::showStatus(const QString &text)
{
    statusLabel->setText(text);
}
