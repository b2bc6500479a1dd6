#pragma once

#include <QObject>
#include <QTextBlock>
#include <functional>
#include <memory>

class ScriptEditor;
class SpellDictionary;

// The colours of the script view: labels, speakers, answers, actions and node lines, and the
// underline of misspelled words in the texts. Only lines on screen are coloured, each once
// after it changed, so a keystroke costs the same on a long script as on a short one.
class ScriptHighlighter : public QObject
{
    Q_OBJECT
public:
    explicit ScriptHighlighter(ScriptEditor *editor);

    // The dictionary of the moment; none: nothing is underlined.
    void setDictionary(std::function<std::shared_ptr<SpellDictionary>()> dictionary);
    // The dictionary or its words changed: every line is coloured again when shown.
    void recolour();

private:
    void colourShown();
    void colour(QTextBlock block);

    ScriptEditor *m_editor;
    std::function<std::shared_ptr<SpellDictionary>()> m_dictionary;
    int m_generation = 0;
    bool m_colouring = false;
};
