#pragma once

#include "document/dialog_edits.h"

#include <QObject>
#include <functional>

class DialogNode;
class MainWindow;

// The four action tabs of the main window: a variable operation, a function call, a goto or a
// delete action is added as the last child of the selected text dialog. The delete tab's choice
// number field follows the dialog number field. The tabs work while Options > "Enable actions"
// is checked, a choice kept per user; off, they stay greyed.
class ActionCommands : public QObject
{
    Q_OBJECT
public:
    explicit ActionCommands(MainWindow &window);

    void addVariableOperation();
    void addFunctionCall();
    void addGotoAction();
    void addDeleteAction();
    // The choice number field is enabled while the dialog number names a choice dialog.
    void enableChoiceForDialog();
    // Enables or disables the four tabs' groups.
    void enableActions(bool enabled);

private:
    // One action add as a step named after the action it added; a refusal is shown. True
    // when an action was added.
    bool addAction(const std::function<DialogEdits::Outcome(DialogEdits &)> &add);

    MainWindow &m_window;
};
