#include "platform/app_error.h"
#include "platform/bounded_file.h"
#include "platform/file_writing.h"
#include "platform/native_path.h"
#include "test_files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#ifndef Q_OS_WIN
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

class TestPlatformFiles : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    // Whatever the path names, the read of a file the program opens on its own returns at once
    // and holds no more than the limit.
    void readRegularRefusesWhatIsNoSmallRegularFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("status");
        QTest::newRow("regular") << "small.txt" << int(BoundedFile::Status::Ok);
        QTest::newRow("at the limit") << "limit.txt" << int(BoundedFile::Status::Ok);
        QTest::newRow("oversized") << "large.txt" << int(BoundedFile::Status::TooLarge);
        QTest::newRow("missing") << "absent.txt" << int(BoundedFile::Status::Missing);
        QTest::newRow("folder") << "folder" << int(BoundedFile::Status::NotRegular);
#ifndef Q_OS_WIN
        QTest::newRow("fifo") << "fifo" << int(BoundedFile::Status::NotRegular);
        QTest::newRow("link to /dev/zero") << "zero" << int(BoundedFile::Status::NotRegular);
#endif
#ifndef Q_OS_WIN
        QTest::newRow("link to a file") << "link.txt" << int(BoundedFile::Status::Ok);
#endif
    }
    void readRegularRefusesWhatIsNoSmallRegularFile()
    {
        QFETCH(QString, name);
        QFETCH(int, status);
        TestFiles::write(path(QStringLiteral("small.txt")), "abc");
        TestFiles::write(path(QStringLiteral("limit.txt")), QByteArray(16, 'x'));
        TestFiles::write(path(QStringLiteral("large.txt")), QByteArray(17, 'x'));
        QDir().mkpath(path(QStringLiteral("folder")));
#ifndef Q_OS_WIN
        ::mkfifo(QFile::encodeName(path(QStringLiteral("fifo"))).constData(), 0600);
        QFile::link(QStringLiteral("/dev/zero"), path(QStringLiteral("zero")));
#endif
        QFile::link(path(QStringLiteral("small.txt")), path(QStringLiteral("link.txt")));

        QElapsedTimer clock;
        clock.start();
        const BoundedFile::Result result = BoundedFile::readRegular(path(name), 16);
        QVERIFY(clock.elapsed() < 2000);
        QCOMPARE(int(result.status), status);
        QCOMPARE(result.ok(), result.reason.isEmpty());
        if (result.ok())
            QCOMPARE(result.bytes, TestFiles::read(path(name)));
        else
            QVERIFY(result.bytes.isEmpty());
    }

    // A pipe the user names is read to its end, but a source that never ends stops at the limit.
    void readNamedTakesPipesWithALimit()
    {
#ifdef Q_OS_WIN
        QSKIP("FIFOs and device files are POSIX's");
#else
        const QString fifo = path(QStringLiteral("named-fifo"));
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        const QByteArray sent(100000, 'p');
        QThread *writer = QThread::create([&] { TestFiles::write(fifo, sent); });
        writer->start();
        const BoundedFile::Result piped = BoundedFile::readNamed(fifo, 1 << 20);
        writer->wait();
        delete writer;
        QVERIFY(piped.ok());
        QCOMPARE(piped.bytes, sent);

        const BoundedFile::Result endless =
            BoundedFile::readNamed(QStringLiteral("/dev/zero"), 1 << 20);
        QCOMPARE(endless.status, BoundedFile::Status::TooLarge);
        QCOMPARE(endless.reason, QStringLiteral("File too large"));
        QCOMPARE(BoundedFile::readNamed(m_dir.path(), 10).status, BoundedFile::Status::Failed);
#endif
    }

    // A short write leaves Qt without a reason of its own; the message carries the system's.
    // A file-size limit makes the write short the way a full disk does.
    void failedWriteNamesTheSystemsReason()
    {
#ifdef Q_OS_WIN
        QSKIP("FIFOs and device files are POSIX's");
#else
        TestFiles::write(path(QStringLiteral("source.bin")), QByteArray(1 << 20, 's'));
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &old) == 0);
        rlimit small = old;
        small.rlim_cur = 4096;
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &small) == 0);
        QString text;
        try {
            FileWriting::replace(path(QStringLiteral("big.bin")), QByteArray(1 << 20, 'b'));
        } catch (const AppError &error) {
            text = error.text();
        }
        const QString copied = FileWriting::copyToNew(path(QStringLiteral("source.bin")),
                                                      path(QStringLiteral("copy")));
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        QCOMPARE(copied, QStringLiteral("File too large"));
        QVERIFY(!QFile::exists(path(QStringLiteral("copy"))));
        QCOMPARE(text, QStringLiteral("Cannot create file \"%1\". File too large")
                           .arg(path(QStringLiteral("big.bin"))));
        QVERIFY(!QFile::exists(path(QStringLiteral("big.bin"))));

        // A device is not replaced by a file.
        QVERIFY_THROWS_EXCEPTION(AppError, FileWriting::replace(QStringLiteral("/dev/full"), "x"));
#endif
    }

    // A folder that takes no new file makes the write go into the target itself; a write cut
    // short there puts the previous bytes back. A child process without root's rights and with a
    // file size limit provokes both.
    void aCutWriteInPlaceKeepsThePreviousFile()
    {
#ifdef Q_OS_WIN
        QSKIP("file size limits and folder permissions are POSIX's");
#else
        QTemporaryDir base;
        const QString folder = base.filePath(QStringLiteral("locked"));
        const QString temp = base.filePath(QStringLiteral("temp"));
        const QString target = folder + QStringLiteral("/story.dlg");
        QVERIFY(QDir().mkpath(folder) && QDir().mkpath(temp));
        TestFiles::write(target, "previous");
        ::chmod(QFile::encodeName(base.path()).constData(), 0755);
        ::chmod(QFile::encodeName(temp).constData(), 0777);
        ::chmod(QFile::encodeName(target).constData(), 0666);
        ::chmod(QFile::encodeName(folder).constData(), 0555);
        int channel[2];
        QVERIFY(::pipe(channel) == 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(channel[0]);
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                ::_exit(3);
            qputenv("TMPDIR", QFile::encodeName(temp));
            rlimit small{};
            ::getrlimit(RLIMIT_FSIZE, &small);
            small.rlim_cur = 4096;
            ::setrlimit(RLIMIT_FSIZE, &small);
            QByteArray text = "no error";
            try {
                FileWriting::replace(target, QByteArray(1 << 20, 'n'));
            } catch (const AppError &error) {
                text = error.text().toUtf8();
            }
            const bool sent = ::write(channel[1], text.constData(), size_t(text.size())) > 0;
            ::_exit(sent ? 0 : 4);
        }
        ::close(channel[1]);
        QByteArray text(4096, '\0');
        const ssize_t got = ::read(channel[0], text.data(), size_t(text.size()));
        ::close(channel[0]);
        int status = 0;
        ::waitpid(child, &status, 0);
        ::chmod(QFile::encodeName(folder).constData(), 0755);
        QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0,
                 qPrintable(QString::number(status)));
        text.truncate(qMax<ssize_t>(got, 0));
        QCOMPARE(QString::fromUtf8(text),
                 QStringLiteral("Cannot create file \"%1\". File too large").arg(target));
        QCOMPARE(TestFiles::read(target), QByteArray("previous"));
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("story.dlg")});
        QVERIFY(QDir(temp).isEmpty());
#endif
    }

    void nativePathUsesTheGivenSeparator()
    {
        QCOMPARE(nativePath(QStringLiteral("C:/Tools/Configs/a b.ini"), u'\\'),
                 QStringLiteral("C:\\Tools\\Configs\\a b.ini"));
        QCOMPARE(nativePath(QStringLiteral("/home/u/x\\y.dlg"), u'/'),
                 QStringLiteral("/home/u/x\\y.dlg"));
        QCOMPARE(nativePath(QStringLiteral("a/b")), QStringLiteral("a") + QDir::separator() + u'b');
    }
};

QTEST_APPLESS_MAIN(TestPlatformFiles)

#include "test_platform_files.moc"
