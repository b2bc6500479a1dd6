#include "cli_run.h"
#include "test_files.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A dialog with a line break, a text used twice, an accented letter and actions around them.
const QByteArray kListing = "Root\n"
                            "  Config = C:\\Configs\\panel.ini\n"
                            "Dialog1\n"
                            "  Type = Text\n"
                            "  Speaker = Entity\n"
                            "  Text = Caf\xc3\xa9?\\nOr \"tea\"\n"
                            "  Set Short gold = 100\n"
                            "Dialog2\n"
                            "  Choice = 1\n"
                            "    Text = Yes\n"
                            "    Dialog3\n"
                            "      Type = Text\n"
                            "      Speaker = Player\n"
                            "      Text = Yes\n"
                            "      Goto = 1\n"
                            "  Choice = 2\n"
                            "    Text = \n";

} // namespace

class TestStrings : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    CliRun cli(const QStringList &arguments) const { return runTalmeroCli(arguments); }
    // The Windows cross build has no PO reader, and says so.
    static bool withoutPoReader(const CliRun &run)
    {
        return run.err.contains("cannot read PO files");
    }

private slots:
    void initTestCase()
    {
        TestFiles::write(path("story.txt"), kListing);
        // Not the designed size: a copy keeps the file's own.
        QCOMPARE(cli({QStringLiteral("pack"), path("story.txt"), path("story.dlg"),
                      QStringLiteral("--size"), QStringLiteral("640x480")})
                     .exitCode,
                 0);
    }

    // Every text translated comes back in its place; every other record stays as it was.
    void exportThenImportReplacesEveryText()
    {
        const CliRun exported = cli({QStringLiteral("strings"), QStringLiteral("export"),
                                     path("story.dlg"), QStringLiteral("--out"), path("t.pot")});
        QCOMPARE(exported.exitCode, 0);
        const QByteArray pot = TestFiles::read(path("t.pot"));
        QVERIFY(pot.contains("charset=UTF-8"));
        QVERIFY(pot.contains("#. Dialog2, answer 1\n#. Dialog3, Player\n#: story.dlg:Dialog2 "
                             "story.dlg:Dialog3\nmsgid \"Yes\"\n"));
        QVERIFY(pot.contains("msgid \"\"\n\"Caf\xc3\xa9?\\n\"\n\"Or \\\"tea\\\"\"\n"));
        QCOMPARE(pot.count("msgid "), 3);
        const QString msgfmt = QStandardPaths::findExecutable(QStringLiteral("msgfmt"));
        if (!msgfmt.isEmpty()) {
            QProcess check;
            check.start(msgfmt, {QStringLiteral("--check"), QStringLiteral("-o"),
                                 QStringLiteral("/dev/null"), path("t.pot")});
            QVERIFY(check.waitForFinished());
            QVERIFY2(check.exitCode() == 0, check.readAllStandardError().constData());
        }

        // German: every translation is its message id with "Über " in front.
        QByteArray po;
        QByteArrayList id;
        for (QByteArray line : pot.split('\n')) {
            if (line.startsWith("msgid "))
                id = {line.mid(6)};
            else if (line.startsWith('"') && !id.isEmpty())
                id.append(line);
            if (line == "msgstr \"\"" && id != QByteArrayList{"\"\""})
                line = "msgstr " + id.join('\n').insert(1, "\xc3\x9c"
                                                           "ber ");
            if (line.startsWith("msgstr"))
                id.clear();
            po += line + '\n';
        }
        TestFiles::write(path("de.po"), po);
        const CliRun imported =
            cli({QStringLiteral("strings"), QStringLiteral("import"), path("story.dlg"),
                 path("de.po"), QStringLiteral("--out"), path("de.dlg")});
        if (withoutPoReader(imported))
            QSKIP("built without libgettextpo");
        QVERIFY2(imported.exitCode == 0, imported.err.constData());
        const QByteArray before =
            cli({QStringLiteral("dump"), QStringLiteral("--stored"), path("story.dlg")}).out;
        const QByteArray after =
            cli({QStringLiteral("dump"), QStringLiteral("--stored"), path("de.dlg")}).out;
        QByteArray expected = before;
        expected.replace("Text = Yes", "Text = \xc3\x9c"
                                       "ber Yes");
        expected.replace("Text = Caf", "Text = \xc3\x9c"
                                       "ber Caf");
        QCOMPARE(after, expected);

        // A translation that changes nothing gives back the file's bytes.
        const CliRun same =
            cli({QStringLiteral("strings"), QStringLiteral("import"), path("story.dlg"),
                 path("t.pot"), QStringLiteral("--out"), path("same.dlg")});
        QCOMPARE(same.exitCode, 1);
        QCOMPARE(TestFiles::read(path("same.dlg")), TestFiles::read(path("story.dlg")));
    }

    // A Russian line needs the Cyrillic code page: refused with the Western one, nothing
    // written. A fuzzy translation keeps the source text and is listed.
    void russianNeedsItsCodePage()
    {
        TestFiles::write(
            path("ru.po"),
            "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
            "msgid \"Caf\xc3\xa9?\\nOr \\\"tea\\\"\"\n"
            "msgstr \"\xd0\x9a\xd0\xbe\xd1\x84\xd0\xb5?\\n\xd0\x98\xd0\xbb\xd0\xb8\"\n\n"
            "#, fuzzy\nmsgid \"Yes\"\nmsgstr \"\xd0\x94\xd0\xb0\"\n");
        const QStringList import = {QStringLiteral("strings"), QStringLiteral("import"),
                                    path("story.dlg"),         path("ru.po"),
                                    QStringLiteral("--out"),   path("ru.dlg")};
        const CliRun western = cli(import);
        if (withoutPoReader(western))
            QSKIP("built without libgettextpo");
        QCOMPARE(western.exitCode, 2);
        QVERIFY2(western.err.contains("(Dialog1)") && western.err.contains("U+041A"),
                 western.err.constData());
        QVERIFY(!QFile::exists(path("ru.dlg")));
        const CliRun cyrillic =
            cli(import + QStringList{QStringLiteral("--codepage"), QStringLiteral("1251")});
        QCOMPARE(cyrillic.exitCode, 1);
        QCOMPARE(cyrillic.err, QByteArray("Dialog2: \"Yes\" is fuzzy\n"));
        QVERIFY(
            TestFiles::read(path("ru.dlg")).contains("Text = \xca\xee\xf4\xe5?\\n\xc8\xeb\xe8"));
    }

    void malformedPoIsRefusedWithItsLine()
    {
        TestFiles::write(path("bad.po"), "msgid \"Yes\"\nmsgstr \"Ja\"\nmsgstr oops\n");
        const CliRun r =
            cli({QStringLiteral("strings"), QStringLiteral("import"), path("story.dlg"),
                 path("bad.po"), QStringLiteral("--out"), path("bad.dlg")});
        if (withoutPoReader(r))
            QSKIP("built without libgettextpo");
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains("bad.po:3"), r.err.constData());
        QVERIFY(!QFile::exists(path("bad.dlg")));
    }

    // What the PO reader would pass on unnoticed is listed (1) or refused (2, nothing written):
    // a NUL that would cut a text, a character set that does not decode the file, a plural
    // entry, one text in two contexts.
    void importSaysWhatItMadeOfThePoFile_data()
    {
        QTest::addColumn<QByteArray>("entries");
        QTest::addColumn<QByteArray>("charset");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("said");
        QTest::newRow("NUL escape")
            << QByteArray("msgid \"Yes\"\nmsgstr \"J\\000a\"\n") << QByteArray("UTF-8") << 2
            << QByteArray("x.po:6: a string holds a NUL");
        QTest::newRow("NUL byte") << QByteArray("msgid \"Yes\"\nmsgstr \"J\0a\"\n", 25)
                                  << QByteArray("UTF-8") << 2
                                  << QByteArray("x.po:6: a string holds a NUL");
        QTest::newRow("UTF-8 under another name")
            << QByteArray("msgid \"Yes\"\nmsgstr \"J\xc3\xa4\"\n") << QByteArray("ISO-8859-1") << 2
            << QByteArray("but the file is written in UTF-8");
        QTest::newRow("C1 control")
            << QByteArray("msgid \"Yes\"\nmsgstr \"J\x85\"\n") << QByteArray("ISO-8859-1") << 2
            << QByteArray("holds the control character U+0085");
        QTest::newRow("plural") << QByteArray("msgid \"Yes\"\nmsgid_plural \"Yeses\"\n"
                                              "msgstr[0] \"Ja\"\nmsgstr[1] \"Jas\"\n")
                                << QByteArray("UTF-8") << 1
                                << QByteArray("\"Yes\" is a plural entry: its first form");
        QTest::newRow("contexts agree")
            << QByteArray("msgctxt \"a\"\nmsgid \"Yes\"\nmsgstr \"Ja\"\n\n"
                          "msgctxt \"b\"\nmsgid \"Yes\"\nmsgstr \"Ja\"\n")
            << QByteArray("UTF-8") << 1
            << QByteArray("\"Yes\" stands in the contexts \"a\" and \"b\"");
        QTest::newRow("contexts differ")
            << QByteArray("msgctxt \"a\"\nmsgid \"Yes\"\nmsgstr \"Ja\"\n\n"
                          "msgid \"Yes\"\nmsgstr \"Jawohl\"\n")
            << QByteArray("UTF-8") << 2 << QByteArray("in the contexts \"a\" and (none)");
    }
    void importSaysWhatItMadeOfThePoFile()
    {
        QFETCH(QByteArray, entries);
        QFETCH(QByteArray, charset);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, said);
        TestFiles::write(path("x.po"),
                         "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=" + charset +
                             "\\n\"\n\n" + entries);
        QFile::remove(path("x.dlg"));
        const CliRun r =
            cli({QStringLiteral("strings"), QStringLiteral("import"), path("story.dlg"),
                 path("x.po"), QStringLiteral("--out"), path("x.dlg")});
        if (withoutPoReader(r))
            QSKIP("built without libgettextpo");
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(r.err.contains(said), r.err.constData());
        QCOMPARE(QFile::exists(path("x.dlg")), exitCode == 1);
    }
};

QTEST_GUILESS_MAIN(TestStrings)
#include "test_strings.moc"
