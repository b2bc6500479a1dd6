#include "recovery_controller.h"

#include "persistence/dlg_file.h"
#include "persistence/file_commands.h"
#include "platform/app_error.h"
#include "platform/bounded_file.h"
#include "windows/main_window.h"

#include <QBuffer>
#include <QFileInfo>
#include <QLocale>

namespace {

// Far above any conversation, still a size the program can hold.
const qint64 kLargestCopy = qint64(512) * 1024 * 1024;

} // namespace

RecoveryController::RecoveryController(MainWindow &window, FileCommands &files,
                                       const QString &folder, const QStringList &olderFolders)
    : m_window(window), m_files(files), m_store(folder, olderFolders)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(30 * 1000);
    connect(&m_timer, &QTimer::timeout, this, &RecoveryController::writeCopy);
    m_window.document().addObserver(this);
    m_files.setSaveFailureNote([this] {
        return m_problem.isEmpty()
                   ? QString()
                   : QStringLiteral("The changes have no recovery copy either: ") + m_problem;
    });
}

RecoveryController::~RecoveryController()
{
    m_files.setSaveFailureNote(nullptr);
    m_window.document().removeObserver(this);
    if (!m_keep)
        m_store.discard();
}

void RecoveryController::keepForNextStart()
{
    m_timer.stop();
    writeCopy();
    m_keep = m_window.Modified;
}

QString RecoveryController::keepForEnd()
{
    if (m_ending)
        return QString();
    m_timer.stop();
    const QString why = writeCopy();
    if (!why.isEmpty()) {
        m_window.tellLater(QStringLiteral("Talmero was asked to end, but the unsaved changes "
                                          "cannot be kept for the next start: %1\nTalmero goes "
                                          "on running. Save the changes (File > Save As), then "
                                          "close it.")
                               .arg(AppError::boxText(why)));
        return why;
    }
    m_keep = m_ending = true;
    m_store.handOver();
    return QString();
}

QString RecoveryController::restoreQuestion(const QString &originalName, const QDateTime &written)
{
    QString name =
        originalName.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(originalName).fileName();
    // The name comes from a file anyone could have left: it must not swamp the question.
    const qsizetype longest = 200;
    if (name.size() > longest)
        name = name.left(longest - 1) + QChar(0x2026);
    return QStringLiteral("Talmero was not closed properly. Restore the unsaved changes of \"%1\" "
                          "from %2? No discards them.")
        .arg(name, QLocale::system().toString(written.toLocalTime(), QLocale::ShortFormat));
}

void RecoveryController::documentChanged()
{
    // Not restarted by later changes, so a copy follows at most one interval after any change.
    if (!m_timer.isActive() && !m_ending)
        m_timer.start();
}

void RecoveryController::changesGone()
{
    if (m_ending)
        return;
    m_timer.stop();
    m_store.discard();
    setProblem(QString());
}

QString RecoveryController::writeCopy()
{
    if (m_ending)
        return QString();
    if (!m_window.Modified) {
        m_store.discard();
        setProblem(QString());
        return QString();
    }
    QString why;
    const QString path = m_store.copyPath();
    if (path.isEmpty()) {
        why = m_store.problem();
    } else {
        why = m_store.writePart(QStringLiteral("name"), m_window.CurrentFileName.toUtf8());
        try {
            if (why.isEmpty()) {
                m_files.save(path);
                m_store.protectCopy();
            }
        } catch (const AppError &error) {
            why = error.text();
        }
    }
    setProblem(why);
    return why;
}

void RecoveryController::setProblem(const QString &problem)
{
    if (problem == m_problem)
        return;
    m_problem = problem;
    // Not a box every half minute: a line that stays while the work has no copy.
    m_window.showNotice(problem.isEmpty()
                            ? QString()
                            : QStringLiteral("The unsaved changes have no recovery copy: ") +
                                  AppError::boxText(problem) +
                                  QStringLiteral(" Save them to keep them."));
}

bool RecoveryController::offerAbandoned()
{
    QList<RecoveryStore::Abandoned> copies = m_store.abandoned();
    bool restored = false;
    for (RecoveryStore::Abandoned &copy : copies) {
        if (restored || m_ending) {
            RecoveryStore::release(copy);
            continue;
        }
        const bool yes = m_window.prompter().confirmUnsaved(
            restoreQuestion(copy.originalName, copy.written), Prompter::Answer::Yes);
        // A question ended by a signal answered nothing: the copy stays for the next start.
        if (m_ending)
            RecoveryStore::release(copy);
        else if (!yes)
            RecoveryStore::remove(copy);
        else
            restored = restore(copy);
    }
    return restored;
}

bool RecoveryController::restore(RecoveryStore::Abandoned &copy)
{
    bool done = false;
    m_window.guarded([&] {
        // Read without following a link or waiting on a FIFO that took the copy's place.
        BoundedFile::Result bytes = BoundedFile::readOwn(copy.copyPath, kLargestCopy);
        if (!bytes.ok())
            throw AppError::cannotOpen(copy.copyPath, bytes.reason);
        QBuffer buffer(&bytes.bytes);
        buffer.open(QIODevice::ReadOnly);
        DlgFile::read(m_window.document(), buffer);
        if (!copy.originalName.isEmpty())
            m_window.setWindowTitle(FileCommands::titleFor(copy.originalName));
        m_window.CurrentFileName = copy.originalName;
        emit m_files.documentOpened();
        m_window.Modified = true;
        done = true;
    });
    if (!done) {
        RecoveryStore::release(copy);
        return false;
    }
    // The copy becomes this program's own, so the work is never without one; where it cannot
    // be moved, this program writes its own first.
    m_timer.stop();
    if (m_store.adopt(copy))
        setProblem(QString());
    else if (writeCopy().isEmpty())
        RecoveryStore::remove(copy);
    else
        RecoveryStore::release(copy);
    return true;
}
