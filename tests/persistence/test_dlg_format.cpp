#include "document/dialog_edits.h"
#include "stream_builder.h"
#include "test_files.h"

#include "document/dialog_tree.h"
#include "document/node_text.h"
#include "persistence/dlg_file.h"
#include "persistence/dlg_reader.h"
#include "persistence/dlg_writer.h"
#include "platform/app_error.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <csignal>
#include <cstring>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

using namespace StreamBuilder;

namespace {

DialogTree *newDocument(DialogTree &tree)
{
    DialogNode *root = tree.addChild(nullptr, NodeText::root());
    tree.setImageIndex(root, 3);
    return &tree;
}

QByteArray saved(const DialogTree &tree, DlgFile::ViewSize size = {})
{
    return DlgWriter::stream(DlgWriter::records(tree), size);
}

// A device whose size is unknown to the reader, as a pipe's is.
class SequentialBuffer : public QIODevice
{
public:
    explicit SequentialBuffer(const QByteArray &bytes) : m_bytes(bytes)
    {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        // A few bytes at a time, as a pipe may hand them over.
        const qint64 n = std::min<qint64>({maxSize, m_bytes.size() - m_pos, 7});
        std::memcpy(data, m_bytes.constData() + m_pos, size_t(n));
        m_pos += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_pos = 0;
};

// A block of one chain: each node the only child of the one before, the last at deepest.
QByteArray chainBlock(int deepest)
{
    QList<Record> records;
    for (int level = 0; level <= deepest; ++level)
        records.append({"Node", level < deepest ? 1 : 0});
    return block(1, records);
}

QByteArray identValue(const QByteArray &identifier)
{
    return char(7) + shortString(identifier);
}

QByteArray setValue(std::initializer_list<QByteArray> members)
{
    QByteArray out(1, char(11));
    for (const QByteArray &member : members)
        out += shortString(member);
    return out + char(0);
}

DlgReader::Content readBytes(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return DlgReader(buffer).read();
}

QString errorOf(QIODevice &device)
{
    try {
        DlgReader(device).read();
    } catch (const AppError &e) {
        return e.text();
    }
    return QStringLiteral("(no error)");
}

// The error of reading bytes, which must be the same from a file-like and a pipe-like device.
QString readError(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    const QString error = errorOf(buffer);
    SequentialBuffer sequential(bytes);
    const QString sequentialError = errorOf(sequential);
    return error == sequentialError ? error : error + QStringLiteral(" / ") + sequentialError;
}

} // namespace

class TestDlgFormat : public QObject
{
    Q_OBJECT

private slots:
    void newDocumentIsTheGoldenFile()
    {
        DialogTree tree;
        newDocument(tree);
        QFile golden(QFINDTESTDATA("data/root_only.dlg"));
        QVERIFY(golden.open(QIODevice::ReadOnly));
        const QByteArray expected = golden.readAll();
        QCOMPARE(expected.size(), 181);
        QCOMPARE(saved(tree), expected);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("new.dlg"));
        DlgFile::save(tree, path, DlgFile::ViewSize{});
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), expected);
    }

    void textDialogBlock()
    {
        DialogTree tree;
        newDocument(tree);
        DialogEdits(tree).addTextDialog(tree.firstNode(), "", DialogEdits::Speaker::Player);
        const QByteArray block = DlgWriter::nodeBlock(DlgWriter::records(tree));
        QCOMPARE(block.size(), 194);
        QCOMPARE(block.left(4), int32(2));
        QList<qint32> sizes;
        for (qsizetype pos = 4; pos < block.size(); pos += 4 + sizes.back())
            sizes << qFromLittleEndian<qint32>(block.constData() + pos);
        QCOMPARE(sizes, (QList<qint32>{29, 32, 36, 41, 32}));
        // Dialog1: size field, image 1, three more indices, data, then its child count.
        const char *dialogRecord = block.constData() + 4 + 33;
        QCOMPARE(qFromLittleEndian<qint32>(dialogRecord + 4), 1);
        QCOMPARE(qFromLittleEndian<qint32>(dialogRecord + 24), 3);
    }

    void integersTakeTheirShortestForm_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<QByteArray>("encoded");
        QTest::newRow("100") << 100 << QByteArray::fromHex("0264");
        QTest::newRow("127") << 127 << QByteArray::fromHex("027f");
        QTest::newRow("-128") << -128 << QByteArray::fromHex("0280");
        QTest::newRow("128") << 128 << QByteArray::fromHex("038000");
        QTest::newRow("-129") << -129 << QByteArray::fromHex("037fff");
        QTest::newRow("473") << 473 << QByteArray::fromHex("03d901");
        QTest::newRow("32767") << 32767 << QByteArray::fromHex("03ff7f");
        QTest::newRow("32768") << 32768 << QByteArray::fromHex("0400800000");
        QTest::newRow("-32769") << -32769 << QByteArray::fromHex("04ff7fffff");
        QTest::newRow("40000") << 40000 << QByteArray::fromHex("04409c0000");
    }
    void integersTakeTheirShortestForm()
    {
        QFETCH(int, width);
        QFETCH(QByteArray, encoded);
        DialogTree tree;
        newDocument(tree);
        const QByteArray bytes = saved(tree, {width, 553});
        QVERIFY(bytes.contains(shortString("Width") + encoded + shortString("Height")));
        QVERIFY(readBytes(bytes).hasNodeBlock);
    }

    void textsAreCutTo255Bytes_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("recordSize");
        QTest::newRow("empty") << 0 << 25;
        QTest::newRow("255") << 255 << 280;
        QTest::newRow("300") << 300 << 280;
    }
    void textsAreCutTo255Bytes()
    {
        QFETCH(int, length);
        QFETCH(int, recordSize);
        DialogTree tree;
        newDocument(tree);
        const QByteArray text = QByteArray(length, 'x');
        tree.addChild(tree.firstNode(), text);
        const QByteArray block = DlgWriter::nodeBlock(DlgWriter::records(tree));
        QCOMPARE(qFromLittleEndian<qint32>(block.constData() + 4 + 33), recordSize);
        const DlgReader::Content content = readBytes(saved(tree));
        QCOMPARE(content.records.size(), size_t(2));
        QCOMPARE(content.records[1].text, text.left(255));
    }

    void emptyTreeWritesNoNodeBlock()
    {
        DialogTree tree;
        const QByteArray bytes = saved(tree);
        QVERIFY(!bytes.contains("Items.Data"));
        QCOMPARE(bytes.size(), 128);
        QVERIFY(!readBytes(bytes).hasNodeBlock);
    }

    void storedFieldsReadBackUnchanged()
    {
        const QByteArray bytes =
            stream(itemsData(block(1, {{"Root", 1, 3, 0}, {"Child", 0, -7, 0xFFFFFFF0u}})));
        const DlgReader::Content content = readBytes(bytes);
        QCOMPARE(content.records.size(), size_t(2));
        QCOMPARE(content.records[1].level, 1);
        QCOMPARE(content.records[1].image, -7);
        QCOMPARE(content.records[1].data, 0xFFFFFFF0u);
        QCOMPARE(DlgWriter::nodeBlock(content.records),
                 block(1, {{"Root", 1, 3, 0}, {"Child", 0, -7, 0xFFFFFFF0u}}));
    }

    void acceptedStreams_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("nodes");
        const QByteArray rootBlock = block(1, {{"Root", 0, 3}});
        const QByteArray items = itemsData(rootBlock);
        QTest::newRow("other class name") << stream(items, "TreeView1", "TOutline") << 1;
        QTest::newRow("empty object name") << stream(items, "") << 1;
        QTest::newRow("other valid object name") << stream(items, "Tree_2") << 1;
        QTest::newRow("flags byte") << QByteArray("TPF0") + char(0xF0) + stream(items).mid(4) << 1;
        QTest::newRow("flags with child position")
            << QByteArray("TPF0") + char(0xF2) + QByteArray::fromHex("03e803") +
                   stream(items).mid(4)
            << 1;
        QTest::newRow("lower-case entry name")
            << stream(entry("items.data", binaryValue(rootBlock))) << 1;
        QTest::newRow("bytes after the end") << stream(items) + "trailing garbage" << 1;
        QTest::newRow("bytes after the last record") << stream(itemsData(rootBlock + "spare")) << 1;
        QTest::newRow("top-level count 0") << stream(itemsData(int32(0))) << 0;
        QTest::newRow("negative top-level count") << stream(itemsData(int32(-3))) << 0;
        QTest::newRow("negative child count")
            << stream(itemsData(block(1, {{"Root", -1, 3}}))) << 1;
        QTest::newRow("no node block") << stream(entry("Left", int8Value(0))) << -1;
        QTest::newRow("two node blocks, the last counts")
            << stream(items + itemsData(block(2, {{"A"}, {"B"}}))) << 2;
        QTest::newRow("boolean from tag 8")
            << stream(entry("AutoExpand", QByteArray(1, 8)) + items) << 1;
        QTest::newRow("identifier in other case")
            << stream(entry("align", QByteArray(1, 7) + shortString("ALCLIENT")) + items) << 1;
        QTest::newRow("16 and 32 bit integers")
            << stream(entry("Width", QByteArray::fromHex("03d901")) +
                      entry("Height", QByteArray::fromHex("04409c0000")) + items)
            << 1;
        QTest::newRow("strings of every kind")
            << stream(entry("Hint", QByteArray(1, 6) + shortString("a")) +
                      entry("Hint", QByteArray(1, 12) + int32(2) + "ab") +
                      entry("Hint", QByteArray(1, 18) + int32(2) + QByteArray("a\0b\0", 4)) +
                      entry("Hint", QByteArray(1, 20) + int32(1) + "c") + items)
            << 1;
        QTest::newRow("set") << stream(entry("Anchors", QByteArray(1, 11) + shortString("akLeft") +
                                                            shortString("akTop") + char(0)) +
                                       items)
                             << 1;
        QList<Record> many(3000, Record{QByteArray(40, 'x')});
        QTest::newRow("block larger than a read chunk")
            << stream(itemsData(block(3000, many))) << 3000;
        QTest::newRow("event detached") << stream(entry("OnClick", QByteArray(1, 13)) + items) << 1;
        QTest::newRow("as deep as the view can show")
            << stream(itemsData(chainBlock(DlgReader::kDeepestLevel)))
            << DlgReader::kDeepestLevel + 1;

        // Every published setting of the control and of its Font and Constraints, read by its
        // kind and left alone; integers by number or by name.
        const QByteArray string = char(6) + shortString("MS Sans Serif");
        const struct
        {
            const char *name;
            QByteArray value;
        } settings[] = {
            {"Color", identValue("clWindow")},
            {"Color", QByteArray::fromHex("04ffffff00")},
            {"Cursor", identValue("crDefault")},
            {"Cursor", int8Value(-21)},
            {"DragCursor", identValue("crDrag")},
            {"Font.Charset", identValue("DEFAULT_CHARSET")},
            {"Font.Charset", int8Value(0)},
            {"Font.Color", identValue("clWindowText")},
            {"Font.Height", int8Value(-11)},
            {"Font.Name", string},
            {"Font.Pitch", identValue("fpVariable")},
            {"Font.Style", setValue({"fsBold", "fsItalic"})},
            {"Font.Style", setValue({})},
            {"Font.Size", int8Value(8)},
            {"Constraints.MaxHeight", int8Value(0)},
            {"Constraints.MaxWidth", int8Value(0)},
            {"Constraints.MinHeight", int8Value(10)},
            {"Constraints.MinWidth", int8Value(10)},
            {"HelpType", identValue("htKeyword")},
            {"HelpKeyword", string},
            {"HelpContext", int8Value(0)},
            {"Images", identValue("ImageList1")},
            {"StateImages", QByteArray(1, 13)},
            {"PopupMenu", identValue("PopupMenu1")},
            {"ParentFont", QByteArray(1, 8)},
            {"MultiSelectStyle", setValue({"msControlSelect"})},
            {"OnAdvancedCustomDraw", QByteArray(1, 13)},
            {"font.style", setValue({"FSBOLD"})},
        };
        for (const auto &setting : settings) {
            QTest::addRow("%s = %s", setting.name, setting.value.toHex().constData())
                << stream(entry(setting.name, setting.value) + items) << 1;
        }
    }
    void acceptedStreams()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, nodes);
        DlgReader::Content content;
        DlgReader::Content sequentialContent;
        try {
            content = readBytes(bytes);
            SequentialBuffer sequential(bytes);
            sequentialContent = DlgReader(sequential).read();
        } catch (const AppError &e) {
            QFAIL(qPrintable(e.text()));
        }
        QCOMPARE(sequentialContent.records.size(), content.records.size());
        QCOMPARE(content.hasNodeBlock, nodes >= 0);
        if (nodes >= 0)
            QCOMPARE(int(content.records.size()), nodes);
    }

    void failures_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        const QByteArray items = itemsData(block(1, {{"Root", 0, 3}}));
        const QByteArray good = stream(items);
        const QString readErr = QStringLiteral("Stream read error");
        const QString invalid = QStringLiteral("Invalid property value");
        const auto wrapped = [](const char *name, const QString &inner) {
            return QStringLiteral("Error reading TreeView1.%1: %2").arg(QLatin1String(name), inner);
        };
        const auto blockError = wrapped("Items.Data", readErr);

        QTest::newRow("empty file") << QByteArray() << readErr;
        QTest::newRow("three bytes") << QByteArray("TPF") << readErr;
        QTest::newRow("signature only") << QByteArray("TPF0") << readErr;
        QTest::newRow("other signature")
            << QByteArray("TPF1") + good.mid(4) << QStringLiteral("Invalid stream format");
        QTest::newRow("cut in the class name") << good.left(8) << readErr;
        QTest::newRow("cut before the end markers") << good.chopped(2) << readErr;
        QTest::newRow("cut before the last end marker") << good.chopped(1) << readErr;
        QTest::newRow("a child object") << good.chopped(1) + shortString("TButton") + "\0\0\0"
                                        << QStringLiteral("Invalid stream format");
        QTest::newRow("flags with a bad child position")
            << QByteArray("TPF0") + char(0xF2) + QByteArray(1, 6) + shortString("x") + good.mid(4)
            << invalid;
        QTest::newRow("object name not an identifier")
            << stream(items, "1Tree") << QStringLiteral("''1Tree'' is not a valid component name");
        QTest::newRow("object name with a blank")
            << stream(items, "Tree 1")
            << QStringLiteral("''Tree 1'' is not a valid component name");
        QTest::newRow("object name of another control")
            << stream(items, "edit1") << QStringLiteral("A component named edit1 already exists");
        QTest::newRow("unknown property")
            << stream(entry("Colour", int8Value(1)) + items)
            << wrapped("Colour", QStringLiteral("Property Colour does not exist"));
        QTest::newRow("unknown part after Items")
            << stream(entry("Items.Foo", int8Value(1)))
            << wrapped("Items.Foo", QStringLiteral("Property Foo does not exist"));
        QTest::newRow("unknown leading part")
            << stream(entry("Brush.Data", int8Value(1)))
            << wrapped("Brush.Data", QStringLiteral("Property Brush does not exist"));
        QTest::newRow("unknown part after Font")
            << stream(entry("Font.Data", int8Value(1)))
            << wrapped("Font.Data", QStringLiteral("Property Data does not exist"));
        QTest::newRow("unknown property with a value of an unknown kind")
            << stream(entry("Colour", QByteArray(1, 21)))
            << wrapped("Colour", QStringLiteral("Property Colour does not exist"));
        QTest::newRow("colour name that does not exist")
            << stream(entry("Color", identValue("clPlaid"))) << wrapped("Color", invalid);
        QTest::newRow("colour from a string")
            << stream(entry("Color", char(6) + shortString("clWindow")))
            << wrapped("Color", invalid);
        QTest::newRow("cursor name of another kind")
            << stream(entry("Cursor", identValue("clWindow"))) << wrapped("Cursor", invalid);
        QTest::newRow("font style that does not exist")
            << stream(entry("Font.Style", setValue({"fsBlinking"})))
            << wrapped("Font.Style", invalid);
        QTest::newRow("font itself")
            << stream(entry("Font", int8Value(1))) << wrapped("Font", invalid);
        QTest::newRow("component reference from an integer")
            << stream(entry("Images", int8Value(1))) << wrapped("Images", invalid);
        QTest::newRow("object name of a combo box")
            << stream(items, "ComboBox2")
            << QStringLiteral("A component named ComboBox2 already exists");
        QTest::newRow("object name of the new value field")
            << stream(items, "Edit7") << QStringLiteral("A component named Edit7 already exists");
        QTest::newRow("object name of the edit panel")
            << stream(items, "Panel1") << QStringLiteral("A component named Panel1 already exists");
        QTest::newRow("deeper than the view can show")
            << stream(itemsData(chainBlock(DlgReader::kDeepestLevel + 1)))
            << wrapped("Items.Data", DlgReader::tooDeepText());
        QTest::newRow("leading part not an object")
            << stream(entry("Width.Data", int8Value(1)))
            << wrapped("Width.Data", QStringLiteral("Invalid property path"));
        QTest::newRow("Items itself")
            << stream(entry("Items", int8Value(1))) << wrapped("Items", invalid);
        QTest::newRow("node block without tag 10")
            << stream(entry("Items.Data", QByteArray(1, 12) + int32(4) + int32(0)))
            << wrapped("Items.Data", invalid);
        QTest::newRow("integer from a string")
            << stream(entry("Width", QByteArray(1, 6) + shortString("473")))
            << wrapped("Width", invalid);
        QTest::newRow("integer from a 64-bit value")
            << stream(entry("Width", QByteArray(1, 19) + QByteArray(8, 1)))
            << wrapped("Width", invalid);
        QTest::newRow("alignment that does not exist")
            << stream(entry("Align", QByteArray(1, 7) + shortString("alNowhere")))
            << wrapped("Align", invalid);
        QTest::newRow("boolean from an integer")
            << stream(entry("AutoExpand", int8Value(1))) << wrapped("AutoExpand", invalid);
        QTest::newRow("boolean from nil")
            << stream(entry("AutoExpand", QByteArray(1, 13))) << wrapped("AutoExpand", invalid);
        QTest::newRow("set member that does not exist")
            << stream(entry("Anchors", QByteArray(1, 11) + shortString("akMiddle") + char(0)))
            << wrapped("Anchors", invalid);
        QTest::newRow("event naming a handler")
            << stream(entry("OnClick", QByteArray(1, 7) + shortString("TreeView1Click")))
            << wrapped("OnClick", invalid);
        QTest::newRow("unknown tag")
            << stream(entry("Width", QByteArray(1, 21))) << wrapped("Width", invalid);
        QTest::newRow("a rejected value is stepped over whole")
            << stream(entry("Width", QByteArray::fromHex("01"
                                                         "0e"
                                                         "0203"
                                                         "01"
                                                         "0141"
                                                         "0500000000000000000000"
                                                         "00"
                                                         "00"
                                                         "0f00000000"
                                                         "00")))
            << wrapped("Width", invalid);
        QTest::newRow("a rejected value that runs past the end")
            << QByteArray(stream(entry("Width", QByteArray::fromHex("01"
                                                                    "01"
                                                                    "01"
                                                                    "0200"))))
            << wrapped("Width", readErr);
        QTest::newRow("long string longer than the file")
            << stream(entry("Hint", QByteArray(1, 12) + int32(1000) + "abc"))
            << wrapped("Hint", readErr);
        QTest::newRow("wide string with a huge count")
            << stream(entry("Hint", QByteArray(1, 18) + int32(0x7fffffff)))
            << wrapped("Hint", readErr);
        QTest::newRow("cut in a value")
            << QByteArray("TPF0") + shortString("TTreeView") + shortString("TreeView1") +
                   shortString("Width") + char(3) + char(1)
            << wrapped("Width", readErr);
        QTest::newRow("block longer than the file")
            << stream(shortString("Items.Data") + char(10) + int32(1000) + block(1, {{"Root"}}))
            << blockError;
        QTest::newRow("negative block length")
            << stream(shortString("Items.Data") + char(10) + int32(-4) + int32(0)) << blockError;
        QTest::newRow("block shorter than its count")
            << stream(itemsData(QByteArray(3, 0))) << blockError;
        QTest::newRow("count promises more records")
            << stream(itemsData(block(3, {{"Root"}, {"Dialog1"}}))) << blockError;
        QTest::newRow("child count promises more records")
            << stream(itemsData(block(1, {{"Root", 0x7fffffff}}))) << blockError;
        QTest::newRow("record size below 25")
            << stream(itemsData(int32(1) + int32(24) + QByteArray(24, 0))) << blockError;
        QTest::newRow("record size above 280")
            << stream(itemsData(int32(1) + int32(281) + QByteArray(24, 0) + char(0) +
                                QByteArray(256, 'x')))
            << blockError;
        QTest::newRow("length byte disagrees with the size")
            << stream(
                   itemsData(int32(1) + int32(30) + QByteArray(24, 0) + char(4) + "Root" + char(0)))
            << blockError;
        QTest::newRow("record past the block")
            << stream(itemsData(int32(1) + int32(29) + QByteArray(24, 0) + char(4) + "Ro"))
            << blockError;
    }
    void failures()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        QCOMPARE(readError(bytes), error);
    }

    void cutAnywhereFailsCleanly()
    {
        DialogTree tree;
        newDocument(tree);
        tree.addSibling(tree.firstNode(), "Dialog1");
        tree.addChild(tree.lastTopLevel(), "Type = Text");
        const QByteArray bytes = saved(tree);
        for (qsizetype n = 0; n < bytes.size() - 1; ++n) {
            const QString error = readError(bytes.left(n));
            QVERIFY2(error.endsWith(QLatin1String("Stream read error")), qPrintable(error));
        }
        QCOMPARE(readError(bytes), QStringLiteral("(no error)"));
    }

    void writeFailureReportsTheFile()
    {
        DialogTree tree;
        newDocument(tree);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("missing/story.dlg"));
        try {
            DlgFile::save(tree, path, {});
            QFAIL("no error");
        } catch (const AppError &e) {
            QVERIFY2(e.text().startsWith(QStringLiteral("Cannot create file \"%1\". ")
                                             .arg(QDir::toNativeSeparators(path))),
                     qPrintable(e.text()));
        }
    }

    void aFailedSaveKeepsThePreviousFile()
    {
        // A directory cannot take the temporary file, so the save fails before the target is
        // touched.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("story.dlg"));
        DialogTree tree;
        newDocument(tree);
        DlgFile::save(tree, path, {});
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        tree.addSibling(tree.firstNode(), "Dialog1");
        bool failed = false;
        try {
            DlgFile::save(tree, path, {});
        } catch (const AppError &) {
            failed = true;
        }
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (!failed)
            QSKIP("the folder stays writable for this user (root)");
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.size(), 181);
    }

    // Save writes no file that Open would refuse.
    void aTreeTooDeepToReadIsNotSaved()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("story.dlg"));
        DialogTree tree;
        DialogNode *node = nullptr;
        for (int level = 0; level <= DlgReader::kDeepestLevel; ++level)
            node = tree.addChild(node, "Node");
        DlgFile::save(tree, path, {});
        QCOMPARE(int(DlgReader::readFile(path).records.size()), DlgReader::kDeepestLevel + 1);
        const QByteArray before = TestFiles::read(path);
        tree.addChild(node, "Node");
        try {
            DlgFile::save(tree, path, {});
            QFAIL("no error");
        } catch (const AppError &e) {
            QCOMPARE(e.text(), DlgReader::tooDeepText());
        }
        QCOMPARE(TestFiles::read(path), before);
    }

#ifdef Q_OS_UNIX
    // A disk that fills up half-way: the system's reason reaches the author, and the previous
    // file stays. A file size limit stands in for the full disk.
    void aWriteCutShortNamesTheSystemsReason()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("story.dlg"));
        DialogTree tree;
        newDocument(tree);
        DlgFile::save(tree, path, {});
        tree.addSibling(tree.firstNode(), QByteArray(200, 'x'));

        rlimit old{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
        rlimit small = old;
        small.rlim_cur = 300;
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        QString error;
        try {
            DlgFile::save(tree, path, {});
        } catch (const AppError &e) {
            error = e.text();
        }
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previousHandler);
        QCOMPARE(error, QStringLiteral("Cannot create file \"%1\". %2")
                            .arg(path, QString::fromLocal8Bit(std::strerror(EFBIG))));
        QCOMPARE(QFileInfo(path).size(), 181);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("story.dlg")});
    }
#endif
};

QTEST_APPLESS_MAIN(TestDlgFormat)

#include "test_dlg_format.moc"
