#include "platform/program_folder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <optional>
#ifndef Q_OS_WIN
#include <unistd.h>
#endif

class TestProgramFolder : public QObject
{
    Q_OBJECT

private:
    // Each test starts from an empty folder.
    std::optional<QTemporaryDir> m_dir;

    QString made(const QString &relative) const
    {
        QDir(m_dir->path()).mkpath(QFileInfo(relative).path());
        QFile file(m_dir->filePath(relative));
        return file.open(QIODevice::WriteOnly) ? file.fileName() : QString();
    }
    QString folder(const QString &relative) const { return m_dir->filePath(relative) + u'/'; }

private slots:
    void init() { QVERIFY(m_dir.emplace().isValid()); }

    void writableFolderIsPortable()
    {
        QVERIFY(QDir().mkpath(folder(QStringLiteral("app"))));
        const ProgramFolder again =
            ProgramFolder::choose(folder(QStringLiteral("app")), folder(QStringLiteral("user")));
        QVERIFY(!again.isInstalled());
        QCOMPARE(again.userFile(QStringLiteral("Recent.txt")),
                 folder(QStringLiteral("app")) + QStringLiteral("Recent.txt"));
        QVERIFY(!QFileInfo::exists(folder(QStringLiteral("user"))));
    }

    void markerBesideTheExecutableInstalls()
    {
        made(QStringLiteral("app/installed.txt"));
        const ProgramFolder chosen =
            ProgramFolder::choose(folder(QStringLiteral("app")), folder(QStringLiteral("user")));
        QVERIFY(chosen.isInstalled());
        QCOMPARE(chosen.shippedFile(QStringLiteral("Configs/")),
                 folder(QStringLiteral("app")) + QStringLiteral("Configs/"));
        // The user's folders are made on first use.
        QCOMPARE(chosen.userFile(QStringLiteral("Fonts/temp.bmp")),
                 folder(QStringLiteral("user")) + QStringLiteral("Fonts/temp.bmp"));
        QVERIFY(QFileInfo(folder(QStringLiteral("user/Fonts"))).isDir());
        QCOMPARE(chosen.userFile(QStringLiteral("Projects/")),
                 folder(QStringLiteral("user/Projects")));
        QVERIFY(QFileInfo(folder(QStringLiteral("user/Projects"))).isDir());
        QVERIFY(chosen.description().contains(
            QDir::toNativeSeparators(folder(QStringLiteral("user")))));
    }

    void sharedDataBesideTheBinFolderInstalls()
    {
        made(QStringLiteral("usr/share/talmero/installed.txt"));
        QVERIFY(QDir().mkpath(folder(QStringLiteral("usr/bin"))));
        const ProgramFolder chosen = ProgramFolder::choose(folder(QStringLiteral("usr/bin")),
                                                           folder(QStringLiteral("user")));
        QVERIFY(chosen.isInstalled());
        QCOMPARE(chosen.path(), folder(QStringLiteral("usr/share/talmero")));
        QCOMPARE(chosen.userPath(), folder(QStringLiteral("user")));
    }

    void runtimeFilesPreferTheUsersCopy()
    {
        made(QStringLiteral("app/installed.txt"));
        const ProgramFolder chosen =
            ProgramFolder::choose(folder(QStringLiteral("app")), folder(QStringLiteral("user")));
        QCOMPARE(chosen.runtimeFile(QStringLiteral("bin/Dialog.dll")),
                 folder(QStringLiteral("user/bin")) + QStringLiteral("Dialog.dll"));
        const QString shipped = made(QStringLiteral("app/bin/Dialog.dll"));
        QCOMPARE(chosen.runtimeFile(QStringLiteral("bin/Dialog.dll")), shipped);
        const QString own = made(QStringLiteral("user/bin/Dialog.dll"));
        QCOMPARE(chosen.runtimeFile(QStringLiteral("bin/Dialog.dll")), own);
    }

    void readOnlyFolderInstalls()
    {
#ifdef Q_OS_WIN
        QSKIP("POSIX permissions");
#else
        if (geteuid() == 0)
            QSKIP("root writes every folder");
        const QString app = folder(QStringLiteral("app"));
        QVERIFY(QDir().mkpath(app));
        QVERIFY(QFile::setPermissions(app, QFile::ReadOwner | QFile::ExeOwner));
        const ProgramFolder chosen = ProgramFolder::choose(app, folder(QStringLiteral("user")));
        QFile::setPermissions(app, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(chosen.isInstalled());
        QCOMPARE(chosen.path(), app);
#endif
    }
};

QTEST_GUILESS_MAIN(TestProgramFolder)
#include "test_program_folder.moc"
