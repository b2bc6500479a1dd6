#include "platform/app_error.h"
#include "shell/file_hive.h"
#include "shell/file_type_registration.h"
#include "shell/registry.h"
#include "test_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

namespace {

const QString exePath = QStringLiteral("/opt/talmero/talmero");

// The hive as the program registers .dlg.
bool install(FileTypeRegistration &registration, const QString &ext = QStringLiteral(".dlg"))
{
    return registration.registerExtension(ext, QStringLiteral("Talmero File"),
                                          QStringLiteral("Talmero for 3D Game Studio"), exePath,
                                          QStringLiteral("%1"), 0);
}

QString defaultOf(FileHive &hive, const QString &path)
{
    return hive.readDefault(path).text;
}

} // namespace

class RegistrationTest : public QObject
{
    Q_OBJECT

private:
    QString hivePath() const { return m_dir.filePath(QStringLiteral("talmero/registry.json")); }
    std::unique_ptr<FileTypeRegistration>
    registration(FileHive::Access access = FileHive::ReadWrite)
    {
        return std::make_unique<FileTypeRegistration>(
            std::make_unique<FileHive>(hivePath(), access));
    }

    QTemporaryDir m_dir;

private slots:
    void init() { QFile::remove(hivePath()); }

    void keyPathsFollowTheBackslashRule()
    {
        FileHive hive(hivePath());
        Registry reg(hive);
        QVERIFY(reg.openKey(QStringLiteral("A"), true));
        QVERIFY(reg.openKey(QStringLiteral("B\\C"), true));
        QVERIFY(reg.openKey(QStringLiteral("\\D"), true));
        reg.closeKey();
        QVERIFY(reg.keyExists(QStringLiteral("\\A\\B\\C")));
        QVERIFY(reg.keyExists(QStringLiteral("D")));
        QVERIFY(!reg.keyExists(QStringLiteral("A\\B\\C\\D")));
        // Key names are matched without regard to case.
        QVERIFY(reg.openKey(QStringLiteral("a\\b"), false));
        QVERIFY(reg.keyExists(QStringLiteral("c")));
        QVERIFY(!reg.openKey(QStringLiteral("missing"), false));
        // The root cannot be deleted.
        QVERIFY(!reg.deleteKey(QStringLiteral("\\")));
        QVERIFY(reg.keyExists(QStringLiteral("\\D")));
    }

    void registerOnEmptyHive_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::newRow("with point") << QStringLiteral(".dlg");
        QTest::newRow("without point") << QStringLiteral("dlg");
    }

    void registerOnEmptyHive()
    {
        QFETCH(QString, ext);
        QVERIFY(install(*registration(), ext));
        FileHive hive(hivePath());
        QCOMPARE(defaultOf(hive, QStringLiteral(".dlg")), QStringLiteral("Talmero File"));
        QCOMPARE(defaultOf(hive, QStringLiteral("Talmero File")),
                 QStringLiteral("Talmero for 3D Game Studio"));
        QCOMPARE(defaultOf(hive, QStringLiteral("Talmero File\\DefaultIcon")),
                 QStringLiteral("/opt/talmero/talmero,0"));
        QCOMPARE(defaultOf(hive, QStringLiteral("Talmero File\\Shell\\Open\\Command")),
                 QStringLiteral("\"/opt/talmero/talmero\" \"%1\""));
        QVERIFY(!hive.keyExists(QStringLiteral("dlg")));
        // No value besides the four.
        QCOMPARE(hive.readDefault(QStringLiteral("Talmero File\\Shell")).kind,
                 RegistryBackend::DefaultValue::Absent);
    }

    void registeringTwiceRewritesThePath()
    {
        QVERIFY(install(*registration()));
        QVERIFY(registration()->registerExtension(
            QStringLiteral(".dlg"), QStringLiteral("Talmero File"),
            QStringLiteral("Talmero for 3D Game Studio"), QStringLiteral("/new/talmero %2"),
            QStringLiteral("%1"), 3));
        FileHive hive(hivePath());
        QCOMPARE(defaultOf(hive, QStringLiteral("Talmero File\\DefaultIcon")),
                 QStringLiteral("/new/talmero %2,3"));
        QCOMPARE(defaultOf(hive, QStringLiteral("Talmero File\\Shell\\Open\\Command")),
                 QStringLiteral("\"/new/talmero %2\" \"%1\""));
    }

    void emptyExtensionDoesNothing()
    {
        QVERIFY(!install(*registration(), QString()));
        QVERIFY(!registration()->unregisterExtension(QString()));
        QVERIFY(!QFile::exists(hivePath()));
    }

    void registerThenUnregisterTwice_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::newRow("with point") << QStringLiteral(".dlg");
        QTest::newRow("without point") << QStringLiteral("dlg");
    }

    void registerThenUnregisterTwice()
    {
        QFETCH(QString, ext);
        QVERIFY(install(*registration()));
        QVERIFY(registration()->unregisterExtension(ext));
        FileHive hive(hivePath());
        QVERIFY(!hive.keyExists(QStringLiteral(".dlg")));
        QVERIFY(!hive.keyExists(QStringLiteral("Talmero File")));
        QVERIFY(!registration()->unregisterExtension(ext));
    }

    // Whatever type the extension points to goes with it; the type written by the program
    // stays when the extension no longer names it.
    void unregisterRemovesTheTypeTheExtensionNames()
    {
        QVERIFY(install(*registration()));
        FileHive hive(hivePath());
        Registry reg(hive);
        QVERIFY(reg.openKey(QStringLiteral("\\Other.Type\\Shell\\Open\\Command"), true));
        reg.writeDefault(QStringLiteral("other %1"));
        QVERIFY(reg.openKey(QStringLiteral("\\.dlg"), true));
        reg.writeDefault(QStringLiteral("Other.Type"));

        QVERIFY(registration()->unregisterExtension(QStringLiteral(".dlg")));
        QVERIFY(!hive.keyExists(QStringLiteral(".dlg")));
        QVERIFY(!hive.keyExists(QStringLiteral("Other.Type")));
        QVERIFY(hive.keyExists(QStringLiteral("Talmero File\\DefaultIcon")));
    }

    void unregisterRefusesWithoutAType_data()
    {
        QTest::addColumn<bool>("withValue");
        QTest::addColumn<QString>("type");
        QTest::newRow("no default value") << false << QString();
        QTest::newRow("empty default value") << true << QString();
        QTest::newRow("type key missing") << true << QStringLiteral("Nobody's File");
    }

    void unregisterRefusesWithoutAType()
    {
        QFETCH(bool, withValue);
        QFETCH(QString, type);
        QVERIFY(install(*registration()));
        FileHive hive(hivePath());
        QVERIFY(hive.deleteTree(QStringLiteral(".dlg")));
        QVERIFY(hive.createKey(QStringLiteral(".dlg")));
        if (withValue)
            QVERIFY(hive.setDefault(QStringLiteral(".dlg"), type));
        const QByteArray before = TestFiles::read(hivePath());

        QVERIFY(!registration()->unregisterExtension(QStringLiteral(".dlg")));
        QCOMPARE(TestFiles::read(hivePath()), before);
    }

    void nonStringDefaultIsAnError()
    {
        QDir().mkpath(QFileInfo(hivePath()).absolutePath());
        TestFiles::write(hivePath(), R"({"name": "", "keys": [{"name": ".dlg", "default": 1},
                                 {"name": "Talmero File"}]})");
        try {
            registration()->unregisterExtension(QStringLiteral(".dlg"));
            QFAIL("no error raised");
        } catch (const AppError &error) {
            QCOMPARE(error.text(), QStringLiteral("Invalid data type for ''"));
        }
        FileHive hive(hivePath());
        QVERIFY(hive.keyExists(QStringLiteral(".dlg")));
    }

    void readOnlyEmptyHiveCannotRegister()
    {
        QVERIFY(!install(*registration(FileHive::ReadOnly)));
        QVERIFY(!QFile::exists(hivePath()));
    }

    // The keys exist, so they open; storing a value is what the hive refuses.
    void readOnlyHiveRefusesValues()
    {
        QVERIFY(install(*registration()));
        const QByteArray before = TestFiles::read(hivePath());
        try {
            install(*registration(FileHive::ReadOnly));
            QFAIL("no error raised");
        } catch (const AppError &error) {
            QCOMPARE(error.text(), QStringLiteral("Failed to set data for ''"));
        }
        QVERIFY(!registration(FileHive::ReadOnly)->unregisterExtension(QStringLiteral(".dlg")));
        QCOMPARE(TestFiles::read(hivePath()), before);
    }

    // A hive that cannot be read is never overwritten.
    void damagedHiveIsLeftAlone()
    {
        QDir().mkpath(QFileInfo(hivePath()).absolutePath());
        TestFiles::write(hivePath(), "{ not json");
        QVERIFY(!install(*registration()));
        QVERIFY(!registration()->unregisterExtension(QStringLiteral(".dlg")));
        QCOMPARE(TestFiles::read(hivePath()), QByteArray("{ not json"));
    }

    // A hive that is a FIFO or a link to a device is neither read (which would block or never
    // end) nor replaced.
    void specialHiveIsLeftAlone()
    {
#ifdef Q_OS_WIN
        QSKIP("FIFOs and device files are POSIX's");
#else
        QDir().mkpath(QFileInfo(hivePath()).absolutePath());
        QVERIFY(::mkfifo(QFile::encodeName(hivePath()).constData(), 0600) == 0);
        QVERIFY(!install(*registration()));
        QVERIFY(!registration()->unregisterExtension(QStringLiteral(".dlg")));
        QVERIFY(!QFileInfo(hivePath()).isFile());
        QVERIFY(QFile::remove(hivePath()));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), hivePath()));
        QVERIFY(!install(*registration()));
        QCOMPARE(QFileInfo(hivePath()).symLinkTarget(), QStringLiteral("/dev/zero"));
        QVERIFY(QFile::remove(hivePath()));
#endif
    }
};

QTEST_APPLESS_MAIN(RegistrationTest)

#include "test_registration.moc"
