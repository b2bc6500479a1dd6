#include "qt_prompter.h"

#include "platform/app_error.h"
#include "platform/native_path.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

namespace {

// A question whose one answer throws work away: Escape and the window's close button leave it
// open instead of picking the No button, as a message box does by itself.
class ProtectingBox : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->matches(QKeySequence::Cancel))
            return;
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent *event) override { event->ignore(); }
};

} // namespace

QtPrompter::QtPrompter(QString applicationTitle) : m_title(std::move(applicationTitle)) {}

QWidget *QtPrompter::owner() const
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return m_owner ? m_owner : QApplication::activeWindow();
}

void QtPrompter::message(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, m_title, text, QMessageBox::Ok, owner());
    box.exec();
}

bool QtPrompter::confirm(const QString &text)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text,
                    QMessageBox::Yes | QMessageBox::No, owner());
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

bool QtPrompter::confirmUnsaved(const QString &text, Answer keepsWork)
{
    ProtectingBox box(QMessageBox::Question, QStringLiteral("Confirm"), text,
                      QMessageBox::Yes | QMessageBox::No, owner());
    box.setDefaultButton(keepsWork == Answer::Yes ? QMessageBox::Yes : QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void QtPrompter::error(const QString &text)
{
    QMessageBox box(QMessageBox::Critical, m_title, AppError::boxText(text), QMessageBox::Ok,
                    owner());
    box.exec();
}

std::optional<QString> QtPrompter::chooseFile(const FileDialogRequest &request)
{
    QFileDialog dialog(owner());
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(request.kind == FileDialogRequest::Save ? QFileDialog::AcceptSave
                                                                 : QFileDialog::AcceptOpen);
    // Neither kind checks that the file exists or can be written: the command that uses the
    // name reports what goes wrong.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(nameFilter(request));
    const QString last = m_lastFiles.value(request.name);
    if (!request.proposedFile.isEmpty())
        dialog.selectFile(request.proposedFile);
    else if (!last.isEmpty())
        dialog.selectFile(last);
    else if (!request.initialFolder.isEmpty())
        dialog.setDirectory(request.initialFolder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    // The program shows and stores paths with the platform's own separators.
    const QString chosen = nativePath(dialog.selectedFiles().first());
    m_lastFiles.insert(request.name, chosen);
    return chosen;
}

QString QtPrompter::nameFilter(const FileDialogRequest &request)
{
    // A filter without parentheses is shown exactly as written and is its own pattern.
    if (request.filterText == request.filterPattern)
        return request.filterPattern;
    return request.filterText + QStringLiteral(" (") + request.filterPattern + u')';
}

void QtPrompter::keepFileName(const QString &dialogName, const QString &fileName)
{
    m_lastFiles.insert(dialogName, fileName);
}

std::optional<QString> QtPrompter::inputText(const QString &caption, const QString &prompt,
                                             const QString &initial, int maxLength)
{
    QDialog dialog(owner());
    dialog.setWindowTitle(caption);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(prompt, &dialog));
    auto *edit = new QLineEdit(initial, &dialog);
    edit->setMaxLength(maxLength);
    edit->selectAll();
    layout->addWidget(edit);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return edit->text();
}

std::optional<FontChoice> QtPrompter::chooseFont(const FontChoice &current, bool trueTypeOnly)
{
    QFont font(current.family, current.pointSize);
    font.setBold(current.bold);
    font.setItalic(current.italic);
    font.setUnderline(current.underline);
    font.setStrikeOut(current.strikeout);
    // Qt's font dialog lists outline (scalable) fonts when asked for TrueType ones only.
    QFontDialog::FontDialogOptions options;
    if (trueTypeOnly)
        options |= QFontDialog::ScalableFonts;
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, owner(), QString(), options);
    if (!ok)
        return std::nullopt;
    FontChoice choice = current;
    choice.family = chosen.family();
    choice.pointSize = chosen.pointSize() > 0 ? chosen.pointSize() : current.pointSize;
    choice.bold = chosen.bold();
    choice.italic = chosen.italic();
    choice.underline = chosen.underline();
    choice.strikeout = chosen.strikeOut();
    return choice;
}

std::optional<quint32> QtPrompter::chooseColor(quint32)
{
    const QColor chosen = QColorDialog::getColor(QColor::fromRgb(m_lastColor), owner());
    if (!chosen.isValid())
        return std::nullopt;
    m_lastColor = chosen.rgb() & 0xFFFFFF;
    return m_lastColor;
}
