#include "scripted_prompter.h"

#include <QTest>

namespace {

template <typename T> T take(QList<T> &answers, const char *what)
{
    if (answers.isEmpty()) {
        QTest::qFail(
            qPrintable(QStringLiteral("no scripted answer for %1").arg(QLatin1String(what))),
            __FILE__, __LINE__);
        return T{};
    }
    return answers.takeFirst();
}

} // namespace

void ScriptedPrompter::message(const QString &text)
{
    shown.append({Shown::Message, text});
}

bool ScriptedPrompter::confirm(const QString &text)
{
    shown.append({Shown::Confirm, text});
    return take(confirmAnswers, "a confirmation");
}

bool ScriptedPrompter::confirmUnsaved(const QString &text, Answer keepsWork)
{
    shown.append({Shown::Confirm, text, keepsWork});
    if (whileAsking)
        whileAsking();
    return take(confirmAnswers, "a confirmation");
}

void ScriptedPrompter::error(const QString &text)
{
    shown.append({Shown::Error, text});
}

std::optional<QString> ScriptedPrompter::chooseFile(const FileDialogRequest &request)
{
    shown.append({Shown::File, request.name});
    fileRequests.append(request);
    return take(fileAnswers, "a file dialog");
}

void ScriptedPrompter::keepFileName(const QString &dialogName, const QString &fileName)
{
    keptFileNames.append({dialogName, fileName});
}

std::optional<QString> ScriptedPrompter::inputText(const QString &caption, const QString &prompt,
                                                   const QString &initial, int maxLength)
{
    shown.append({Shown::Input, caption});
    inputInitials.append(initial);
    inputPrompts.append(prompt);
    inputMaxLengths.append(maxLength);
    return take(inputAnswers, "an input box");
}

std::optional<FontChoice> ScriptedPrompter::chooseFont(const FontChoice &current, bool)
{
    shown.append({Shown::Font, current.family});
    fontInitials.append(current);
    return take(fontAnswers, "a font dialog");
}

std::optional<quint32> ScriptedPrompter::chooseColor(quint32 initial)
{
    shown.append({Shown::Color, QString::number(initial, 16)});
    colorInitials.append(initial);
    return take(colorAnswers, "a colour dialog");
}

static QStringList textsOf(const QList<ScriptedPrompter::Shown> &shown,
                           ScriptedPrompter::Shown::Kind kind)
{
    QStringList texts;
    for (const auto &s : shown) {
        if (s.kind == kind)
            texts.append(s.text);
    }
    return texts;
}

QStringList ScriptedPrompter::messages() const
{
    return textsOf(shown, Shown::Message);
}

QStringList ScriptedPrompter::confirmations() const
{
    return textsOf(shown, Shown::Confirm);
}

QStringList ScriptedPrompter::errors() const
{
    return textsOf(shown, Shown::Error);
}

void ScriptedPrompter::clear()
{
    shown.clear();
    fileRequests.clear();
    keptFileNames.clear();
    inputInitials.clear();
    inputPrompts.clear();
    inputMaxLengths.clear();
    fontInitials.clear();
    colorInitials.clear();
}
