#include "generator/ini_file.h"

#include <QTemporaryDir>
#include <QTest>

class TestIniFile : public QObject
{
    Q_OBJECT

private slots:
    void readString_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("expected");

        const QByteArray none = "<default>";
        QTest::newRow("plain") << QByteArray("[Appearance]\nbgimage=a.bmp\n")
                               << QByteArray("Appearance") << QByteArray("bgimage")
                               << QByteArray("a.bmp");
        QTest::newRow("key case") << QByteArray("[Appearance]\nBGIMAGE=a.bmp\n")
                                  << QByteArray("Appearance") << QByteArray("bgimage")
                                  << QByteArray("a.bmp");
        QTest::newRow("section case")
            << QByteArray("[aPPEARANCE]\nbgimage=a.bmp\n") << QByteArray("Appearance")
            << QByteArray("bgimage") << QByteArray("a.bmp");
        QTest::newRow("blanks trimmed")
            << QByteArray("  [ Main ]  \r\n\t Starton \t=  scan  \r\n") << QByteArray("Main")
            << QByteArray("Starton") << QByteArray("scan");
        QTest::newRow("blanks inside kept")
            << QByteArray("[A]\nk= my file.bmp \n") << QByteArray("A") << QByteArray("k")
            << QByteArray("my file.bmp");
        QTest::newRow("double quotes")
            << QByteArray("[A]\nk=\"C:\\Art\\bg.bmp\"\n") << QByteArray("A") << QByteArray("k")
            << QByteArray("C:\\Art\\bg.bmp");
        QTest::newRow("single quotes") << QByteArray("[A]\nk= 'x y' \n") << QByteArray("A")
                                       << QByteArray("k") << QByteArray("x y");
        QTest::newRow("one pair only") << QByteArray("[A]\nk=\"\"x\"\"\n") << QByteArray("A")
                                       << QByteArray("k") << QByteArray("\"x\"");
        QTest::newRow("quoted blanks") << QByteArray("[A]\nk=\"  \"\n") << QByteArray("A")
                                       << QByteArray("k") << QByteArray("  ");
        QTest::newRow("unmatched quotes") << QByteArray("[A]\nk=\"x'\n") << QByteArray("A")
                                          << QByteArray("k") << QByteArray("\"x'");
        QTest::newRow("lone quote")
            << QByteArray("[A]\nk=\"\n") << QByteArray("A") << QByteArray("k") << QByteArray("\"");
        QTest::newRow("after the first equals") << QByteArray("[A]\nk = a=b \n") << QByteArray("A")
                                                << QByteArray("k") << QByteArray("a=b");
        QTest::newRow("empty value")
            << QByteArray("[A]\nk=\n") << QByteArray("A") << QByteArray("k") << QByteArray("");
        QTest::newRow("ANSI bytes") << QByteArray("[A]\nk=caf\xe9.bmp\n") << QByteArray("A")
                                    << QByteArray("k") << QByteArray("caf\xe9.bmp");
        QTest::newRow("first key wins") << QByteArray("[A]\nk=1\nK=2\n") << QByteArray("A")
                                        << QByteArray("k") << QByteArray("1");
        QTest::newRow("first section only") << QByteArray("[A]\nx=1\n[B]\n[a]\nk=2\n")
                                            << QByteArray("A") << QByteArray("k") << none;
        QTest::newRow("missing section")
            << QByteArray("[A]\nk=1\n") << QByteArray("B") << QByteArray("k") << none;
        QTest::newRow("missing key")
            << QByteArray("[A]\nk=1\n") << QByteArray("A") << QByteArray("j") << none;
        QTest::newRow("key of another section")
            << QByteArray("[A]\n[B]\nk=1\n") << QByteArray("A") << QByteArray("k") << none;
        QTest::newRow("line without equals")
            << QByteArray("[A]\nk\n") << QByteArray("A") << QByteArray("k") << none;
        QTest::newRow("before any section")
            << QByteArray("k=1\n[A]\n") << QByteArray("A") << QByteArray("k") << none;
        QTest::newRow("empty file") << QByteArray() << QByteArray("A") << QByteArray("k") << none;
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[A]\nk=1\n") << QByteArray("A")
                                         << QByteArray("k") << QByteArray("1");
    }
    void readString()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, expected);
        QCOMPARE(IniFile::fromBytes(content).readString(section, key, "<default>"), expected);
    }

    void longValuesAreCut()
    {
        const QByteArray longValue(3000, 'v');
        const IniFile ini = IniFile::fromBytes("[A]\nk=\"" + longValue + "\"\n");
        QCOMPARE(ini.readString("A", "k", ""), QByteArray(IniFile::MaxValueLength, 'v'));
    }

    void fileOnDisk()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("castle.ini"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Main]\r\nStarton=scan\r\n");
        file.close();
        QCOMPARE(IniFile(path).readString("MAIN", "starton", "click"), QByteArray("scan"));
        // A missing file, or a folder in its place, reads as all defaults.
        QCOMPARE(IniFile(dir.filePath(QStringLiteral("missing.ini")))
                     .readString("Main", "Starton", "click"),
                 QByteArray("click"));
        QCOMPARE(IniFile(dir.path()).readInteger("Main", "Starton", 7), 7);
    }

    void readInteger_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("expected");

        QTest::newRow("one") << QByteArray("1") << 1;
        QTest::newRow("zero") << QByteArray("0") << 0;
        QTest::newRow("decimal") << QByteArray("  42 ") << 42;
        QTest::newRow("negative") << QByteArray("-5") << -5;
        QTest::newRow("0x hex") << QByteArray("0x10") << 16;
        QTest::newRow("0X hex") << QByteArray("0X1f") << 31;
        QTest::newRow("dollar hex") << QByteArray("$FF") << 255;
        QTest::newRow("all 32 bits") << QByteArray("0xFFFFFFFF") << -1;
        QTest::newRow("quoted") << QByteArray("\"3\"") << 3;
        QTest::newRow("largest") << QByteArray("2147483647") << 2147483647;
        QTest::newRow("smallest") << QByteArray("-2147483648") << int(-2147483647 - 1);
        QTest::newRow("too large") << QByteArray("2147483648") << -99;
        QTest::newRow("hex too large") << QByteArray("0x100000000") << -99;
        QTest::newRow("0x alone") << QByteArray("0x") << -99;
        QTest::newRow("dollar alone") << QByteArray("$") << -99;
        QTest::newRow("true") << QByteArray("true") << -99;
        QTest::newRow("empty") << QByteArray("") << -99;
        QTest::newRow("trailing letters") << QByteArray("12a") << -99;
        QTest::newRow("inner blank") << QByteArray("1 2") << -99;
        QTest::newRow("hex digit in decimal") << QByteArray("1F") << -99;
        QTest::newRow("sign alone") << QByteArray("-") << -99;
    }
    void readInteger()
    {
        QFETCH(QByteArray, value);
        QFETCH(int, expected);
        const IniFile ini = IniFile::fromBytes("[CharacterTextBox]\nAvatarEnabled=" + value + "\n");
        QCOMPARE(ini.readInteger("CharacterTextBox", "AvatarEnabled", -99), expected);
    }

    void missingIntegerKeyReadsAsDefault()
    {
        const IniFile ini = IniFile::fromBytes("[CharacterTextBox]\nEntityImage=a.bmp\n");
        QCOMPARE(ini.readInteger("CharacterTextBox", "AvatarEnabled", 0), 0);
    }
};

QTEST_APPLESS_MAIN(TestIniFile)
#include "test_ini_file.moc"
