#pragma once

#include <QObject>

class MainWindow;
class QAction;

// File > "Export texts for translation..." and "Make translated copy...": the document's
// texts as a PO template, and a copy of the document with a PO file's translations, as
// talmero-cli strings does.
class TranslationCommands : public QObject
{
    Q_OBJECT
public:
    explicit TranslationCommands(MainWindow &window);

    QAction *exportTextsAction;
    QAction *translatedCopyAction;

    void exportTexts();
    void makeTranslatedCopy();

private:
    MainWindow &m_window;
};
