#include "saved_readings.h"

#include "platform/ansi.h"
#include "platform/app_error.h"
#include "platform/bounded_file.h"
#include "platform/file_writing.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>

namespace {

// Far more than thousands of long readings take.
constexpr qint64 kMostBytes = 256 * 1024 * 1024;

const QString kHeader =
    QStringLiteral("# Saved readings of the .dlg file beside this one, by name. Each gives its "
                   "start,\n# the answers taken and the transcript it showed (the lines after "
                   "\"| \");\n# talmero-cli test replays them.\n");

bool byName(const SavedReading &a, const SavedReading &b)
{
    return a.name < b.name;
}

} // namespace

QString SavedReadings::pathFor(const QString &dialogFile)
{
    const QFileInfo info(dialogFile);
    const QString base = info.suffix().compare(u"dlg", Qt::CaseInsensitive) == 0
                             ? info.completeBaseName()
                             : info.fileName();
    return info.dir().filePath(base + QStringLiteral(".readings.txt"));
}

SavedReadings SavedReadings::load(const QString &dialogFile)
{
    const QString path = pathFor(dialogFile);
    const BoundedFile::Result read = BoundedFile::readRegular(path, kMostBytes);
    SavedReadings readings;
    if (read.status == BoundedFile::Status::Missing) {
        readings.m_path = path;
        return readings;
    }
    if (!read.ok())
        throw AppError::cannotOpen(path, read.status == BoundedFile::Status::TooLarge
                                             ? QStringLiteral("The file is too large")
                                         : read.status == BoundedFile::Status::NotRegular
                                             ? QStringLiteral("Not a regular file")
                                             : read.reason);
    readings = parse(read.bytes, path);
    return readings;
}

SavedReadings SavedReadings::parse(const QByteArray &text, const QString &fileName)
{
    SavedReadings readings;
    readings.m_path = fileName;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(text);
    if (utf8.hasError())
        throw AppError(QStringLiteral("%1: the file is not UTF-8 text").arg(fileName));
    const QStringList lines = decoded.split(u'\n');
    SavedReading *reading = nullptr;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r'))
            line.chop(1);
        const auto refuse = [&](const QString &why) {
            return AppError(QStringLiteral("%1:%2: %3").arg(fileName).arg(i + 1).arg(why));
        };
        if (line.startsWith(u'|')) {
            if (!reading)
                throw refuse(QStringLiteral("a transcript line before the first [name]"));
            reading->transcript.append(line.mid(line.startsWith(u"| ") ? 2 : 1));
            continue;
        }
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            const QString name = line.mid(1, line.lastIndexOf(u']') - 1).trimmed();
            if (!line.endsWith(u']') || name.isEmpty())
                throw refuse(QStringLiteral("a reading begins with [name]"));
            if (readings.find(name))
                throw refuse(QStringLiteral("a second reading named \"%1\"").arg(name));
            readings.m_readings.push_back(SavedReading{name, {}, {}, {}});
            reading = &readings.m_readings.back();
            continue;
        }
        const qsizetype equals = line.indexOf(QStringLiteral(" = "));
        if (!reading || equals < 0)
            throw refuse(QStringLiteral("expected [name], key = value or a \"| \" line"));
        if (!reading->transcript.isEmpty())
            throw refuse(QStringLiteral("the start and answers come before the transcript"));
        const QString key = line.left(equals);
        const QString value = line.mid(equals + 3);
        const QString unfit = Ansi::firstUnrepresentable(value);
        if (!unfit.isEmpty())
            throw refuse(Ansi::unrepresentableText(unfit));
        if (key == u"from" || key == u"removed") {
            const std::optional<DialogRef> ref = DialogRef::parse(value);
            if (!ref || (key == u"from" && ref->choice))
                throw refuse(QStringLiteral("expected DialogN, or choice C of DialogN, and what "
                                            "it shows"));
            if (key == u"from")
                reading->start.from = ref;
            else
                reading->start.removed.push_back(*ref);
        } else if (key == u"set") {
            const std::optional<VariableOperation> set =
                VariableOperation::parse(Ansi::fromUnicode(value));
            if (!set || !set->fits())
                throw refuse(QStringLiteral("expected set = Type name = value"));
            reading->start.variables.push_back(*set);
        } else if (key == u"answers") {
            for (const QByteArray &answer : Ansi::fromUnicode(value).split(',')) {
                if (!answer.trimmed().isEmpty())
                    reading->answers.append(answer.trimmed());
            }
        } else {
            throw refuse(QStringLiteral("unknown key \"%1\"").arg(key));
        }
    }
    std::stable_sort(readings.m_readings.begin(), readings.m_readings.end(), byName);
    return readings;
}

QString SavedReadings::nameProblem(const QString &name)
{
    if (name.trimmed().isEmpty())
        return QStringLiteral("A reading needs a name.");
    if (name != name.trimmed() || name.contains(u'\n') || name.contains(u'\r') ||
        name.contains(u']'))
        return QStringLiteral("A reading's name is one line without \"]\" and without blanks at "
                              "its ends.");
    return QString();
}

const SavedReading *SavedReadings::find(const QString &name) const
{
    for (const SavedReading &reading : m_readings) {
        if (reading.name == name)
            return &reading;
    }
    return nullptr;
}

void SavedReadings::put(SavedReading reading)
{
    auto at = std::lower_bound(m_readings.begin(), m_readings.end(), reading, byName);
    if (at != m_readings.end() && at->name == reading.name)
        *at = std::move(reading);
    else
        m_readings.insert(at, std::move(reading));
}

bool SavedReadings::remove(const QString &name)
{
    const auto at = std::find_if(m_readings.begin(), m_readings.end(),
                                 [&name](const SavedReading &r) { return r.name == name; });
    if (at == m_readings.end())
        return false;
    m_readings.erase(at);
    return true;
}

QByteArray SavedReadings::text() const
{
    QString text = kHeader;
    for (const SavedReading &reading : m_readings) {
        text += QStringLiteral("\n[") + reading.name + QStringLiteral("]\n");
        if (reading.start.from)
            text += QStringLiteral("from = ") + reading.start.from->text() + u'\n';
        for (const VariableOperation &variable : reading.start.variables)
            text += QStringLiteral("set = ") + Ansi::toUnicode(variable.text().mid(4)) + u'\n';
        for (const DialogRef &ref : reading.start.removed)
            text += QStringLiteral("removed = ") + ref.text() + u'\n';
        QStringList answers;
        for (const QByteArray &answer : reading.answers)
            answers << Ansi::toUnicode(answer);
        if (!answers.isEmpty())
            text += QStringLiteral("answers = ") + answers.join(u',') + u'\n';
        for (const QString &line : reading.transcript)
            text += QStringLiteral("| ") + line + u'\n';
    }
    return text.toUtf8();
}

void SavedReadings::save() const
{
    FileWriting::replace(m_path, text());
}
