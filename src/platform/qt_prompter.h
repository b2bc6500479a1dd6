#pragma once

#include "platform/prompter.h"

#include <QHash>

class QWidget;

// The real boxes and dialogs: the application's title as caption, no icon and OK for messages;
// "Confirm", question icon, Yes and No for questions; the error box with its period rule.
class QtPrompter : public Prompter
{
public:
    explicit QtPrompter(QString applicationTitle);

    // The window the boxes belong to (the active window when none).
    void setOwner(QWidget *owner) { m_owner = owner; }

    void message(const QString &text) override;
    bool confirm(const QString &text) override;
    bool confirmUnsaved(const QString &text, Answer keepsWork) override;
    void error(const QString &text) override;
    std::optional<QString> chooseFile(const FileDialogRequest &request) override;
    void keepFileName(const QString &dialogName, const QString &fileName) override;
    // The dialog's filter: its text exactly as the program names it, and the pattern.
    static QString nameFilter(const FileDialogRequest &request);
    std::optional<QString> inputText(const QString &caption, const QString &prompt,
                                     const QString &initial, int maxLength) override;
    std::optional<FontChoice> chooseFont(const FontChoice &current, bool trueTypeOnly) override;
    std::optional<quint32> chooseColor(quint32 initial) override;

private:
    QWidget *owner() const;

    QString m_title;
    QWidget *m_owner = nullptr;
    QHash<QString, QString> m_lastFiles; // per dialog name: the last file chosen in it
    quint32 m_lastColor = 0;             // the colour dialog opens on the colour last chosen
};
