#include "font_generator.h"

#include "fontgen/character_file.h"
#include "fontgen/glyph_metrics.h"
#include "fontgen/glyph_painter.h"
#include "platform/app_error.h"
#include "platform/file_writing.h"
#include "platform/safe_save_file.h"

#include <QImageReader>
#include <QtEndian>
#include <cerrno>

namespace {

constexpr int CellsPerRow = 32;
constexpr int SheetRows = 4;

// An uncompressed 24-bit BMP with no pixels: Qt's writer refuses empty images.
QByteArray emptyBmp()
{
    QByteArray bytes(54, '\0');
    uchar *b = reinterpret_cast<uchar *>(bytes.data());
    b[0] = 'B';
    b[1] = 'M';
    qToLittleEndian<quint32>(54, b + 2);  // file size
    qToLittleEndian<quint32>(54, b + 10); // pixel data offset
    qToLittleEndian<quint32>(40, b + 14); // info header size
    qToLittleEndian<quint16>(1, b + 26);  // planes
    qToLittleEndian<quint16>(24, b + 28); // bits per pixel
    return bytes;
}

// Replaces the file only once the whole image is written.
void writeBmp(const QImage &image, const QString &path)
{
    SafeSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        throw AppError::cannotCreate(path, FileWriting::reason(file, errno));
    const bool written = image.isNull() ? file.write(emptyBmp()) == 54 : image.save(&file, "BMP");
    if (!written || !file.commit())
        throw AppError::cannotCreate(path, FileWriting::reason(file, errno));
}

QImage filledImage(int width, int height, quint32 background)
{
    QImage image(qMax(0, width), qMax(0, height), QImage::Format_RGB32);
    if (image.isNull() && width > 0 && height > 0)
        throw AppError(QStringLiteral("Out of memory"));
    image.fill(QColor::fromRgb(background));
    return image;
}

} // namespace

FontGenerator::FontGenerator(ProgramFolder folder) : m_folder(std::move(folder)) {}

QString FontGenerator::declaration(const QString &fontName, int cellWidth, int cellHeight)
{
    // One pass, so that markers like "%1" typed into the font name stay as typed.
    return QStringLiteral("%1 <My_Font_Name.bmp>, %2, %3;")
        .arg(fontName, QString::number(cellWidth), QString::number(cellHeight));
}

QString FontGenerator::characterFile(int row) const
{
    return row == 0 ? m_folder.shippedFile(QStringLiteral("Fonts/dummy_font.txt"))
                    : m_folder.shippedFile(QStringLiteral("Fonts/dummy_font%1.txt").arg(row));
}

FontRender FontGenerator::renderSheet(const FontSettings &settings) const
{
    const GlyphMetrics metrics(settings.font);
    const QByteArray measured = CharacterFile::read(characterFile(0));
    FontRender render;
    render.cellHeight = metrics.cellHeightOf(measured, settings.spaceY);
    render.cellWidth = metrics.cellWidthOf(measured, settings.spaceX);
    render.image = filledImage(CellsPerRow * render.cellWidth, SheetRows * render.cellHeight,
                               settings.background);
    if (!render.image.isNull()) {
        GlyphPainter painter(render.image, metrics, settings);
        for (int row = 1; row < SheetRows; ++row) {
            const QByteArray characters = CharacterFile::read(characterFile(row));
            // Characters past the 32nd fall beyond the right edge and are clipped.
            for (qsizetype k = 0; k < characters.size(); ++k) {
                const qint64 cellX = qint64(k) * render.cellWidth;
                if (!painter.isPastEdge(cellX, render.cellWidth, characters.at(k),
                                        render.image.width())) {
                    painter.drawGlyph(characters.at(k), int(cellX), row * render.cellHeight,
                                      render.cellWidth);
                }
            }
        }
    } else {
        // Nothing to draw on, but a missing row file is still the failure it always is.
        for (int row = 1; row < SheetRows; ++row)
            CharacterFile::read(characterFile(row));
    }
    writeBmp(render.image, sheetPath());
    render.declaration = declaration(settings.fontName, render.cellWidth, render.cellHeight);
    return render;
}

FontRender FontGenerator::preview(const FontSettings &settings, const QByteArray &sampleText) const
{
    const GlyphMetrics metrics(settings.font);
    const QByteArray measured = CharacterFile::read(characterFile(0));
    FontRender render;
    render.cellHeight = metrics.cellHeightOf(measured, settings.spaceY);
    render.cellWidth = metrics.cellWidthOf(measured, settings.spaceX);
    QImage image = filledImage(PreviewWidth, PreviewHeight, settings.background);
    {
        GlyphPainter painter(image, metrics, settings);
        const int top = previewTop(render.cellHeight);
        for (qsizetype k = 0; k < sampleText.size(); ++k) {
            const qint64 cellX = qint64(k) * render.cellWidth;
            if (!painter.isPastEdge(cellX, render.cellWidth, sampleText.at(k), PreviewWidth))
                painter.drawGlyph(sampleText.at(k), int(cellX), top, render.cellWidth);
        }
    }
    const QString path = previewPath();
    writeBmp(image, path);
    QImageReader reader(path, "BMP");
    render.image = reader.read();
    if (render.image.isNull())
        throw AppError::cannotOpen(path, reader.errorString());
    render.declaration = declaration(settings.fontName, render.cellWidth, render.cellHeight);
    return render;
}
