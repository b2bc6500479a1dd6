#include "prompter.h"

#include "ansi.h"

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
