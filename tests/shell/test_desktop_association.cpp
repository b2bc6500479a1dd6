#include "platform/app_error.h"
#include "shell/desktop_association.h"
#include "shell/file_hive.h"
#include "shell/file_type_registration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class DesktopAssociationTest : public QObject
{
    Q_OBJECT

private:
    QString dataHome() const { return m_dir->filePath(QStringLiteral("data")); }
    QString configHome() const { return m_dir->filePath(QStringLiteral("config")); }
    DesktopAssociation desktop() const { return DesktopAssociation(dataHome(), configHome()); }
    FileTypeRegistration registration() const
    {
        return FileTypeRegistration(
            std::make_unique<FileHive>(m_dir->filePath(QStringLiteral("registry.json"))),
            desktop());
    }
    bool install(const QString &exePath)
    {
        return registration().registerExtension(
            QStringLiteral(".dlg"), QStringLiteral("Talmero File"),
            QStringLiteral("Talmero for 3D Game Studio"), exePath, QStringLiteral("%1"), 0);
    }

    std::unique_ptr<QTemporaryDir> m_dir;

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    void installWritesTheThreeFiles()
    {
        writeFile(configHome() + QStringLiteral("/mimeapps.list"),
                  "[Added Associations]\ntext/plain=editor.desktop;\n\n"
                  "[Default Applications]\nimage/png=viewer.desktop;\n");
        QVERIFY(install(QStringLiteral("/opt/tal mero/talmero")));

        const QByteArray package = readFile(desktop().mimePackagePath(QStringLiteral(".dlg")));
        QVERIFY(package.contains("<mime-type type=\"application/x-talmero-dlg\">"));
        QVERIFY(package.contains("<glob pattern=\"*.dlg\"/>"));
        QVERIFY(package.contains("<comment>Talmero for 3D Game Studio</comment>"));

        const QByteArray entry = readFile(desktop().desktopEntryPath());
        QVERIFY(entry.startsWith("[Desktop Entry]\n"));
        QVERIFY(entry.contains("\nType=Application\n"));
        QVERIFY(entry.contains("\nExec=\"/opt/tal mero/talmero\" %f\n"));
        QVERIFY(entry.contains("\nMimeType=application/x-talmero-dlg;\n"));

        QCOMPARE(readFile(desktop().mimeAppsPath()),
                 QByteArray("[Added Associations]\ntext/plain=editor.desktop;\n\n"
                            "[Default Applications]\nimage/png=viewer.desktop;\n"
                            "application/x-talmero-dlg=talmero.desktop;\n"));

        // The MIME database is rebuilt when its tool is installed.
        if (!QStandardPaths::findExecutable(QStringLiteral("update-mime-database")).isEmpty())
            QVERIFY(readFile(dataHome() + QStringLiteral("/mime/globs2"))
                        .contains("application/x-talmero-dlg:*.dlg"));
    }

    void uninstallRemovesWhatWasInstalled()
    {
        QVERIFY(install(QStringLiteral("/opt/talmero/talmero")));
        QVERIFY(registration().unregisterExtension(QStringLiteral("dlg")));
        QVERIFY(!QFile::exists(desktop().mimePackagePath(QStringLiteral(".dlg"))));
        QVERIFY(!QFile::exists(desktop().desktopEntryPath()));
        // The list held nothing else, so it goes as well.
        QVERIFY(!QFile::exists(desktop().mimeAppsPath()));
        if (!QStandardPaths::findExecutable(QStringLiteral("update-mime-database")).isEmpty())
            QVERIFY(!readFile(dataHome() + QStringLiteral("/mime/globs2")).contains("talmero"));
    }

    void uninstallKeepsTheUsersOtherDefaults()
    {
        writeFile(configHome() + QStringLiteral("/mimeapps.list"),
                  "[Default Applications]\nimage/png=viewer.desktop;\n");
        QVERIFY(install(QStringLiteral("/opt/talmero/talmero")));
        QVERIFY(registration().unregisterExtension(QStringLiteral(".dlg")));
        QCOMPARE(readFile(desktop().mimeAppsPath()),
                 QByteArray("[Default Applications]\nimage/png=viewer.desktop;\n"));
    }

    // A default the user has since given to another program is theirs to keep.
    void uninstallKeepsAnotherProgramsDefault()
    {
        QVERIFY(install(QStringLiteral("/opt/talmero/talmero")));
        writeFile(desktop().mimeAppsPath(),
                  "[Default Applications]\napplication/x-talmero-dlg=other.desktop;\n");
        QVERIFY(registration().unregisterExtension(QStringLiteral(".dlg")));
        QCOMPARE(readFile(desktop().mimeAppsPath()),
                 QByteArray("[Default Applications]\napplication/x-talmero-dlg=other.desktop;\n"));
    }

    void failedRegistrationInstallsNothing()
    {
        QVERIFY(!FileTypeRegistration(
                     std::make_unique<FileHive>(m_dir->filePath(QStringLiteral("registry.json")),
                                                FileHive::ReadOnly),
                     desktop())
                     .registerExtension(QStringLiteral(".dlg"), QStringLiteral("Talmero File"),
                                        QStringLiteral("d"), QStringLiteral("/x"),
                                        QStringLiteral("%1"), 0));
        QVERIFY(!QFile::exists(desktop().desktopEntryPath()));
    }

    // An Exec argument is quoted when it holds a reserved character, with the characters
    // special inside quotes escaped; the file's own escaping then doubles every backslash. A
    // program path with "%" goes through the shell.
    void execLineQuotesThePath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("exec");
        QTest::newRow("plain") << QStringLiteral("/usr/bin/talmero")
                               << QByteArray("Exec=/usr/bin/talmero %f");
        QTest::newRow("percent") << QStringLiteral("/opt/100%/talmero")
                                 << QByteArray(R"(Exec=sh -c "exec \\"\\$0\\" \\"\\$@\\"" )"
                                               "/opt/100%%/talmero %f");
        QTest::newRow("blank") << QStringLiteral("/opt/tal mero/talmero")
                               << QByteArray("Exec=\"/opt/tal mero/talmero\" %f");
        QTest::newRow("special") << QStringLiteral("/a \"b\" $c `d` 100\\e")
                                 << QByteArray(R"(Exec="/a \\"b\\" \\$c \\`d\\` 100\\\\e" %f)");
        QTest::newRow("special and percent")
            << QStringLiteral("/a \"b\" $c `d` 100%\\e")
            << QByteArray(
                   R"(Exec=sh -c "exec \\"\\$0\\" \\"\\$@\\"" "/a \\"b\\" \\$c \\`d\\` 100%%\\\\e" %f)");
    }

    void execLineQuotesThePath()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, exec);
        desktop().install(QStringLiteral(".dlg"), QStringLiteral("d"), path);
        QVERIFY2(readFile(desktop().desktopEntryPath()).contains("\n" + exec + "\n"),
                 readFile(desktop().desktopEntryPath()).constData());
    }

    void unreadableDefaultsListIsLeftAlone()
    {
        QDir().mkpath(desktop().mimeAppsPath());
        try {
            desktop().install(QStringLiteral(".dlg"), QStringLiteral("d"), QStringLiteral("/x"));
            QFAIL("no error raised");
        } catch (const AppError &error) {
            QVERIFY(error.text().startsWith(QStringLiteral("Cannot open file \"") +
                                            QDir::toNativeSeparators(desktop().mimeAppsPath())));
        }
        QVERIFY(QFileInfo(desktop().mimeAppsPath()).isDir());
    }

    // Another program's lines keep their bytes through install and uninstall: carriage returns,
    // Latin-1 bytes and a last line without a line end.
    void otherProgramsLinesKeepTheirBytes()
    {
        const QByteArray others = "[Added Associations]\r\ntext/plain=\xE9"
                                  "diteur.desktop;\r\n\r\n"
                                  "[Default Applications]\r\nimage/png=viewer.desktop;\r\n"
                                  "[Other]\nx=\xFF\xFE";
        writeFile(desktop().mimeAppsPath(), others);
        QVERIFY(install(QStringLiteral("/opt/talmero/talmero")));
        QByteArray expected = others;
        expected.insert(expected.indexOf("[Other]"),
                        "application/x-talmero-dlg=talmero.desktop;\r\n");
        QCOMPARE(readFile(desktop().mimeAppsPath()), expected);
        QVERIFY(registration().unregisterExtension(QStringLiteral(".dlg")));
        QCOMPARE(readFile(desktop().mimeAppsPath()), others);
    }

    // When the desktop part fails, the keys written before it are gone again and the desktop's
    // error is the one reported.
    void registrationIsAllOrNothing()
    {
        writeFile(dataHome(), "a file where the folder should be");
        const QString hive = m_dir->filePath(QStringLiteral("registry.json"));
        try {
            install(QStringLiteral("/x"));
            QFAIL("no error raised");
        } catch (const AppError &error) {
            QVERIFY(error.text().startsWith(QStringLiteral("Cannot create file \"") +
                                            QDir::toNativeSeparators(dataHome())));
        }
        FileHive keys(hive);
        QVERIFY(!keys.keyExists(QStringLiteral(".dlg")));
        QVERIFY(!keys.keyExists(QStringLiteral("Talmero File")));
        QVERIFY(!QFile::exists(desktop().mimeAppsPath()));

        // Keys that were there before stay.
        QVERIFY(keys.createKey(QStringLiteral(".dlg")));
        QVERIFY_THROWS_EXCEPTION(AppError, install(QStringLiteral("/x")));
        QVERIFY(keys.keyExists(QStringLiteral(".dlg")));
        QVERIFY(!keys.keyExists(QStringLiteral("Talmero File")));
    }

    // The entry passes the desktop tools' own checks and starts the program with the file, for
    // a program path that needs every kind of quoting.
    void entryValidatesAndLaunches()
    {
        const QString validate =
            QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
        if (validate.isEmpty() || gio.isEmpty())
            QSKIP("desktop-file-validate or gio (desktop-file-utils, libglib2.0-bin) missing");
        const QString folder =
            m_dir->filePath(QStringLiteral("Tal m\u00e9ro \"q\" 'a' 100% $x `y` \\z"));
        const QString program = folder + QStringLiteral("/talmero");
        const QString out = m_dir->filePath(QStringLiteral("args.txt"));
        writeFile(program,
                  "#!/bin/sh\nprintf '%s\\n' \"$0\" \"$@\" > \"" + QFile::encodeName(out) + "\"\n");
        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(install(program));

        QProcess check;
        check.start(validate, {desktop().desktopEntryPath()});
        QVERIFY(check.waitForFinished());
        QVERIFY2(check.exitCode() == 0, check.readAllStandardOutput().constData());

        const QString document = m_dir->filePath(QStringLiteral("my story.dlg"));
        writeFile(document, "");
        QProcess launch;
        launch.start(gio, {QStringLiteral("launch"), desktop().desktopEntryPath(), document});
        QVERIFY(launch.waitForFinished());
        QTRY_COMPARE_WITH_TIMEOUT(readFile(out), (program + u'\n' + document + u'\n').toUtf8(),
                                  10000);
    }

    void unwritableDataFolderIsAnError()
    {
        writeFile(dataHome(), "a file where the folder should be");
        try {
            desktop().install(QStringLiteral(".dlg"), QStringLiteral("d"), QStringLiteral("/x"));
            QFAIL("no error raised");
        } catch (const AppError &error) {
            QVERIFY(error.text().startsWith(QStringLiteral("Cannot create file \"") +
                                            QDir::toNativeSeparators(dataHome())));
        }
    }
};

QTEST_GUILESS_MAIN(DesktopAssociationTest)

#include "test_desktop_association.moc"
