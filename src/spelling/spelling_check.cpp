#include "spelling_check.h"

#include "document/dialog_tree.h"
#include "spelling_words.h"
#include "translation/text_catalog.h"

#include <QHash>

namespace SpellingCheck {

QString authorText(const QByteArray &nodeText)
{
    return TextCatalog::sourceOf(nodeText);
}

std::vector<CheckFinding> snapshot(const DialogTree &tree)
{
    std::vector<CheckFinding> texts;
    for (int i = 0; i < tree.count(); ++i) {
        const DialogNode *node = tree.nodeAt(i);
        if (TextCatalog::isAuthorText(node->text()))
            texts.push_back(DialogCheck::finding(node, QString()));
    }
    return texts;
}

std::vector<CheckFinding> check(const std::vector<CheckFinding> &texts,
                                const std::function<bool(const QString &)> &isCorrect,
                                const QString &language)
{
    std::vector<CheckFinding> findings;
    // Conversations repeat their words: each is looked up once.
    QHash<QString, bool> known;
    for (const CheckFinding &text : texts) {
        const QString body = authorText(text.nodeText);
        for (const SpellingWords::Span &span : SpellingWords::in(body)) {
            const QString word = body.mid(span.start, span.length);
            auto found = known.constFind(word);
            if (found == known.constEnd())
                found = known.insert(word, isCorrect(word));
            if (*found)
                continue;
            CheckFinding finding = text;
            finding.message =
                QStringLiteral("\"%1\" is not in the %2 dictionary").arg(word, language);
            finding.word = word;
            findings.push_back(std::move(finding));
        }
    }
    return findings;
}

} // namespace SpellingCheck
