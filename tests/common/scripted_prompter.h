#pragma once

#include "platform/prompter.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// The tests' prompter: answers come from queues set up by the test, and every box shown is
// recorded. A box without a scripted answer fails the running test.
class ScriptedPrompter : public Prompter
{
public:
    struct Shown
    {
        enum Kind { Message, Confirm, Error, File, Input, Font, Color };
        Kind kind;
        QString text; // message text, or the dialog's name / caption
        // For a question about unsaved changes: the answer it names as keeping the work.
        std::optional<Answer> keepsWork;
    };

    void message(const QString &text) override;
    bool confirm(const QString &text) override;
    bool confirmUnsaved(const QString &text, Answer keepsWork) override;
    void error(const QString &text) override;
    std::optional<QString> chooseFile(const FileDialogRequest &request) override;
    void keepFileName(const QString &dialogName, const QString &fileName) override;
    std::optional<QString> inputText(const QString &caption, const QString &prompt,
                                     const QString &initial, int maxLength) override;
    std::optional<FontChoice> chooseFont(const FontChoice &current, bool trueTypeOnly) override;
    std::optional<quint32> chooseColor(quint32 initial) override;

    // Runs while a question is open, before its scripted answer is taken: what happens to the
    // program while the author has not answered yet.
    std::function<void()> whileAsking;

    // Scripted answers, taken first in, first out.
    QList<bool> confirmAnswers;
    QList<std::optional<QString>> fileAnswers;
    QList<std::optional<QString>> inputAnswers;
    QList<std::optional<FontChoice>> fontAnswers;
    QList<std::optional<quint32>> colorAnswers;

    // What was shown, in order.
    QList<Shown> shown;
    QList<FileDialogRequest> fileRequests;
    QList<QPair<QString, QString>> keptFileNames; // dialog name, file name
    QStringList inputInitials;
    QStringList inputPrompts;
    QList<int> inputMaxLengths;
    QList<FontChoice> fontInitials;
    QList<quint32> colorInitials;

    QStringList messages() const;
    QStringList confirmations() const;
    QStringList errors() const;
    void clear();
};
