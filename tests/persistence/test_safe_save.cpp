#include "platform/safe_save_file.h"
#include "test_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

bool save(const QString &path, const QByteArray &bytes)
{
    SafeSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

class TestSafeSave : public QObject
{
    Q_OBJECT

private slots:
    void linkIsFollowedAndStays()
    {
#ifdef Q_OS_WIN
        QSKIP("QFile::link makes a shortcut on Windows, not a link");
#else
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("real.dlg"));
        const QString link = dir.filePath(QStringLiteral("link.dlg"));
        TestFiles::write(target, "old");
        QVERIFY(QFile::link(target, link));
        QVERIFY(save(link, "new"));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(TestFiles::read(target), QByteArray("new"));
#endif
    }

    void specialTargetsAreRefusedUntouched()
    {
#ifdef Q_OS_WIN
        QSKIP("FIFOs and device files are POSIX's");
#else
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("fifo"));
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString folder = dir.filePath(QStringLiteral("folder"));
        QVERIFY(QDir().mkdir(folder));
        for (const QString &target : {fifo, folder, QStringLiteral("/dev/null")}) {
            SafeSaveFile file(target);
            QVERIFY2(!file.open(QIODevice::WriteOnly), qPrintable(target));
            QVERIFY(!file.errorString().isEmpty());
        }
        struct stat info;
        QCOMPARE(stat(QFile::encodeName(fifo).constData(), &info), 0);
        QVERIFY(S_ISFIFO(info.st_mode));
        QVERIFY(QFileInfo(folder).isDir());
        // Nothing was left beside them.
        QCOMPARE(
            QDir(dir.path())
                .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot | QDir::Hidden),
            (QStringList{QStringLiteral("fifo"), QStringLiteral("folder")}));
#endif
    }

    void closedFolderStillSavesAWritableTargetKeepingItsPermissions()
    {
#ifdef Q_OS_WIN
        QSKIP("POSIX permissions");
#else
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("story.dlg"));
        TestFiles::write(target, "old");
        const auto permissions =
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
        QVERIFY(QFile::setPermissions(target, permissions));
        QVERIFY(save(target, "replaced"));
        QCOMPARE(QFile::permissions(target).toInt() & 0x7077, int(permissions.toInt()));

        const auto open = QFile::permissions(dir.path());
        QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        if (QFile(dir.filePath(QStringLiteral("probe"))).open(QIODevice::WriteOnly)) {
            QFile::setPermissions(dir.path(), open);
            QSKIP("this user writes into read-only folders");
        }
        const bool saved = save(target, "in place");
        QFile::setPermissions(dir.path(), open);
        QVERIFY(saved);
        QCOMPARE(TestFiles::read(target), QByteArray("in place"));
#endif
    }
};

QTEST_APPLESS_MAIN(TestSafeSave)
#include "test_safe_save.moc"
