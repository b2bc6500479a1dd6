#include "dlg_reader.h"

#include "platform/ansi.h"
#include "platform/app_error.h"
#include "platform/object_names.h"
#include "stream_source.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <array>
#include <initializer_list>

namespace {

enum Tag : quint8 {
    TagNull = 0,
    TagList = 1,
    TagInt8 = 2,
    TagInt16 = 3,
    TagInt32 = 4,
    TagExtended = 5,
    TagString = 6,
    TagIdent = 7,
    TagFalse = 8,
    TagTrue = 9,
    TagBinary = 10,
    TagSet = 11,
    TagLString = 12,
    TagNil = 13,
    TagCollection = 14,
    TagSingle = 15,
    TagCurrency = 16,
    TagDate = 17,
    TagWString = 18,
    TagInt64 = 19,
    TagUtf8String = 20,
};

// The kinds of value a setting of the tree control takes. A named integer is an integer that
// may also be given by one of its names (a colour, a cursor, a character set); a component is a
// reference to another component by its name, or nil.
enum class Kind {
    Integer,
    NamedInteger,
    Enumeration,
    String,
    Set,
    Event,
    Component,
    Object,
    Binary
};

struct Setting;

// The settings of one object: the tree control or one of the objects it holds.
struct SettingTable
{
    const Setting *settings;
    size_t count;
};

struct Setting
{
    const char *name;
    Kind kind;
    std::initializer_list<const char *> members; // enumeration, set and integer names
    const SettingTable *object = nullptr;        // the settings of an object setting
};

template <size_t N> constexpr SettingTable tableOf(const Setting (&settings)[N])
{
    return {settings, N};
}

const std::initializer_list<const char *> kBoolean = {"False", "True"};
const std::initializer_list<const char *> kBevel = {"bvNone", "bvLowered", "bvRaised", "bvSpace"};
// clang-format off
const std::initializer_list<const char *> kColors = {
    "clBlack", "clMaroon", "clGreen", "clOlive", "clNavy", "clPurple", "clTeal", "clGray",
    "clSilver", "clRed", "clLime", "clYellow", "clBlue", "clFuchsia", "clAqua", "clLtGray",
    "clDkGray", "clWhite", "clMoneyGreen", "clSkyBlue", "clCream", "clMedGray", "clNone",
    "clDefault", "clScrollBar", "clBackground", "clActiveCaption", "clInactiveCaption", "clMenu",
    "clWindow", "clWindowFrame", "clMenuText", "clWindowText", "clCaptionText", "clActiveBorder",
    "clInactiveBorder", "clAppWorkSpace", "clHighlight", "clHighlightText", "clBtnFace",
    "clBtnShadow", "clGrayText", "clBtnText", "clInactiveCaptionText", "clBtnHighlight",
    "cl3DDkShadow", "cl3DLight", "clInfoText", "clInfoBk", "clHotLight", "clGradientActiveCaption",
    "clGradientInactiveCaption", "clMenuHighlight", "clMenuBar"};
// clang-format on
const std::initializer_list<const char *> kCursors = {
    "crDefault",  "crNone",     "crArrow",    "crCross",     "crIBeam",     "crSize",
    "crSizeNESW", "crSizeNS",   "crSizeNWSE", "crSizeWE",    "crUpArrow",   "crHourGlass",
    "crDrag",     "crNoDrop",   "crHSplit",   "crVSplit",    "crMultiDrag", "crSQLWait",
    "crNo",       "crAppStart", "crHelp",     "crHandPoint", "crSizeAll"};
const std::initializer_list<const char *> kCharsets = {
    "ANSI_CHARSET",        "DEFAULT_CHARSET", "SYMBOL_CHARSET",    "MAC_CHARSET",
    "SHIFTJIS_CHARSET",    "HANGEUL_CHARSET", "JOHAB_CHARSET",     "GB2312_CHARSET",
    "CHINESEBIG5_CHARSET", "GREEK_CHARSET",   "TURKISH_CHARSET",   "HEBREW_CHARSET",
    "ARABIC_CHARSET",      "BALTIC_CHARSET",  "RUSSIAN_CHARSET",   "THAI_CHARSET",
    "EASTEUROPE_CHARSET",  "OEM_CHARSET",     "VIETNAMESE_CHARSET"};

// The node collection "Items" stores one property of its own.
const Setting kItemsSettings[] = {
    {"Data", Kind::Binary, {}},
};

const Setting kFontSettings[] = {
    {"Charset", Kind::NamedInteger, kCharsets},
    {"Color", Kind::NamedInteger, kColors},
    {"Height", Kind::Integer, {}},
    {"Name", Kind::String, {}},
    {"Orientation", Kind::Integer, {}},
    {"Pitch", Kind::Enumeration, {"fpDefault", "fpVariable", "fpFixed"}},
    {"Quality",
     Kind::Enumeration,
     {"fqDefault", "fqDraft", "fqProof", "fqNonAntialiased", "fqAntialiased", "fqClearType",
      "fqClearTypeNatural"}},
    {"Size", Kind::Integer, {}},
    {"Style", Kind::Set, {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}},
};

const Setting kConstraintsSettings[] = {
    {"MaxHeight", Kind::Integer, {}},
    {"MaxWidth", Kind::Integer, {}},
    {"MinHeight", Kind::Integer, {}},
    {"MinWidth", Kind::Integer, {}},
};

const Setting kMarginsSettings[] = {
    {"Left", Kind::Integer, {}},
    {"Top", Kind::Integer, {}},
    {"Right", Kind::Integer, {}},
    {"Bottom", Kind::Integer, {}},
};

const SettingTable kItems = tableOf(kItemsSettings);
const SettingTable kFont = tableOf(kFontSettings);
const SettingTable kConstraints = tableOf(kConstraintsSettings);
const SettingTable kMargins = tableOf(kMarginsSettings);

// The published settings of the tree control that a file may carry. The ten entries the writer
// writes are among them; the rest are read by their kind, checked and left alone, as the
// control's own settings are fixed by the main window.
const Setting kTreeViewSettings[] = {
    {"Left", Kind::Integer, {}},
    {"Top", Kind::Integer, {}},
    {"Width", Kind::Integer, {}},
    {"Height", Kind::Integer, {}},
    {"Align",
     Kind::Enumeration,
     {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"}},
    {"AutoExpand", Kind::Enumeration, kBoolean},
    {"DragMode", Kind::Enumeration, {"dmManual", "dmAutomatic"}},
    {"Indent", Kind::Integer, {}},
    {"TabOrder", Kind::Integer, {}},
    {"Items", Kind::Object, {}, &kItems},
    {"AlignWithMargins", Kind::Enumeration, kBoolean},
    {"Anchors", Kind::Set, {"akLeft", "akTop", "akRight", "akBottom"}},
    {"BevelEdges", Kind::Set, {"beLeft", "beTop", "beRight", "beBottom"}},
    {"BevelInner", Kind::Enumeration, kBevel},
    {"BevelOuter", Kind::Enumeration, kBevel},
    {"BevelKind", Kind::Enumeration, {"bkNone", "bkTile", "bkSoft", "bkFlat"}},
    {"BevelWidth", Kind::Integer, {}},
    {"BiDiMode",
     Kind::Enumeration,
     {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign", "bdRightToLeftReadingOnly"}},
    {"BorderStyle", Kind::Enumeration, {"bsNone", "bsSingle"}},
    {"BorderWidth", Kind::Integer, {}},
    {"ChangeDelay", Kind::Integer, {}},
    {"Color", Kind::NamedInteger, kColors},
    {"Constraints", Kind::Object, {}, &kConstraints},
    {"Ctl3D", Kind::Enumeration, kBoolean},
    {"Cursor", Kind::NamedInteger, kCursors},
    {"CustomHint", Kind::Component, {}},
    {"DoubleBuffered", Kind::Enumeration, kBoolean},
    {"DragCursor", Kind::NamedInteger, kCursors},
    {"DragKind", Kind::Enumeration, {"dkDrag", "dkDock"}},
    {"Enabled", Kind::Enumeration, kBoolean},
    {"Font", Kind::Object, {}, &kFont},
    {"HelpContext", Kind::Integer, {}},
    {"HelpKeyword", Kind::String, {}},
    {"HelpType", Kind::Enumeration, {"htKeyword", "htContext"}},
    {"HideSelection", Kind::Enumeration, kBoolean},
    {"Hint", Kind::String, {}},
    {"HotTrack", Kind::Enumeration, kBoolean},
    {"Images", Kind::Component, {}},
    {"Margins", Kind::Object, {}, &kMargins},
    {"MultiSelect", Kind::Enumeration, kBoolean},
    {"MultiSelectStyle",
     Kind::Set,
     {"msControlSelect", "msShiftSelect", "msVisibleOnly", "msSiblingOnly"}},
    {"ParentBiDiMode", Kind::Enumeration, kBoolean},
    {"ParentColor", Kind::Enumeration, kBoolean},
    {"ParentCtl3D", Kind::Enumeration, kBoolean},
    {"ParentCustomHint", Kind::Enumeration, kBoolean},
    {"ParentDoubleBuffered", Kind::Enumeration, kBoolean},
    {"ParentFont", Kind::Enumeration, kBoolean},
    {"ParentShowHint", Kind::Enumeration, kBoolean},
    {"PopupMenu", Kind::Component, {}},
    {"ReadOnly", Kind::Enumeration, kBoolean},
    {"RightClickSelect", Kind::Enumeration, kBoolean},
    {"RowSelect", Kind::Enumeration, kBoolean},
    {"ShowButtons", Kind::Enumeration, kBoolean},
    {"ShowHint", Kind::Enumeration, kBoolean},
    {"ShowLines", Kind::Enumeration, kBoolean},
    {"ShowRoot", Kind::Enumeration, kBoolean},
    {"SortType", Kind::Enumeration, {"stNone", "stData", "stText", "stBoth"}},
    {"StateImages", Kind::Component, {}},
    {"StyleElements", Kind::Set, {"seFont", "seClient", "seBorder"}},
    {"TabStop", Kind::Enumeration, kBoolean},
    {"Tag", Kind::Integer, {}},
    {"ToolTips", Kind::Enumeration, kBoolean},
    {"Visible", Kind::Enumeration, kBoolean},
    {"OnAddition", Kind::Event, {}},
    {"OnAdvancedCustomDraw", Kind::Event, {}},
    {"OnAdvancedCustomDrawItem", Kind::Event, {}},
    {"OnCancelEdit", Kind::Event, {}},
    {"OnChange", Kind::Event, {}},
    {"OnChanging", Kind::Event, {}},
    {"OnClick", Kind::Event, {}},
    {"OnCollapsed", Kind::Event, {}},
    {"OnCollapsing", Kind::Event, {}},
    {"OnCompare", Kind::Event, {}},
    {"OnContextPopup", Kind::Event, {}},
    {"OnCreateNodeClass", Kind::Event, {}},
    {"OnCustomDraw", Kind::Event, {}},
    {"OnCustomDrawItem", Kind::Event, {}},
    {"OnDblClick", Kind::Event, {}},
    {"OnDeletion", Kind::Event, {}},
    {"OnDragDrop", Kind::Event, {}},
    {"OnDragOver", Kind::Event, {}},
    {"OnEdited", Kind::Event, {}},
    {"OnEditing", Kind::Event, {}},
    {"OnEndDock", Kind::Event, {}},
    {"OnEndDrag", Kind::Event, {}},
    {"OnEnter", Kind::Event, {}},
    {"OnExit", Kind::Event, {}},
    {"OnExpanded", Kind::Event, {}},
    {"OnExpanding", Kind::Event, {}},
    {"OnGetImageIndex", Kind::Event, {}},
    {"OnGetSelectedIndex", Kind::Event, {}},
    {"OnHint", Kind::Event, {}},
    {"OnKeyDown", Kind::Event, {}},
    {"OnKeyPress", Kind::Event, {}},
    {"OnKeyUp", Kind::Event, {}},
    {"OnMouseActivate", Kind::Event, {}},
    {"OnMouseDown", Kind::Event, {}},
    {"OnMouseEnter", Kind::Event, {}},
    {"OnMouseLeave", Kind::Event, {}},
    {"OnMouseMove", Kind::Event, {}},
    {"OnMouseUp", Kind::Event, {}},
    {"OnStartDock", Kind::Event, {}},
    {"OnStartDrag", Kind::Event, {}},
};

const SettingTable kTreeView = tableOf(kTreeViewSettings);

bool sameAscii(const QByteArray &a, const char *b)
{
    const qsizetype n = a.size();
    if (n != qsizetype(qstrlen(b)))
        return false;
    for (qsizetype i = 0; i < n; ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'a' && x <= 'z')
            x = char(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z')
            y = char(y - 'a' + 'A');
        if (x != y)
            return false;
    }
    return true;
}

const Setting *findSetting(const SettingTable &table, const QByteArray &name)
{
    for (size_t i = 0; i < table.count; ++i) {
        if (sameAscii(name, table.settings[i].name))
            return &table.settings[i];
    }
    return nullptr;
}

bool isMember(const Setting &setting, const QByteArray &identifier)
{
    for (const char *member : setting.members) {
        if (sameAscii(identifier, member))
            return true;
    }
    return false;
}

bool isValidIdentifier(const QByteArray &name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char c = name[i];
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
        if (!letter && (i == 0 || c < '0' || c > '9'))
            return false;
    }
    return !name.isEmpty();
}

[[noreturn]] void invalidValue()
{
    throw AppError(QStringLiteral("Invalid property value"));
}

[[noreturn]] void readError()
{
    throw AppError(QStringLiteral("Stream read error"));
}

qint32 readLE32(const char *p)
{
    return qFromLittleEndian<qint32>(p);
}

} // namespace

QString DlgReader::tooDeepText()
{
    return QStringLiteral("The dialog tree is nested deeper than %1 levels").arg(kDeepestLevel);
}

DlgReader::DlgReader(QIODevice &device) : m_device(device) {}

DlgReader::Content DlgReader::readFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError::cannotOpen(QFileInfo(fileName).absoluteFilePath(), file.errorString());
    return DlgReader(file).read();
}

DlgReader::Content DlgReader::read()
{
    StreamSource source(m_device);
    m_source = &source;
    m_content = Content();

    if (source.readBytes(4) != QByteArrayLiteral("TPF0"))
        throw AppError(QStringLiteral("Invalid stream format"));
    const quint8 flags = source.peekByte();
    if (flags >= 0xF0) {
        source.readByte();
        if (flags & 0x02)
            readInteger(source.readByte());
    }
    source.readShortString(); // the class name is not checked
    readObjectName();

    for (;;) {
        const QByteArray name = source.readShortString();
        if (name.isEmpty())
            break;
        try {
            readProperty(name);
        } catch (const AppError &e) {
            throw AppError(QStringLiteral("Error reading %1.%2: %3")
                               .arg(QLatin1String(ObjectNames::Main::treeView),
                                    Ansi::toUnicode(name), e.text()));
        }
    }
    // The tree control owns no child objects; the stream ends with the empty list of them.
    if (source.readByte() != 0)
        throw AppError(QStringLiteral("Invalid stream format"));

    m_source = nullptr;
    return std::move(m_content);
}

void DlgReader::readObjectName()
{
    const QByteArray name = m_source->readShortString();
    if (name.isEmpty())
        return;
    if (!isValidIdentifier(name))
        throw AppError(
            QStringLiteral("''%1'' is not a valid component name").arg(Ansi::toUnicode(name)));
    for (const char *other : ObjectNames::Main::otherComponents) {
        if (sameAscii(name, other))
            throw AppError(
                QStringLiteral("A component named %1 already exists").arg(Ansi::toUnicode(name)));
    }
    // The control keeps its own name: a file must not rename the main window's tree.
}

void DlgReader::readProperty(const QByteArray &name)
{
    // What names no setting ends the read, whatever value follows (even one of an unknown
    // kind): the entry's name is what is wrong.
    const QList<QByteArray> parts = name.split('.');
    const SettingTable *object = &kTreeView;
    const Setting *setting = nullptr;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QByteArray &part = parts[i];
        setting = findSetting(*object, part);
        if (!setting)
            throw AppError(QStringLiteral("Property %1 does not exist").arg(Ansi::toUnicode(part)));
        if (i + 1 < parts.size()) {
            if (setting->kind != Kind::Object)
                throw AppError(QStringLiteral("Invalid property path"));
            object = setting->object;
        }
    }

    const quint8 tag = m_source->readByte();
    switch (setting->kind) {
    case Kind::Integer: {
        const qint32 value = readInteger(tag);
        // The size is kept, so that a copy written from the records keeps the file's bytes.
        if (object == &kTreeView && sameAscii(setting->name, "Width"))
            m_content.viewSize.width = value;
        else if (object == &kTreeView && sameAscii(setting->name, "Height"))
            m_content.viewSize.height = value;
        return;
    }
    case Kind::NamedInteger:
        if (tag == TagIdent) {
            if (!isMember(*setting, m_source->readShortString()))
                invalidValue();
        } else {
            readInteger(tag);
        }
        return;
    case Kind::Enumeration: {
        QByteArray identifier;
        switch (tag) {
        case TagIdent:
            identifier = m_source->readShortString();
            break;
        case TagFalse:
            identifier = "False";
            break;
        case TagTrue:
            identifier = "True";
            break;
        case TagNil:
            identifier = "nil";
            break;
        case TagNull:
            identifier = "Null";
            break;
        default:
            skipValue(tag);
            invalidValue();
        }
        if (!isMember(*setting, identifier))
            invalidValue();
        return;
    }
    case Kind::String:
        if (tag == TagString || tag == TagLString || tag == TagWString || tag == TagUtf8String) {
            skipValue(tag);
            return;
        }
        break;
    case Kind::Set:
        if (tag == TagSet) {
            for (QByteArray member = m_source->readShortString(); !member.isEmpty();
                 member = m_source->readShortString()) {
                if (!isMember(*setting, member))
                    invalidValue();
            }
            return;
        }
        break;
    case Kind::Event:
        // A handler name cannot be bound: the handlers belong to the main window.
        if (tag == TagNil || tag == TagNull)
            return;
        break;
    case Kind::Component:
        // The named component belongs to the main window, which has none of the kind; as in
        // every reader of such streams, a reference that finds nothing is left unset.
        if (tag == TagIdent) {
            m_source->readShortString();
            return;
        }
        if (tag == TagNil || tag == TagNull)
            return;
        break;
    case Kind::Object:
        break;
    case Kind::Binary:
        if (tag == TagBinary) {
            const QByteArray block = m_source->readBytes(m_source->readInt32());
            m_content.records = parseNodeBlock(block);
            m_content.hasNodeBlock = true;
            return;
        }
        break;
    }
    skipValue(tag);
    invalidValue();
}

qint32 DlgReader::readInteger(quint8 tag)
{
    switch (tag) {
    case TagInt8:
        return qint8(m_source->readByte());
    case TagInt16:
        return m_source->readInt16();
    case TagInt32:
        return m_source->readInt32();
    default:
        skipValue(tag);
        invalidValue();
    }
}

// Steps over one value of any kind. Lists and collections nest; they are walked with a stack of
// their own so that no file can exhaust the call stack.
void DlgReader::skipValue(quint8 tag)
{
    enum class Frame { List, Collection, Item };
    std::vector<Frame> open;
    StreamSource &s = *m_source;

    const auto stepOver = [&](quint8 t) {
        switch (t) {
        case TagNull:
        case TagFalse:
        case TagTrue:
        case TagNil:
            return;
        case TagList:
            open.push_back(Frame::List);
            return;
        case TagInt8:
            s.skip(1);
            return;
        case TagInt16:
            s.skip(2);
            return;
        case TagInt32:
        case TagSingle:
            s.skip(4);
            return;
        case TagExtended:
            s.skip(10);
            return;
        case TagString:
        case TagIdent:
            s.skip(s.readByte());
            return;
        case TagBinary:
        case TagLString:
        case TagUtf8String:
            s.skip(s.readInt32());
            return;
        case TagSet:
            for (quint8 n = s.readByte(); n != 0; n = s.readByte())
                s.skip(n);
            return;
        case TagCollection:
            open.push_back(Frame::Collection);
            return;
        case TagCurrency:
        case TagDate:
        case TagInt64:
            s.skip(8);
            return;
        case TagWString:
            s.skip(2 * qint64(s.readInt32()));
            return;
        default:
            invalidValue();
        }
    };

    stepOver(tag);
    while (!open.empty()) {
        switch (open.back()) {
        case Frame::List: {
            const quint8 t = s.readByte();
            if (t == TagNull)
                open.pop_back();
            else
                stepOver(t);
            break;
        }
        case Frame::Collection: {
            quint8 t = s.readByte();
            if (t == TagNull) {
                open.pop_back();
                break;
            }
            if (t == TagInt8 || t == TagInt16 || t == TagInt32) {
                stepOver(t);
                t = s.readByte();
            }
            if (t != TagList)
                invalidValue();
            open.push_back(Frame::Item);
            break;
        }
        case Frame::Item: {
            const quint8 n = s.readByte();
            if (n == 0) {
                open.pop_back();
                break;
            }
            s.skip(n);
            stepOver(s.readByte());
            break;
        }
        }
    }
}

DlgRecordList DlgReader::parseNodeBlock(const QByteArray &block)
{
    const char *data = block.constData();
    const qsizetype size = block.size();
    if (size < 4)
        readError();
    qsizetype pos = 4;

    // Record headers hold at most 280 bytes: the size field counts 25 fixed bytes and the text.
    constexpr qint32 kFixed = 25;
    constexpr qint32 kLargest = kFixed + 255;
    DlgRecordList records;
    records.reserve(size_t((size - 4) / (4 + kFixed)));
    // Records still to read on each open level: the top level first.
    std::vector<qint32> pending{std::max(readLE32(data), 0)};
    while (!pending.empty()) {
        if (pending.back() == 0) {
            pending.pop_back();
            continue;
        }
        --pending.back();
        if (size - pos < 4)
            readError();
        const qint32 recordSize = readLE32(data + pos);
        pos += 4;
        if (recordSize < kFixed || recordSize > kLargest || size - pos < recordSize)
            readError();
        const char *r = data + pos;
        const quint8 length = quint8(r[24]);
        if (recordSize != kFixed + length)
            readError();
        DlgRecord record;
        record.level = int(pending.size()) - 1;
        record.image = readLE32(r);
        record.selected = readLE32(r + 4);
        record.state = readLE32(r + 8);
        record.overlay = readLE32(r + 12);
        record.data = quint32(readLE32(r + 16));
        const qint32 children = readLE32(r + 20);
        record.text = QByteArray(r + kFixed, length);
        // Children of a node on the deepest level would stand deeper than the view can go.
        if (children > 0 && record.level >= DlgReader::kDeepestLevel)
            throw AppError(DlgReader::tooDeepText());
        records.push_back(std::move(record));
        pos += recordSize;
        pending.push_back(std::max(children, 0));
    }
    return records;
}
