#include "fontgen_test_support.h"

#include "test_program.h"

#include <QDir>
#include <QFile>

FontTestFolder::FontTestFolder()
{
    ShippedData::installFonts(m_dir.path());
}

void FontTestFolder::write(const QString &relative, const QByteArray &bytes) const
{
    QFile file(path(relative));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

QByteArray FontTestFolder::read(const QString &relative) const
{
    QFile file(path(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QRect inkBox(const QImage &image, QRgb background, QRect area)
{
    if (area.isNull())
        area = image.rect();
    area &= image.rect();
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) != (background & 0xFFFFFF))
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}
