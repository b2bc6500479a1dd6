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

void QtShellServices::start(const QString &program, const QString &argument)
{
    // No command line is built and split again, so a double quote in the argument stays in it.
    QProcess::startDetached(program, QStringList{argument});
}
