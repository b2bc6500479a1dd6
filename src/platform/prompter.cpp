#include "prompter.h"

#include "ansi.h"

#include <QDir>
#include <QFileInfo>

QString FileDialogRequest::besideDocument(const QString &documentFile, const QString &ending)
{
    if (documentFile.isEmpty())
        return QString();
    const QFileInfo document(documentFile);
    return document.dir().filePath(document.completeBaseName() + ending);
}

Prompter::~Prompter() = default;

bool Prompter::confirmUnsaved(const QString &text, Answer)
{
    return confirm(text);
}

bool Prompter::refuseUnrepresentable(const QString &text)
{
    const QString character = Ansi::firstUnrepresentable(text);
    if (character.isEmpty())
        return false;
    message(Ansi::unrepresentableText(character));
    return true;
}
