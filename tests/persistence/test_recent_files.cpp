#include "persistence/recent_files.h"
#include "platform/ansi.h"
#include "platform/app_error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <sys/stat.h>

namespace {

QStringList fiveEmpty()
{
    return QStringList(RecentFiles::kSlots, RecentFiles::emptySlot());
}

// Paths as the list stores them: with the platform's separators.
QStringList shown(QStringList paths)
{
    for (QString &path : paths)
        path = QDir::toNativeSeparators(path);
    return paths;
}

QByteArray shown(QByteArray bytes)
{
    return bytes.replace('/', QDir::separator().toLatin1());
}

} // namespace

class TestRecentFiles : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;

    ProgramFolder folder() const { return ProgramFolder(m_dir->path()); }
    QString recentPath() const { return m_dir->filePath(QStringLiteral("Recent.txt")); }

    QString touch(const QString &name) const
    {
        const QString path = m_dir->filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        return path;
    }

    void writeRecent(const QByteArray &bytes) const
    {
        QFile file(recentPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray recentBytes() const
    {
        QFile file(recentPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    void sixSavesKeepTheLastFive()
    {
        RecentFiles recent(folder());
        for (int i = 1; i <= 6; ++i)
            recent.add(QStringLiteral("/d/f%1.dlg").arg(i));
        const QStringList expected = {QStringLiteral("/d/f6.dlg"), QStringLiteral("/d/f5.dlg"),
                                      QStringLiteral("/d/f4.dlg"), QStringLiteral("/d/f3.dlg"),
                                      QStringLiteral("/d/f2.dlg")};
        QCOMPARE(recent.captions(), shown(expected));
        QCOMPARE(recentBytes(),
                 shown(QByteArray("/d/f6.dlg\r\n/d/f5.dlg\r\n/d/f4.dlg\r\n/d/f3.dlg\r\n"
                                  "/d/f2.dlg\r\n")));
    }

    void firstSaveWritesFourEmptySlots()
    {
        RecentFiles recent(folder());
        recent.add(QStringLiteral("/d/caf\u00e9.dlg"));
        QCOMPARE(recentBytes(),
                 QFile::encodeName(QDir::toNativeSeparators(QStringLiteral("/d/caf\u00e9.dlg"))) +
                     "\r\nempty\r\nempty\r\nempty\r\nempty\r\n");
    }

    // A path comes back from the list as it went in, in the file system's encoding, or is not
    // listed; a list written in Windows-1252 by earlier versions still reads.
    void pathsAreStoredExactly_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("stored");
        QTest::addColumn<bool>("legacy");
        QTest::newRow("accented") << QStringLiteral("caf\u00e9.dlg") << true << false;
        QTest::newRow("Windows-1252 list") << QStringLiteral("caf\u00e9.dlg") << true << true;
        const bool wide = QFile::decodeName(QFile::encodeName(QStringLiteral("\u0142"))) ==
                          QStringLiteral("\u0142");
        QTest::newRow("outside Windows-1252")
            << QStringLiteral("\u0142\u00f3d\u017a.dlg") << wide << false;
    }
    void pathsAreStoredExactly()
    {
        QFETCH(QString, name);
        QFETCH(bool, stored);
        QFETCH(bool, legacy);
        const QString path = QDir::toNativeSeparators(m_dir->filePath(name));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            QSKIP("the file system cannot name that file");
        RecentFiles recent(folder());
        if (legacy)
            writeRecent(QByteArray(Ansi::fromUnicode(path)) + "\r\n");
        else
            recent.add(path);
        QCOMPARE(recent.captions().first() == path, stored && !legacy);
        RecentFiles again(folder());
        again.read();
        QCOMPARE(again.captions().first(), stored ? path : RecentFiles::emptySlot());
    }

    void listedPathKeepsItsPlace_data()
    {
        QTest::addColumn<QString>("again");
        QTest::addColumn<bool>("listed");
        QTest::newRow("same") << "C:/A/x.dlg" << true;
        QTest::newRow("other case") << "c:/a/X.DLG" << true;
        QTest::newRow("accented letters are not folded") << "C:/A/x\u00e9.dlg" << false;
        QTest::newRow("other path") << "C:/A/y.dlg" << false;
    }
    void listedPathKeepsItsPlace()
    {
        QFETCH(QString, again);
        QFETCH(bool, listed);
        RecentFiles recent(folder());
        recent.add(QStringLiteral("C:/A/X\u00c9.dlg"));
        recent.add(QStringLiteral("C:/A/x.dlg"));
        recent.add(QStringLiteral("/b.dlg"));
        recent.add(QStringLiteral("/c.dlg"));
        const QStringList before = recent.captions();
        recent.add(again);
        if (listed) {
            QCOMPARE(recent.captions(), before);
            QCOMPARE(recent.captions().at(2),
                     QDir::toNativeSeparators(QStringLiteral("C:/A/x.dlg")));
        } else {
            QCOMPARE(recent.captions().first(), QDir::toNativeSeparators(again));
            QCOMPARE(recent.captions().mid(1), before.mid(0, 4));
        }
    }

    void readingSkipsMissingFiles()
    {
        const QString a = touch(QStringLiteral("a.dlg"));
        const QString c = touch(QStringLiteral("c.dlg"));
        const QString e = touch(QStringLiteral("e.dlg"));
        const QString f = touch(QStringLiteral("f.dlg"));
        const QByteArray bytes = a.toLocal8Bit() + "\r\n" +
                                 m_dir->filePath(QStringLiteral("b.dlg")).toLocal8Bit() + "\r\n" +
                                 c.toLocal8Bit() + "\r\nempty\r\n" + e.toLocal8Bit() + "\r\n" +
                                 f.toLocal8Bit() + "\r\n";
        writeRecent(bytes);
        RecentFiles recent(folder());
        recent.read();
        QCOMPARE(recent.captions(),
                 (QStringList{a, c, e, QStringLiteral("empty"), QStringLiteral("empty")}));
        QCOMPARE(recentBytes(), bytes);
    }

    void readingSkipsFolders()
    {
        const QString a = touch(QStringLiteral("a.dlg"));
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder.dlg")));
        writeRecent(m_dir->filePath(QStringLiteral("folder.dlg")).toLocal8Bit() + "\r\n" +
                    a.toLocal8Bit() + "\r\nempty\r\nempty\r\nempty\r\n");
        RecentFiles recent(folder());
        recent.read();
        QCOMPARE(recent.captions(),
                 (QStringList{a, QStringLiteral("empty"), QStringLiteral("empty"),
                              QStringLiteral("empty"), QStringLiteral("empty")}));
    }

    void shortOrMissingListIsNoError_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("filled");
        QTest::newRow("missing") << QByteArray() << -1;
        QTest::newRow("empty file") << QByteArray("") << 0;
        QTest::newRow("two lines") << QByteArray("@1\r\n@2\r\n") << 2;
        QTest::newRow("lone line feeds") << QByteArray("@1\n@2\n@2") << 3;
        QTest::newRow("lone carriage returns") << QByteArray("@1\r@2\r") << 2;
    }
    void shortOrMissingListIsNoError()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, filled);
        const QString a = touch(QStringLiteral("A"));
        const QString b = touch(QStringLiteral("B"));
        if (filled >= 0) {
            QByteArray withPaths = bytes;
            withPaths.replace("@1", a.toLocal8Bit()).replace("@2", b.toLocal8Bit());
            writeRecent(withPaths);
        }
        RecentFiles recent(folder());
        recent.read();
        QCOMPARE(recent.captions().count(RecentFiles::emptySlot()),
                 RecentFiles::kSlots - std::max(filled, 0));
    }

    // Start-up reads the list on its own: a FIFO, a device or an oversized list is reported at
    // once without being read, and the slots stay free.
    void specialListsDoNotHoldStartUp_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
#ifndef Q_OS_WIN
        QTest::newRow("fifo") << "fifo"
                              << "Not a regular file";
        QTest::newRow("link to /dev/zero") << "zero"
                                           << "Not a regular file";
#endif
        QTest::newRow("oversized") << "large"
                                   << "File too large";
    }
    void specialListsDoNotHoldStartUp()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
#ifndef Q_OS_WIN
        if (kind == u"fifo")
            QVERIFY(::mkfifo(QFile::encodeName(recentPath()).constData(), 0600) == 0);
        else if (kind == u"zero")
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), recentPath()));
        else
#endif
            writeRecent(touch(QStringLiteral("a.dlg")).toLocal8Bit() + "\r\n" +
                        QByteArray(RecentFiles::kMaxFileSize, 'x'));
        RecentFiles recent(folder());
        try {
            recent.read();
            QFAIL("no error");
        } catch (const AppError &e) {
            QCOMPARE(e.text(), QStringLiteral("Cannot open file \"%1\". %2")
                                   .arg(QDir::toNativeSeparators(recentPath()), reason));
        }
        QCOMPARE(recent.captions(), fiveEmpty());
        // Saving does not put a file in place of a FIFO or a device.
        if (kind != u"large")
            QVERIFY_THROWS_EXCEPTION(AppError, recent.add(QStringLiteral("/a.dlg")));
    }

    void unwritableListReportsTheFile()
    {
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Recent.txt")));
        RecentFiles recent(folder());
        try {
            recent.add(QStringLiteral("/x.dlg"));
            QFAIL("no error");
        } catch (const AppError &e) {
            QVERIFY2(e.text().startsWith(QStringLiteral("Cannot create file \"%1\". ")
                                             .arg(QDir::toNativeSeparators(recentPath()))),
                     qPrintable(e.text()));
        }
        QCOMPARE(recent.captions().first(), QDir::toNativeSeparators(QStringLiteral("/x.dlg")));
        QCOMPARE(fiveEmpty().size(), recent.captions().size());
    }
};

QTEST_APPLESS_MAIN(TestRecentFiles)

#include "test_recent_files.moc"
