#pragma once

#include <QString>
#include <optional>

// One file dialog of the program. The dialog is known by its name (see ObjectNames) so that it
// can remember the last file chosen in it, as each dialog of the program does.
struct FileDialogRequest
{
    enum Kind { Open, Save };
    Kind kind = Open;
    QString name;          // the dialog's name
    QString filterText;    // shown text, e.g. "*.dlg"
    QString filterPattern; // pattern, e.g. "*.dlg"
    QString initialFolder; // empty: the platform's choice
    // A whole path to propose: the dialog starts in its folder with its name filled in, ahead
    // of the last file chosen in it. Empty: none.
    QString proposedFile;

    // The file beside documentFile named after it: its folder, its name without the extension,
    // then ending ("Castle.dlg" and ".pot" give "Castle.pot"); empty for a document without a
    // file.
    static QString besideDocument(const QString &documentFile, const QString &ending);
};

// What the font dialog hands back.
struct FontChoice
{
    QString family;
    int pointSize = 8;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    int charset = 1; // the default character set
};

// Every modal interaction of the program goes through this interface: the Qt implementation
// shows the real boxes and dialogs, the tests' implementation scripts the answers and records
// every text shown.
class Prompter
{
public:
    virtual ~Prompter();

    // A plain message box: the application's title as caption, no icon, one OK button.
    virtual void message(const QString &text) = 0;
    // A confirmation box titled "Confirm", question icon, Yes and No. True for Yes.
    virtual bool confirm(const QString &text) = 0;
    // The answers of a confirmation box.
    enum class Answer { Yes, No };
    // A confirmation box about unsaved changes. keepsWork is the answer that keeps the work: it
    // is the default button, and Escape or the close button never choose the other one (they
    // do nothing). True for Yes.
    virtual bool confirmUnsaved(const QString &text, Answer keepsWork);
    // The top-level error report: error icon, the application's title, the text with the
    // period rule of AppError::boxText.
    virtual void error(const QString &text) = 0;
    // A file dialog; nothing when the user cancels.
    virtual std::optional<QString> chooseFile(const FileDialogRequest &request) = 0;
    // The named file dialog takes fileName as its current file name, as when a command extends
    // the name chosen in it; the dialog's next showing starts on it.
    virtual void keepFileName(const QString &dialogName, const QString &fileName) = 0;
    // An input box with one edit field of at most maxLength characters; nothing on Cancel.
    virtual std::optional<QString> inputText(const QString &caption, const QString &prompt,
                                             const QString &initial, int maxLength) = 0;
    // The font dialog, starting on current; nothing on Cancel.
    virtual std::optional<FontChoice> chooseFont(const FontChoice &current, bool trueTypeOnly) = 0;
    // The colour dialog, starting on initial (0xRRGGBB); nothing on Cancel.
    virtual std::optional<quint32> chooseColor(quint32 initial) = 0;

    // Text bound for a document must fit its code page: when a character does not, the author
    // is told which one, and the caller changes nothing. True when text was refused.
    bool refuseUnrepresentable(const QString &text);
};
