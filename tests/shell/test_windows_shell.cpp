// The Windows code paths against Windows itself (Wine here): the registry below
// HKEY_CLASSES_ROOT, the shell's "open" verb and program start, the program folder. Elsewhere
// the cases are skipped; the file hive and the recording shell stand in for them there.
#include "platform/program_folder.h"
#include "platform/qt_shell_services.h"
#include "scripted_prompter.h"
#include "shell/file_type_registration.h"
#include "shell/options_window.h"
#include "shell/win_registry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

#ifdef Q_OS_WIN
#include <qt_windows.h>

namespace {

const wchar_t *wide(const QString &text)
{
    return reinterpret_cast<const wchar_t *>(text.utf16());
}

// A key's default value read straight from the registry, not through the backend under test.
std::optional<QString> rawDefault(HKEY root, const QString &path)
{
    wchar_t buffer[1024];
    DWORD size = sizeof buffer;
    if (RegGetValueW(root, wide(path), nullptr, RRF_RT_REG_SZ, nullptr, buffer, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return QString::fromWCharArray(buffer);
}

bool rawKeyExists(const QString &path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, wide(path), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// Wine names itself through ntdll; on a real Windows the user's own .dlg association is left
// alone.
bool underWine()
{
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// What argument_echo wrote: the argument count, the first argument, the whole command line.
QStringList echoed(const QString &argument)
{
    QFile file(argument + QStringLiteral(".seen"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(bytes.constData()),
                              bytes.size() / 2)
        .split(u'\n');
}

// The stand-in program with its drive: the registry's command names it whole.
QString argumentEcho()
{
    return QDir::toNativeSeparators(QFileInfo(QStringLiteral(ARGUMENT_ECHO)).absoluteFilePath());
}

const QString testExt = QStringLiteral(".talmerotest");
const QString testType = QStringLiteral("Talmero Test File");

} // namespace
#endif

class WindowsShellTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
#ifndef Q_OS_WIN
        QSKIP("Windows only");
#else
        WinRegistry().deleteTree(testExt);
        WinRegistry().deleteTree(testType);
#endif
    }

#ifdef Q_OS_WIN
    void backendReadsAndWritesTheRegistry()
    {
        WinRegistry registry;
        const QString command = testType + QStringLiteral("\\Shell\\Open\\Command");
        QVERIFY(registry.createKey(command));
        QVERIFY(rawKeyExists(command));
        // Key names are matched without regard to case.
        QVERIFY(registry.keyExists(command.toUpper()));
        QCOMPARE(registry.readDefault(command).kind, RegistryBackend::DefaultValue::Absent);

        const QString text =
            QStringLiteral("\"C:\\Spiele\\Dialogf\u00fchrung\\talmero.exe\" \"%1\"");
        QVERIFY(registry.setDefault(command, text));
        QCOMPARE(rawDefault(HKEY_CLASSES_ROOT, command), text);
        QCOMPARE(registry.readDefault(command).kind, RegistryBackend::DefaultValue::String);
        QCOMPARE(registry.readDefault(command).text, text);
        QVERIFY(registry.setDefault(command, QString()));
        QCOMPARE(registry.readDefault(command).text, QString());

        // A default value of another type is reported as such.
        HKEY key = nullptr;
        QCOMPARE(RegOpenKeyExW(HKEY_CLASSES_ROOT, wide(testType), 0, KEY_SET_VALUE, &key),
                 LONG(ERROR_SUCCESS));
        const DWORD number = 7;
        RegSetValueExW(key, nullptr, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&number),
                       sizeof number);
        RegCloseKey(key);
        QCOMPARE(registry.readDefault(testType).kind, RegistryBackend::DefaultValue::Other);

        QVERIFY(!registry.setDefault(testType + QStringLiteral("\\Missing"), text));
        QVERIFY(!registry.deleteTree(QString()));
        QVERIFY(registry.deleteTree(testType));
        QVERIFY(!rawKeyExists(testType));
        QVERIFY(!registry.keyExists(command));
        QVERIFY(!registry.deleteTree(testType));
    }

    void registrationWritesTheFourKeys()
    {
        FileTypeRegistration registration(std::make_unique<WinRegistry>());
        const QString exe = QStringLiteral("C:\\Program Files\\Talmero\\talmero.exe");
        QVERIFY(registration.registerExtension(testExt.mid(1), testType,
                                               QStringLiteral("Talmero for 3D Game Studio"), exe,
                                               QStringLiteral("%1"), 0));
        QCOMPARE(rawDefault(HKEY_CLASSES_ROOT, testExt), testType);
        QCOMPARE(rawDefault(HKEY_CLASSES_ROOT, testType),
                 QStringLiteral("Talmero for 3D Game Studio"));
        QCOMPARE(rawDefault(HKEY_CLASSES_ROOT, testType + QStringLiteral("\\DefaultIcon")),
                 exe + QStringLiteral(",0"));
        QCOMPARE(rawDefault(HKEY_CLASSES_ROOT, testType + QStringLiteral("\\Shell\\Open\\Command")),
                 u'"' + exe + QStringLiteral("\" \"%1\""));
        QCOMPARE(rawDefault(HKEY_CLASSES_ROOT, testType + QStringLiteral("\\Shell")), std::nullopt);

        QVERIFY(registration.unregisterExtension(testExt));
        QVERIFY(!rawKeyExists(testExt));
        QVERIFY(!rawKeyExists(testType));
        QVERIFY(!registration.unregisterExtension(testExt));
    }

    // The Options window against the registry of the Wine prefix: .dlg itself.
    void optionsWindowRegistersDlg()
    {
        if (!underWine())
            QSKIP("changes the user's own .dlg association");
        ScriptedPrompter prompter;
        const QString exe = QDir::toNativeSeparators(QCoreApplication::applicationFilePath());
        OptionsWindow form(prompter, FileTypeRegistration::forCurrentUser(), exe);
        QTest::mouseClick(form.registerButton, Qt::LeftButton);
        QCOMPARE(rawDefault(HKEY_CLASSES_ROOT, QStringLiteral(".dlg")),
                 QStringLiteral("Talmero File"));
        QCOMPARE(
            rawDefault(HKEY_CLASSES_ROOT, QStringLiteral("Talmero File\\Shell\\Open\\Command")),
            u'"' + exe + QStringLiteral("\" \"%1\""));
        QTest::mouseClick(form.unregisterButton, Qt::LeftButton);
        QVERIFY(!rawKeyExists(QStringLiteral(".dlg")));
        QVERIFY(!rawKeyExists(QStringLiteral("Talmero File")));
        QTest::mouseClick(form.unregisterButton, Qt::LeftButton);
        QCOMPARE(prompter.messages(),
                 QStringList({QStringLiteral("File extension has sucessfully been registered!"),
                              QStringLiteral("File extension has sucessfully been unregistered!"),
                              QStringLiteral("File could not be unregistered!")}));
    }

    // The companion tool's path arrives as one argument, quoted on the command line.
    void startedProgramGetsOneWholeArgument()
    {
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/Talmero Panel XXXXXX"));
        const QString argument =
            QDir::toNativeSeparators(dir.filePath(QStringLiteral("My Panel \u00e9t\u00e9.ini")));
        QtShellServices().start(argumentEcho(), argument);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(argument + QStringLiteral(".seen")), 20000);
        const QStringList seen = echoed(argument);
        QCOMPARE(seen.value(0), QStringLiteral("1"));
        QCOMPARE(seen.value(1), argument);
        QVERIFY2(seen.value(2).endsWith(u'"' + argument + u'"'), qPrintable(seen.value(2)));
    }

    // "open" on a document starts the program its type names, with the document's native path.
    void openStartsTheRegisteredProgram()
    {
        FileTypeRegistration registration(std::make_unique<WinRegistry>());
        QVERIFY(registration.registerExtension(testExt, testType, QStringLiteral("Test"),
                                               argumentEcho(), QStringLiteral("%1"), 0));
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/Talmero Open XXXXXX"));
        const QString document = dir.filePath(QStringLiteral("story") + testExt);
        QFile file(document);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QtShellServices().open(document);
        const QString native = QDir::toNativeSeparators(document);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(native + QStringLiteral(".seen")), 20000);
        QCOMPARE(echoed(native).value(1).toLower(), native.toLower());
        QVERIFY(registration.unregisterExtension(testExt));
    }

    void programFolderIsTheExecutablesFolder()
    {
        wchar_t buffer[MAX_PATH];
        const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
        QVERIFY(length > 0 && length < MAX_PATH);
        QString folder = QString::fromWCharArray(buffer, int(length));
        folder.truncate(folder.lastIndexOf(u'\\'));
        const ProgramFolder programFolder = ProgramFolder::ofExecutable();
        QCOMPARE(QDir::toNativeSeparators(programFolder.path()), folder + u'\\');
        QCOMPARE(QDir::toNativeSeparators(programFolder.shippedFile(QStringLiteral("Recent.txt"))),
                 folder + QStringLiteral("\\Recent.txt"));
    }
#endif
};

QTEST_MAIN(WindowsShellTest)

#include "test_windows_shell.moc"
