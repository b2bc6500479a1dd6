#include "document/dialog_tree.h"
#include "platform/ansi.h"
#include "platform/program_folder.h"
#include "recording_shell.h"
#include "scripted_prompter.h"
#include "shell/about_window.h"
#include "shell/companion_tool_command.h"
#include "shell/file_hive.h"
#include "shell/file_type_registration.h"
#include "shell/jpeg_picture.h"
#include "shell/options_window.h"
#include "windows/dialog_tree_model.h"
#include "windows/dialog_tree_view.h"
#include "windows/main_window.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString registered = QStringLiteral("File extension has sucessfully been registered!");
const QString notRegistered = QStringLiteral("File extension could not be registered!");
const QString unregistered = QStringLiteral("File extension has sucessfully been unregistered!");
const QString notUnregistered = QStringLiteral("File could not be unregistered!");

void touch(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

} // namespace

class WindowTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<OptionsWindow> options(FileHive::Access access = FileHive::ReadWrite)
    {
        return std::make_unique<OptionsWindow>(
            m_prompter,
            std::make_unique<FileTypeRegistration>(std::make_unique<FileHive>(
                m_dir->filePath(QStringLiteral("registry.json")), access)),
            QStringLiteral("/opt/talmero/talmero"));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedPrompter m_prompter;
    RecordingShell m_shell;

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_prompter.clear();
        m_shell = RecordingShell();
    }

    void optionsWindowLayout()
    {
        auto form = options();
        QCOMPARE(form->windowTitle(), QStringLiteral("Options"));
        QCOMPARE(form->size(), QSize(443, 286));
        QCOMPARE(form->minimumSize(), form->maximumSize());
        QCOMPARE(form->registerButton->text(), QStringLiteral("Register *.dlg extension"));
        QCOMPARE(form->unregisterButton->text(), QStringLiteral("Unregister extension"));
        QVERIFY(form->registerButton->y() < form->unregisterButton->y());
    }

    void optionsButtonsReport()
    {
        auto form = options();
        QTest::mouseClick(form->registerButton, Qt::LeftButton);
        QTest::mouseClick(form->unregisterButton, Qt::LeftButton);
        QTest::mouseClick(form->unregisterButton, Qt::LeftButton);
        QCOMPARE(m_prompter.messages(), QStringList({registered, unregistered, notUnregistered}));
    }

    void optionsOnAFailingHive()
    {
        options(FileHive::ReadOnly)->registerExtension();
        QCOMPARE(m_prompter.messages(), QStringList({notRegistered}));

        m_prompter.clear();
        options()->registerExtension();
        auto form = options(FileHive::ReadOnly);
        form->registerExtension();
        form->unregisterExtension();
        QCOMPARE(m_prompter.messages(), QStringList({registered, notUnregistered}));
        QCOMPARE(m_prompter.errors(), QStringList({QStringLiteral("Failed to set data for ''")}));
    }

    void aboutWindowLayout()
    {
        const QString layout =
            ProgramFolder(QStringLiteral("/opt/talmero"), QStringLiteral("/home/u/Talmero"))
                .description();
        AboutWindow form(m_shell, layout);
        QCOMPARE(form.windowTitle(), QStringLiteral("About"));
        QCOMPARE(form.size(), QSize(436, 248));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QCOMPARE(form.pictureLabel->geometry(), QRect(8, 8, 420, 145));
        // The 840 x 290 picture, halved to fit the box.
        QCOMPARE(form.pictureLabel->pixmap().size(), QSize(420, 145));
        QCOMPARE(form.creditsLabel->geometry(), QRect(8, 152, 129, 41));
        QVERIFY(form.creditsLabel->text().contains(QStringLiteral("3DGS Talmero 0.9")));
        QCOMPARE(form.editionLabel->pos(), QPoint(160, 160));
        QCOMPARE(form.editionLabel->text(), QStringLiteral("Basic version"));
        QVERIFY(form.editionLabel->font().bold());
        QCOMPARE(form.webLinkLabel->pos(), QPoint(8, 192));
        QVERIFY(form.webLinkLabel->font().bold());
        QCOMPARE(form.webLinkLabel->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(form.okButton->geometry(), QRect(352, 216, 75, 25));
        QCOMPARE(form.okButton->text(), QStringLiteral("Okay"));
        // Where the user's files are, beside the button and inside the window.
        QCOMPARE(form.layoutLabel->text(), layout);
        QVERIFY(layout.contains(QDir::toNativeSeparators(QStringLiteral("/home/u/Talmero/"))));
        QVERIFY(form.layoutLabel->geometry().right() < form.okButton->x());
        QVERIFY(form.rect().contains(form.layoutLabel->geometry()));
    }

    void aboutLinkColoursAndClick()
    {
        AboutWindow form(m_shell, QString());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const auto colour = [&] {
            return form.webLinkLabel->palette().color(QPalette::WindowText);
        };
        QCOMPARE(colour(), QColor(Qt::blue));
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(form.webLinkLabel, &enter);
        QCOMPARE(colour(), QColor(Qt::red));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(form.webLinkLabel, &leave);
        QCOMPARE(colour(), QColor(Qt::blue));

        QTest::mouseClick(form.webLinkLabel, Qt::LeftButton);
        QCOMPARE(m_shell.opened, QStringList({AboutWindow::webAddress()}));
        QTest::mouseClick(form.webLinkLabel, Qt::RightButton);
        QCOMPARE(m_shell.opened.size(), 1);

        QTest::mouseClick(form.okButton, Qt::LeftButton);
        QVERIFY(!form.isVisible());
        QCOMPARE(form.result(), int(QDialog::Accepted));
    }

    void linkIsBlueAgainAfterClosingUnderTheMouse()
    {
        // The window is closed with the keyboard while the mouse rests on the link, and the
        // mouse has moved on when the window is shown again.
        AboutWindow form(m_shell, QString());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseMove(form.webLinkLabel, form.webLinkLabel->rect().center());
        QTRY_COMPARE(form.webLinkLabel->palette().color(QPalette::WindowText), QColor(Qt::red));
        QTest::keyClick(&form, Qt::Key_Return);
        QVERIFY(!form.isVisible());
        QTest::mouseMove(form.okButton, form.okButton->rect().center());

        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.webLinkLabel->palette().color(QPalette::WindowText), QColor(Qt::blue));
    }

    void undecodablePictures_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not a jpeg") << QByteArray("GIF89a and so on");
        QTest::newRow("start of image only") << QByteArray("\xFF\xD8\xFF\xD9", 4);
    }

    void undecodablePictures()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(JpegPicture::decode(bytes).isNull());
    }

    void doubleClickStartsTheCompanionTool_data()
    {
        QTest::addColumn<QByteArray>("prefix");
        QTest::addColumn<QString>("target"); // "config", "folder", "missing" or none
        QTest::addColumn<bool>("withTool");
        QTest::addColumn<bool>("starts");
        QTest::newRow("configuration node") << QByteArray("Config = ") << "config" << true << true;
        QTest::newRow("tool missing") << QByteArray("Config = ") << "config" << false << false;
        QTest::newRow("file missing") << QByteArray("Config = ") << "missing" << true << false;
        QTest::newRow("a folder") << QByteArray("Config = ") << "folder" << true << false;
        QTest::newRow("dialog node") << QByteArray("Dialog1") << QString() << true << false;
        QTest::newRow("any node of nine characters and a path")
            << QByteArray("Anything:") << "config" << true << true;
    }

    void doubleClickStartsTheCompanionTool()
    {
        QFETCH(QByteArray, prefix);
        QFETCH(QString, target);
        QFETCH(bool, withTool);
        QFETCH(bool, starts);

        const QString folder = m_dir->filePath(QStringLiteral("program"));
        QDir().mkpath(folder);
        if (withTool)
            touch(folder + QStringLiteral("/Brisvane.exe"));
        const QString config = m_dir->filePath(QStringLiteral("Panel \xE9.ini"));
        touch(config);
        QString path;
        if (target == QStringLiteral("config"))
            path = config;
        else if (target == QStringLiteral("folder"))
            path = m_dir->path();
        else if (target == QStringLiteral("missing"))
            path = m_dir->filePath(QStringLiteral("gone.ini"));

        MainWindow form{ProgramFolder(folder), m_prompter, m_shell};
        form.prepareEmptyDocument();
        CompanionToolCommand tool(form);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        DialogNode *root = form.document().firstNode();
        DialogNode *node = form.document().addChild(root, prefix + Ansi::fromUnicode(path));
        const QRect rect = form.treeView->visualRect(form.treeView->dialogModel()->indexOf(node));
        QTest::mouseDClick(form.treeView->viewport(), Qt::LeftButton, {}, rect.center());

        QCOMPARE(form.selectedNode(), node);
        if (starts)
            QCOMPARE(m_shell.started, (QList<QPair<QString, QString>>{
                                          {folder + QStringLiteral("/Brisvane.exe"), path}}));
        else
            QVERIFY(m_shell.started.isEmpty());
    }

    void doubleClickOnEmptySpaceWithoutSelection()
    {
        const QString folder = m_dir->path();
        touch(folder + QStringLiteral("/Brisvane.exe"));
        MainWindow form{ProgramFolder(folder), m_prompter, m_shell};
        form.prepareEmptyDocument();
        CompanionToolCommand tool(form);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.selectNode(nullptr);
        const QPoint below = QPoint(5, form.treeView->viewport()->height() - 5);
        QTest::mouseDClick(form.treeView->viewport(), Qt::LeftButton, {}, below);
        QCOMPARE(form.selectedNode(), nullptr);
        QVERIFY(m_shell.started.isEmpty());
    }
};

QTEST_MAIN(WindowTest)

#include "test_windows.moc"
