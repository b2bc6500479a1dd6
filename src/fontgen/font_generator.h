#pragma once

#include "fontgen/font_settings.h"
#include "platform/program_folder.h"

#include <QByteArray>
#include <QImage>
#include <QString>

// What one render produced: the image as written, the cell size and the declaration line.
struct FontRender
{
    QImage image;
    int cellWidth = 0;
    int cellHeight = 0;
    QString declaration;
};

// Renders glyph sheets and live previews from the character files of the program's Fonts
// folder. Every render starts from nothing and writes its file only at the end, so a failure
// (an AppError with the text the user sees) leaves every file as it was.
class FontGenerator
{
public:
    static constexpr int PreviewWidth = 449;
    static constexpr int PreviewHeight = 73;

    explicit FontGenerator(ProgramFolder folder);

    QString fontsFolder() const { return m_folder.userFile(QStringLiteral("Fonts/")); }
    QString sheetPath() const { return m_folder.userFile(QStringLiteral("Fonts/temp.bmp")); }
    QString previewPath() const { return m_folder.userFile(QStringLiteral("prev.bmp")); }

    // "<name> <My_Font_Name.bmp>, W, H;": the bracketed part is a fixed placeholder.
    static QString declaration(const QString &fontName, int cellWidth, int cellHeight);
    // The top of the glyph band in the preview, rounded toward zero.
    static int previewTop(int cellHeight) { return (PreviewHeight - cellHeight) / 2; }

    // The whole glyph sheet: 32 cells by 4 rows, row 0 empty, row r from row file r. Written to
    // Fonts/temp.bmp.
    FontRender renderSheet(const FontSettings &settings) const;
    // The sample text, one character to a cell, in a 449 x 73 image. Written to prev.bmp and read
    // back from it.
    FontRender preview(const FontSettings &settings, const QByteArray &sampleText) const;

private:
    QString characterFile(int row) const;

    ProgramFolder m_folder;
};
