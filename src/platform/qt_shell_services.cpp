#include "qt_shell_services.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

void QtShellServices::open(const QString &target)
{
    const QUrl url =
        QFileInfo::exists(target) ? QUrl::fromLocalFile(target) : QUrl::fromUserInput(target);
    QDesktopServices::openUrl(url);
}

void QtShellServices::start(const QString &program, const QString &parameters)
{
    QProcess::startDetached(program, QProcess::splitCommand(parameters));
}
