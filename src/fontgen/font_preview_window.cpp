#include "font_preview_window.h"

#include "platform/object_names.h"

#include <QLabel>
#include <QVBoxLayout>

namespace names = ObjectNames::FontPreview;

FontPreviewWindow::FontPreviewWindow(QWidget *parent)
    : QWidget(parent, Qt::Window), m_image(new QLabel(this))
{
    setObjectName(QLatin1String(names::window));
    setWindowTitle(QStringLiteral("Font preview"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_image);
    resize(480, 200);
}
