#include "cli_command.h"

#include "fontgen/font_generator.h"
#include "fontgen/font_saving.h"
#include "platform/app_error.h"

#include <QFontDatabase>
#include <QRegularExpression>
#include <optional>

namespace {

const char kUsage[] =
    "talmero-cli font [--program-folder DIR] [--out FILE] [--font FAMILY] [--size POINTS] [--bold] "
    "[--italic] [--fg RRGGBB] [--bg RRGGBB] [--shadow SIZE] [--shadow-color RRGGBB] "
    "[--outline SIZE] [--outline-color RRGGBB] [--space-x N] [--space-y N] [--name NAME]"
    "    render a glyph sheet and print its WDL declaration";

struct UsageError
{
    QString text;
};

std::optional<quint32> parseColor(const QString &text)
{
    // Six hexadecimal digits and nothing else: toUInt alone would take a sign or blanks.
    static const QRegularExpression pattern(QStringLiteral("^[0-9A-Fa-f]{6}$"));
    if (!pattern.match(text).hasMatch())
        return std::nullopt;
    return text.toUInt(nullptr, 16);
}

class Arguments
{
public:
    explicit Arguments(const QStringList &arguments) : m_arguments(arguments) {}

    bool atEnd() const { return m_next >= m_arguments.size(); }
    QString option() { return m_arguments.at(m_next++); }

    QString value(const QString &option)
    {
        if (atEnd())
            throw UsageError{option + QStringLiteral(" needs a value")};
        return m_arguments.at(m_next++);
    }

    int number(const QString &option, int minimum, int maximum)
    {
        const QString text = value(option);
        bool ok = false;
        const int n = text.toInt(&ok);
        if (!ok || n < minimum || n > maximum) {
            throw UsageError{QStringLiteral("%1 takes a whole number from %2 to %3, not '%4'")
                                 .arg(option)
                                 .arg(minimum)
                                 .arg(maximum)
                                 .arg(text)};
        }
        return n;
    }

    quint32 color(const QString &option)
    {
        const QString text = value(option);
        const std::optional<quint32> rgb = parseColor(text);
        if (!rgb)
            throw UsageError{option + QStringLiteral(" takes a colour RRGGBB, not '") + text +
                             u'\''};
        return *rgb;
    }

    // A family the system lacks would be replaced by another one without a word.
    QString family(const QString &option)
    {
        const QString text = value(option);
        if (!QFontDatabase::families().contains(text, Qt::CaseInsensitive))
            throw UsageError{
                QStringLiteral("%1: no font family '%2' is installed").arg(option, text)};
        return text;
    }

private:
    QStringList m_arguments;
    qsizetype m_next = 0;
};

// Renders the sheet as the window's "Save" does, copies it to --out by the same rules and prints
// the declaration line.
int runFont(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.contains(QStringLiteral("--help"))) {
        out << "Usage: " << kUsage
            << "\n\n"
               "Renders every printable character of a system font into the glyph sheet\n"
               "Fonts/temp.bmp of the program folder, as the font generator window does, and\n"
               "prints the WDL line that declares the font. --out copies the sheet to FILE\n"
               "(\".bmp\" is added to a name without an extension) and never replaces a\n"
               "file. Sizes are in points (1 to 500), shadow and outline in pixels (1 to 50),\n"
               "spacing in pixels (0 to 100), colours as six hexadecimal digits. Exits with 0\n"
               "on success, 1 when the sheet cannot be rendered or copied, 2 on a wrong\n"
               "argument.\n";
        return 0;
    }
    FontSettings settings;
    ProgramFolder folder = ProgramFolder::ofExecutable();
    QString outFile;
    try {
        Arguments args(arguments);
        while (!args.atEnd()) {
            const QString option = args.option();
            if (option == u"--program-folder")
                folder = ProgramFolder(args.value(option));
            else if (option == u"--out")
                outFile = args.value(option);
            else if (option == u"--font")
                settings.font.family = args.family(option);
            else if (option == u"--size")
                settings.font.pointSize = args.number(option, 1, 500);
            else if (option == u"--bold")
                settings.font.bold = true;
            else if (option == u"--italic")
                settings.font.italic = true;
            else if (option == u"--fg")
                settings.foreground = args.color(option);
            else if (option == u"--bg")
                settings.background = args.color(option);
            else if (option == u"--shadow") {
                settings.shadow = true;
                settings.shadowSize = args.number(option, 1, 50);
            } else if (option == u"--shadow-color")
                settings.shadowColor = args.color(option);
            else if (option == u"--outline") {
                settings.outline = true;
                settings.outlineSize = args.number(option, 1, 50);
            } else if (option == u"--outline-color")
                settings.outlineColor = args.color(option);
            else if (option == u"--space-x")
                settings.spaceX = args.number(option, 0, 100);
            else if (option == u"--space-y")
                settings.spaceY = args.number(option, 0, 100);
            else if (option == u"--name")
                settings.fontName = args.value(option);
            else
                throw UsageError{QStringLiteral("unknown option '%1'").arg(option)};
        }
    } catch (const UsageError &error) {
        err << "talmero-cli font: " << error.text << "\nUsage: " << kUsage << '\n';
        return 2;
    }

    const FontGenerator generator(folder);
    FontRender render;
    try {
        render = generator.renderSheet(settings);
    } catch (const AppError &error) {
        err << "talmero-cli font: " << AppError::boxText(error.text()) << '\n';
        return 1;
    }
    out << render.declaration << '\n';
    out.flush();
    if (outFile.isEmpty())
        return 0;
    const QString target = FontSaving::withExtension(outFile);
    const FontSaving::CopyResult copy =
        FontSaving::copyWithoutReplacing(generator.sheetPath(), target);
    if (copy.outcome == FontSaving::CopyResult::AlreadyExists) {
        err << "talmero-cli font: \"" << target << "\" already exists and was not replaced\n";
        return 1;
    }
    if (copy.outcome == FontSaving::CopyResult::Failed) {
        err << "talmero-cli font: cannot copy the sheet to \"" << target << "\". " << copy.reason
            << '\n';
        return 1;
    }
    return 0;
}

const CliCommand::Registration registration({"font", kUsage, true, runFont});

} // namespace
