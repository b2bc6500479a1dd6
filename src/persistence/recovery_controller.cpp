#include "recovery_controller.h"

#include "persistence/dlg_file.h"
#include "persistence/file_commands.h"
#include "platform/app_error.h"
#include "platform/bounded_file.h"
#include "windows/main_window.h"

#include <QBuffer>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>

namespace {

// Far above any conversation, still a size the program can hold.
const qint64 kLargestCopy = qint64(512) * 1024 * 1024;

} // namespace

RecoveryController::RecoveryController(MainWindow &window, FileCommands &files,
                                       const QString &folder)
    : m_window(window), m_files(files), m_store(folder)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(30 * 1000);
    connect(&m_timer, &QTimer::timeout, this, &RecoveryController::writeCopy);
    m_window.document().addObserver(this);
}

RecoveryController::~RecoveryController()
{
    m_window.document().removeObserver(this);
    if (!m_keep)
        m_store.discard();
}

void RecoveryController::addPart(Part part)
{
    m_parts.push_back(std::move(part));
}

bool RecoveryController::hasUnsavedWork() const
{
    return m_window.Modified || std::any_of(m_parts.begin(), m_parts.end(), [](const Part &part) {
               return !part.bytes().isEmpty();
           });
}

void RecoveryController::keepForNextStart()
{
    m_timer.stop();
    writeCopy();
    m_keep = hasUnsavedWork();
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
                          "from %2?")
        .arg(name, QLocale::system().toString(written.toLocalTime(), QLocale::ShortFormat));
}

void RecoveryController::documentChanged()
{
    // Not restarted by later changes, so a copy follows at most one interval after any change.
    if (!m_timer.isActive())
        m_timer.start();
}

void RecoveryController::changesGone()
{
    m_timer.stop();
    if (hasUnsavedWork())
        writeCopy();
    else
        m_store.discard();
}

void RecoveryController::writeCopy()
{
    if (!hasUnsavedWork()) {
        m_store.discard();
        return;
    }
    const QString path = m_store.copyPath();
    // A copy that cannot be written is not worth a box every half minute: the author still has
    // Save, which reports its errors.
    if (path.isEmpty() || !m_store.setOriginalName(m_window.CurrentFileName))
        return;
    try {
        m_files.save(path);
        m_store.protectCopy();
        for (const Part &part : m_parts)
            m_store.writePart(part.name, part.bytes());
    } catch (const AppError &) {
    }
}

void RecoveryController::offerAbandoned()
{
    QList<RecoveryStore::Abandoned> copies = m_store.abandoned();
    bool restored = false;
    for (RecoveryStore::Abandoned &copy : copies) {
        if (restored) {
            RecoveryStore::release(copy);
            continue;
        }
        if (!m_window.prompter().confirmUnsaved(restoreQuestion(copy.originalName, copy.written),
                                                Prompter::Answer::Yes)) {
            RecoveryStore::remove(copy);
        } else if (restore(copy)) {
            RecoveryStore::remove(copy);
            restored = true;
        } else {
            RecoveryStore::release(copy);
        }
    }
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
        for (const Part &part : m_parts) {
            if (const QByteArray bytes = copy.part(part.name, kLargestCopy); !bytes.isEmpty())
                part.restore(bytes);
        }
        done = true;
    });
    if (done) {
        // The changes are this program's now: its own copy keeps them from the start.
        m_timer.stop();
        writeCopy();
    }
    return done;
}
