#include "document/node_text.h"
#include "persistence/dlg_file.h"
#include "persistence/dlg_writer.h"
#include "persistence/file_commands.h"
#include "persistence/recent_menu.h"
#include "persistence/recovery_controller.h"
#include "persistence/recovery_store.h"
#include "platform/qt_prompter.h"
#include "program/talmero_app.h"
#include "scripted_prompter.h"
#include "test_files.h"
#include "test_program.h"
#include "windows/main_window.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

namespace {

using Answer = Prompter::Answer;

struct Program : TestProgram
{
    QTemporaryDir documents;

    QString doc(const QString &name) const { return documents.filePath(name); }
    QStringList copies() const
    {
        return QDir(appData.path()).entryList({QStringLiteral("recovery-*.dlg")}, QDir::Files);
    }
    QByteArray bytes() { return DlgWriter::stream(mainWindow().document(), {}); }
    // A dialog with an action below it, as an author leaves it unsaved.
    void edit()
    {
        DialogTree &tree = mainWindow().document();
        DialogNode *dialog = addTextDialog(tree, nullptr, "Hello");
        tree.addChild(dialog, "Set Short gold = 1");
        mainWindow().Modified = true;
    }
    // Edits and waits for the recovery copy.
    void editAndWaitForTheCopy()
    {
        app->recovery().setInterval(0);
        edit();
        QTRY_COMPARE(copies().size(), 1);
    }
};

// What a program that was killed leaves in its recovery folder: the copy and its name, with
// their times, but no lock.
struct Left
{
    QString name;
    QByteArray bytes;
    QDateTime time;
};

QList<Left> leftBehind(const QString &folder)
{
    QList<Left> files;
    const QDir dir(folder);
    for (const QFileInfo &file : dir.entryInfoList({QStringLiteral("recovery-*")}, QDir::Files)) {
        if (file.suffix() != u"lock")
            files.append({file.fileName(), TestFiles::read(file.filePath()), file.lastModified()});
    }
    return files;
}

void layOut(const QList<Left> &files, const QString &folder)
{
    for (const Left &left : files) {
        QFile file(QDir(folder).filePath(left.name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(left.bytes);
        file.flush(); // a write after setting the time would stamp it anew
        QVERIFY(file.setFileTime(left.time, QFileDevice::FileModificationTime));
    }
}

} // namespace

class TestNoLostWork : public QObject
{
    Q_OBJECT

private slots:
    void crashedProgramsCopyIsRestored()
    {
        QList<Left> left;
        QByteArray document;
        QString saved;
        {
            Program crashed;
            crashed.start();
            saved = crashed.doc(QStringLiteral("story.dlg"));
            crashed.prompter.fileAnswers = {saved};
            crashed.mainWindow().saveAsAction->trigger();
            crashed.editAndWaitForTheCopy();
            document = crashed.bytes();
            left = leftBehind(crashed.appData.path());
            QCOMPARE(left.size(), 2);
        }

        Program next;
        layOut(left, next.appData.path());
        next.prompter.confirmAnswers = {true};
        next.start();
        const QString question = next.prompter.confirmations().value(0);
        QVERIFY2(question.startsWith(QStringLiteral("Talmero was not closed properly. Restore the "
                                                    "unsaved changes of \"story.dlg\" from ")),
                 qPrintable(question));
        QCOMPARE(next.prompter.shown.first().keepsWork, Answer::Yes);
        QCOMPARE(next.bytes(), document); // the action is there: no load clean-up
        QVERIFY(next.mainWindow().Modified);
        QCOMPARE(next.mainWindow().CurrentFileName, saved);
        QCOMPARE(next.mainWindow().windowTitle(), FileCommands::titleFor(saved));
        // The killed program's copy is gone; this program keeps its own from the start.
        QCOMPARE(next.copies().size(), 1);
        QVERIFY(!next.copies().contains(left.first().name));
        QVERIFY(!next.copies().contains(left.last().name));

        // A normal close removes the copy whatever the answer.
        next.prompter.confirmAnswers = {true};
        QVERIFY(next.mainWindow().close());
        next.app.reset();
        QVERIFY(next.copies().isEmpty());
    }

    void noDeletesTheCopyAndEachIsAskedNewestFirst()
    {
        QList<Left> left;
        for (const char *name : {"", "b.dlg"}) {
            Program crashed;
            crashed.start();
            crashed.mainWindow().CurrentFileName = QString::fromLatin1(name);
            crashed.editAndWaitForTheCopy();
            left += leftBehind(crashed.appData.path());
            QTest::qWait(50); // a newer time for the next copy
        }
        Program next;
        layOut(left, next.appData.path());
        next.prompter.confirmAnswers = {false, false};
        next.start();
        const QStringList asked = next.prompter.confirmations();
        QCOMPARE(asked.size(), 2);
        QVERIFY(asked[0].contains(QStringLiteral("\"b.dlg\"")));
        QVERIFY(asked[1].contains(QStringLiteral("\"Untitled\"")));
        QVERIFY(QDir(next.appData.path()).entryList(QDir::Files).size() == 1); // the lock
        QVERIFY(!next.mainWindow().Modified);
    }

    void copyOfARunningProgramIsNeverOffered()
    {
        QTemporaryDir folder;
        RecoveryStore running(folder.path());
        TestFiles::write(running.copyPath(), "copy");
        QVERIFY(running.setOriginalName(QStringLiteral("/a/b.dlg")));
        {
            RecoveryStore second(folder.path());
            QVERIFY(second.abandoned().isEmpty());
        }
        auto gone = std::make_unique<RecoveryStore>(folder.path());
        const QString path = gone->copyPath();
        TestFiles::write(path, "old copy");
        gone.reset(); // ends without discarding, as a crash does
        QList<RecoveryStore::Abandoned> found = running.abandoned();
        QCOMPARE(found.size(), 1);
        QCOMPARE(found[0].copyPath, path);
        QCOMPARE(found[0].originalName, QString());
        RecoveryStore::remove(found[0]);
        QVERIFY(!QFile::exists(path));
        QVERIFY(QFile::exists(running.copyPath()));
    }

    // What a crash, a full disk or another user may leave in the folder never hangs the start
    // nor gets opened: links and FIFOs go unread, a lock without its owner still lets its copy be
    // offered, a lock without a copy goes. The copies are the owner's only.
    void leftoversAreOfferedOrClearedWithoutOpeningThem()
    {
#ifdef Q_OS_WIN
        QSKIP("links and FIFOs are POSIX's");
#else
        QTemporaryDir base;
        const QString folder = base.filePath(QStringLiteral("recovery"));
        const auto at = [&](const char *name) { return folder + u'/' + QLatin1String(name); };
        RecoveryStore store(folder);
        TestFiles::write(store.copyPath(), "copy");
        store.protectCopy();
        QVERIFY(store.setOriginalName(QStringLiteral("a.dlg")));
        const auto others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                            QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        QCOMPARE(QFileInfo(folder).permissions() & others, QFile::Permissions());
        QCOMPARE(QFileInfo(store.copyPath()).permissions() & others, QFile::Permissions());

        const QString outside = base.filePath(QStringLiteral("outside.dlg"));
        TestFiles::write(outside, "not a copy");
        QVERIFY(QFile::link(outside, at("recovery-link.dlg")));
        QCOMPARE(::mkfifo(QFile::encodeName(at("recovery-fifo.dlg")).constData(), 0600), 0);
        TestFiles::write(at("recovery-emptylock.dlg"), "copy");
        TestFiles::write(at("recovery-emptylock.lock"), "");
        TestFiles::write(at("recovery-fifoname.dlg"), "copy");
        QCOMPARE(::mkfifo(QFile::encodeName(at("recovery-fifoname.name")).constData(), 0600), 0);
        TestFiles::write(at("recovery-gone.lock"), "");
        TestFiles::write(at("recovery-gone.name"), "gone.dlg");

        QList<RecoveryStore::Abandoned> found = store.abandoned();
        QCOMPARE(found.size(), 2);
        for (RecoveryStore::Abandoned &copy : found) {
            QVERIFY(copy.copyPath.endsWith(QStringLiteral("lock.dlg")) ||
                    copy.copyPath.endsWith(QStringLiteral("name.dlg")));
            QCOMPARE(copy.originalName, QString());
            RecoveryStore::release(copy);
        }
        for (const char *gone : {"recovery-link.dlg", "recovery-fifo.dlg", "recovery-gone.lock",
                                 "recovery-gone.name"}) {
            QVERIFY2(!QFileInfo(at(gone)).exists() && !QFileInfo(at(gone)).isSymLink(), gone);
        }
        QCOMPARE(TestFiles::read(outside), QByteArray("not a copy"));

        const QString longName = QString(500, u'n') + QStringLiteral(".dlg");
        const QString question = RecoveryController::restoreQuestion(longName, {});
        QVERIFY(question.contains(QString(199, u'n') + QChar(0x2026) + u'"'));
        QVERIFY(question.size() < 400);
#endif
    }

    void copyGoesAfterSaveNewAndOpen()
    {
        Program p;
        p.start();
        p.editAndWaitForTheCopy();
        p.prompter.fileAnswers = {p.doc(QStringLiteral("a.dlg"))};
        p.mainWindow().saveAction->trigger();
        QCOMPARE(p.copies().size(), 0);

        p.editAndWaitForTheCopy();
        p.prompter.confirmAnswers = {false};
        p.mainWindow().newAction->trigger();
        QCOMPARE(p.copies().size(), 0);

        p.editAndWaitForTheCopy();
        p.prompter.fileAnswers = {p.doc(QStringLiteral("a.dlg"))};
        p.prompter.confirmAnswers = {true};
        p.mainWindow().openAction->trigger();
        QCOMPARE(p.copies().size(), 0);
    }

    void unsavedChangeQuestionsKeepTheWork()
    {
        Program p;
        p.start();
        p.prompter.fileAnswers = {p.doc(QStringLiteral("a.dlg"))};
        p.mainWindow().saveAsAction->trigger();
        p.mainWindow().Modified = true;
        p.prompter.confirmAnswers = {false, false, false, false, false};
        p.mainWindow().saveChangesButton->click();
        p.prompter.fileAnswers = {p.doc(QStringLiteral("a.dlg"))};
        p.mainWindow().openAction->trigger();
        p.mainWindow().recentFileActions[0]->trigger();
        QVERIFY(!p.mainWindow().close());
        p.mainWindow().newAction->trigger();
        QList<std::optional<Answer>> keeps;
        for (const auto &shown : p.prompter.shown) {
            if (shown.kind == ScriptedPrompter::Shown::Confirm)
                keeps.append(shown.keepsWork);
        }
        QCOMPARE(keeps, (QList<std::optional<Answer>>{Answer::Yes, Answer::No, Answer::No,
                                                      Answer::No, Answer::Yes}));
    }

    void realBoxIgnoresEscapeAndDefaultsToTheKeepingAnswer_data()
    {
        QTest::addColumn<int>("keeps");
        QTest::newRow("Yes keeps") << int(Answer::Yes);
        QTest::newRow("No keeps") << int(Answer::No);
    }
    void realBoxIgnoresEscapeAndDefaultsToTheKeepingAnswer()
    {
        QFETCH(int, keeps);
        QtPrompter prompter(QStringLiteral("Talmero Basic"));
        bool escapedBoxStayed = false;
        QTimer::singleShot(0, [&] {
            QWidget *box = QApplication::activeModalWidget();
            QVERIFY(box);
            QTest::keyClick(box, Qt::Key_Escape);
            box->close();
            escapedBoxStayed = box->isVisible();
            QTest::keyClick(box, Qt::Key_Return);
        });
        const bool yes = prompter.confirmUnsaved(QStringLiteral("Question"), Answer(keeps));
        QVERIFY(escapedBoxStayed);
        QCOMPARE(yes, Answer(keeps) == Answer::Yes);
    }

    void savingOverAnExistingFileAsks()
    {
        Program p;
        p.start();
        TestFiles::write(p.doc(QStringLiteral("taken.dlg")), "precious");
        // Save As extends "taken" to the existing taken.dlg: No goes back to the dialog.
        p.prompter.fileAnswers = {p.doc(QStringLiteral("taken")), p.doc(QStringLiteral("free"))};
        p.prompter.confirmAnswers = {false};
        p.mainWindow().saveAsAction->trigger();
        QCOMPARE(p.prompter.confirmations(),
                 QStringList{FileCommands::replaceQuestion(p.doc(QStringLiteral("taken.dlg")))});
        QCOMPARE(p.prompter.shown.at(1).keepsWork, Answer::No);
        QCOMPARE(TestFiles::read(p.doc(QStringLiteral("taken.dlg"))), QByteArray("precious"));
        QCOMPARE(p.mainWindow().CurrentFileName, p.doc(QStringLiteral("free.dlg")));

        // Save of a document without a file asks the same; Yes replaces.
        p.mainWindow().newAction->trigger();
        p.prompter.fileAnswers = {p.doc(QStringLiteral("taken.dlg"))};
        p.prompter.confirmAnswers = {true};
        p.mainWindow().saveAction->trigger();
        QVERIFY(TestFiles::read(p.doc(QStringLiteral("taken.dlg"))).startsWith("TPF0"));
    }

    // Yes to a restore, then Enter (Yes) to whatever follows, leaves the restored work in the
    // document: the file the copy belongs to is not opened again, also under another path,
    // and another file only after a question whose Yes keeps the work. The copy, left in the
    // folder of an earlier version, becomes this program's own, so it is never gone while the
    // work is unsaved.
    void restoreIsNotUndoneByTheCommandLineFile_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<bool>("kept");
        QTest::newRow("its own file") << QStringLiteral("story.dlg") << QList<bool>{true} << true;
#ifndef Q_OS_WIN
        QTest::newRow("its file by a link")
            << QStringLiteral("link.dlg") << QList<bool>{true} << true;
#endif
        QTest::newRow("another file, Yes")
            << QStringLiteral("other.dlg") << QList<bool>{true, true} << true;
        QTest::newRow("another file, No")
            << QStringLiteral("other.dlg") << QList<bool>{true, false} << false;
    }
    void restoreIsNotUndoneByTheCommandLineFile()
    {
        QFETCH(QString, argument);
        QFETCH(QList<bool>, answers);
        QFETCH(bool, kept);
        Program crashed;
        crashed.start();
        const QString story = crashed.doc(QStringLiteral("story.dlg"));
        crashed.prompter.fileAnswers = {story};
        crashed.mainWindow().saveAsAction->trigger();
        DlgFile::save(crashed.mainWindow().document(), crashed.doc(QStringLiteral("other.dlg")),
                      {});
        QFile::link(story, crashed.doc(QStringLiteral("link.dlg")));
        crashed.editAndWaitForTheCopy();
        const QByteArray edited = crashed.bytes();
        const QList<Left> left = leftBehind(crashed.appData.path());

        QTemporaryDir old;
        layOut(left, old.path());
        Program next;
        next.olderRecoveryFolders = {old.path()};
        next.prompter.confirmAnswers = answers;
        next.start({crashed.doc(argument)});
        QVERIFY(next.prompter.confirmAnswers.isEmpty());
        QCOMPARE(next.bytes() == edited, kept);
        if (answers.size() > 1)
            QCOMPARE(next.prompter.confirmations().last(),
                     FileCommands::keepRestoredQuestion(story, crashed.doc(argument)));
        QCOMPARE(next.copies().size(), kept ? 1 : 0);
        QVERIFY(QDir(old.path()).entryList(QDir::Files).isEmpty());
        QCOMPARE(next.mainWindow().CurrentFileName, kept ? story : crashed.doc(argument));
    }

    // Unsaved work without a recovery copy is said on the window's line, and a Save that fails
    // as well says that nothing holds the changes.
    void copyThatCannotBeWrittenIsSaid()
    {
        Program p;
        TestFiles::write(p.appData.filePath(QStringLiteral("blocked")), "a file, not a folder");
        p.start();
        p.app.reset();
        p.app = std::make_unique<TalmeroApp>(ProgramFolder(p.folder.path()), p.prompter, p.shell,
                                             QStringList(),
                                             p.appData.filePath(QStringLiteral("blocked")));
        p.app->recovery().setInterval(0);
        p.edit();
        const auto notice = [&] {
            const auto *label = p.mainWindow().findChild<QLabel *>(QStringLiteral("noticeLabel"));
            return label ? label->text() : QString();
        };
        QTRY_VERIFY(!notice().isEmpty());
        QVERIFY2(notice().startsWith(
                     QStringLiteral("The unsaved changes have no recovery copy: the folder ")),
                 qPrintable(notice()));
        p.prompter.fileAnswers = {p.doc(QStringLiteral("missing/folder/a.dlg"))};
        p.mainWindow().saveAsAction->trigger();
        QVERIFY2(p.prompter.errors().value(0).contains(
                     QStringLiteral("The changes have no recovery copy either: the folder ")),
                 qPrintable(p.prompter.errors().value(0)));
    }

    void relativeCommandLineFileIsMadeAbsolute()
    {
        Program first;
        first.start();
        first.prompter.fileAnswers = {first.doc(QStringLiteral("story.dlg"))};
        first.mainWindow().saveAsAction->trigger();

        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(first.documents.path()));
        Program p;
        p.start({QStringLiteral("story.dlg")});
        QDir::setCurrent(previous);
        const QString full = QFileInfo(first.doc(QStringLiteral("story.dlg"))).absoluteFilePath();
        QCOMPARE(p.mainWindow().CurrentFileName, full);
        QCOMPARE(p.mainWindow().windowTitle(), FileCommands::titleFor(full));
        QCOMPARE(p.app->fileCommands().recentMenu().list().captions().first(),
                 QDir::toNativeSeparators(full));
    }
};

QTEST_MAIN(TestNoLostWork)
#include "test_no_lost_work.moc"
