#include "prompter.h"

Prompter::~Prompter() = default;

bool Prompter::confirmUnsaved(const QString &text, Answer)
{
    return confirm(text);
}
