#pragma once

#include "platform/program_folder.h"

#include <QImage>
#include <QTemporaryDir>

// A temporary program folder holding Fonts/ with the four shipped character files.
class FontTestFolder
{
public:
    FontTestFolder();

    bool isValid() const { return m_dir.isValid(); }
    ProgramFolder folder() const { return ProgramFolder(m_dir.path()); }
    QString path(const QString &relative) const { return m_dir.filePath(relative); }
    void write(const QString &relative, const QByteArray &bytes) const;
    QByteArray read(const QString &relative) const;

private:
    QTemporaryDir m_dir;
};

// The smallest rectangle of area holding every pixel that is not the background colour.
QRect inkBox(const QImage &image, QRgb background, QRect area = QRect());
