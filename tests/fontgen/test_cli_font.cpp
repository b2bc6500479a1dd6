#include "cli_run.h"
#include "fontgen_test_support.h"

#include "fontgen/font_generator.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

struct Run
{
    int exitCode;
    QString out;
    QString err;
};

Run cli(const QStringList &arguments)
{
    const CliRun run =
        runTalmeroCli(QStringList{QStringLiteral("font")} + arguments, QString(), 60000);
    return {run.exitCode, QString::fromUtf8(run.out), QString::fromUtf8(run.err)};
}

} // namespace

class TestCliFont : public QObject
{
    Q_OBJECT

private slots:
    void rendersLikeSaveAndPrintsTheDeclaration()
    {
        FontTestFolder dir;
        const QString out = dir.path(QStringLiteral("Fonts/cli"));
        const Run run =
            cli({QStringLiteral("--program-folder"), dir.path(QString()), QStringLiteral("--font"),
                 QStringLiteral("DejaVu Sans"), QStringLiteral("--size"), QStringLiteral("14"),
                 QStringLiteral("--bold"), QStringLiteral("--bg"), QStringLiteral("102030"),
                 QStringLiteral("--shadow"), QStringLiteral("2"), QStringLiteral("--space-x"),
                 QStringLiteral("0"), QStringLiteral("--name"), QStringLiteral("Cli"),
                 QStringLiteral("--out"), out});
        QCOMPARE(run.exitCode, 0);
        const QByteArray sheet = dir.read(QStringLiteral("Fonts/temp.bmp"));
        QCOMPARE(dir.read(QStringLiteral("Fonts/cli.bmp")), sheet);

        FontSettings settings;
        settings.font = {QStringLiteral("DejaVu Sans"), 14};
        settings.font.bold = true;
        settings.background = 0x102030;
        settings.shadow = true;
        settings.shadowSize = 2;
        settings.spaceX = 0;
        settings.fontName = QStringLiteral("Cli");
        const FontRender render = FontGenerator(dir.folder()).renderSheet(settings);
        QCOMPARE(run.out, render.declaration + u'\n');
        QCOMPARE(QImage(dir.path(QStringLiteral("Fonts/cli.bmp"))).size(), render.image.size());

        // Again under the same name: the file stays, the command says so.
        dir.write(QStringLiteral("Fonts/cli.bmp"), "kept");
        const Run again = cli({QStringLiteral("--program-folder"), dir.path(QString()),
                               QStringLiteral("--out"), out + QStringLiteral(".bmp")});
        QCOMPARE(again.exitCode, 1);
        QVERIFY(again.err.contains(QStringLiteral("already exists")));
        QCOMPARE(dir.read(QStringLiteral("Fonts/cli.bmp")), QByteArray("kept"));
    }

    void refusesBadArgumentsAndReportsMissingFiles_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown") << QStringList{QStringLiteral("--frobnicate")} << 2
                                 << "unknown option";
        QTest::newRow("colour") << QStringList{QStringLiteral("--fg"), QStringLiteral("12345")} << 2
                                << "RRGGBB";
        QTest::newRow("signed colour")
            << QStringList{QStringLiteral("--fg"), QStringLiteral("+12345")} << 2 << "RRGGBB";
        QTest::newRow("blank in colour")
            << QStringList{QStringLiteral("--bg"), QStringLiteral(" 12345")} << 2 << "RRGGBB";
        QTest::newRow("unknown family")
            << QStringList{QStringLiteral("--font"), QStringLiteral("No Such Family 9")} << 2
            << "no font family";
        QTest::newRow("range") << QStringList{QStringLiteral("--space-y"), QStringLiteral("101")}
                               << 2 << "from 0 to 100";
        QTest::newRow("no value") << QStringList{QStringLiteral("--shadow")} << 2
                                  << "needs a value";
        QTest::newRow("missing file")
            << QStringList{QStringLiteral("--program-folder"), QStringLiteral("/nonexistent/x")}
            << 1
            << QStringLiteral("Cannot open file \"%1\"")
                   .arg(QDir::toNativeSeparators(
                       QStringLiteral("/nonexistent/x/Fonts/dummy_font.txt")));
    }
    void refusesBadArgumentsAndReportsMissingFiles()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const Run run = cli(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QCOMPARE(run.out, QString());
    }
};

QTEST_MAIN(TestCliFont)

#include "test_cli_font.moc"
