#include "qt_shell_services.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#include <shellapi.h>
#else
#include <QDesktopServices>
#include <QUrl>
#endif

void QtShellServices::open(const QString &target)
{
#ifdef Q_OS_WIN
    // The shell's own "open" verb, whatever platform plugin runs the windows.
    const QString native = QFileInfo::exists(target) ? QDir::toNativeSeparators(target) : target;
    ShellExecuteW(nullptr, L"open", reinterpret_cast<const wchar_t *>(native.utf16()), nullptr,
                  nullptr, SW_SHOWNORMAL);
#else
    const QUrl url =
        QFileInfo::exists(target) ? QUrl::fromLocalFile(target) : QUrl::fromUserInput(target);
    QDesktopServices::openUrl(url);
#endif
}

void QtShellServices::start(const QString &program, const QString &argument)
{
    // No command line is built and split again, so a double quote in the argument stays in it.
    // On Windows QProcess quotes the argument as the C runtime's parser expects.
    QProcess::startDetached(program, QStringList{argument});
}
