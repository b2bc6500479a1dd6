#pragma once

#include <QList>
#include <QStringView>

// The words of an author's text that a spelling check looks at: runs of letters, with an
// apostrophe between letters kept inside ("don't"). Runs touching a digit or an underscore
// ("R2D2", "gold_1") are names, not words, and are left out.
namespace SpellingWords {

struct Span
{
    qsizetype start = 0;
    qsizetype length = 0;
};

QList<Span> in(QStringView text);

} // namespace SpellingWords
