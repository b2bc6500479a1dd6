#include "platform/qt_prompter.h"
#include "platform/qt_shell_services.h"
#include "test_files.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestShellSeams : public QObject
{
    Q_OBJECT

private slots:
    // The file dialogs show their filter exactly as the program names it.
    void fileDialogShowsTheFilterText_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::newRow("dlg") << "*.dlg";
        QTest::newRow("ini") << "*.ini";
        QTest::newRow("bmp") << "*.bmp";
    }
    void fileDialogShowsTheFilterText()
    {
        QFETCH(QString, filter);
        QString shown;
        QStringList listed;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto *combo = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            QVERIFY(combo);
            shown = combo->currentText();
            for (int i = 0; i < combo->count(); ++i)
                listed << combo->itemText(i);
            dialog->reject();
        });
        QtPrompter prompter(QStringLiteral("Talmero"));
        const FileDialogRequest request{FileDialogRequest::Open, QStringLiteral("OpenDialog1"),
                                        filter, filter, QString()};
        QCOMPARE(prompter.chooseFile(request), std::nullopt);
        QCOMPARE(shown, filter);
        QCOMPARE(listed, QStringList{filter});
    }

    // The companion tool gets the path as one argument, double quotes and blanks included.
    void startedProgramGetsOneWholeArgument()
    {
#ifdef Q_OS_WIN
        QSKIP("a shell script; test_windows_shell starts a real program");
#else
        QTemporaryDir dir;
        const QString tool = dir.filePath(QStringLiteral("tool.sh"));
        const QString out = dir.filePath(QStringLiteral("args.txt"));
        TestFiles::write(tool, "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > \"" +
                                   QFile::encodeName(out) + ".tmp\" && mv \"" +
                                   QFile::encodeName(out) + ".tmp\" \"" + QFile::encodeName(out) +
                                   "\"\n");
        QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString argument = dir.filePath(QStringLiteral("a \"quoted\" name 'x' %1.ini"));
        QtShellServices().start(tool, argument);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(out), 10000);
        QCOMPARE(TestFiles::read(out), "1\n" + argument.toUtf8() + '\n');
#endif
    }
};

QTEST_MAIN(TestShellSeams)

#include "test_shell_seams.moc"
