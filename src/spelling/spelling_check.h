#pragma once

#include "document/dialog_check.h"

#include <QString>
#include <functional>
#include <vector>

// The spelling of the texts an author wrote (the part after "Text = " of dialog texts and
// answers); labels, types, numbers and actions are never looked at. The texts are taken on the
// tree's thread; the check itself needs no tree and may run on another thread.
namespace SpellingCheck {

// The author's texts with the dialogs that hold them, message empty.
std::vector<CheckFinding> snapshot(const DialogTree &tree);
// One finding per misspelled word: "\"wrod\" is not in the en_US dictionary".
std::vector<CheckFinding> check(const std::vector<CheckFinding> &texts,
                                const std::function<bool(const QString &)> &isCorrect,
                                const QString &language);
// The text as the author sees it, line breaks real.
QString authorText(const QByteArray &nodeText);

} // namespace SpellingCheck
