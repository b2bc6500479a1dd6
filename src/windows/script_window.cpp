#include "script_window.h"

#include "platform/object_names.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace names = ObjectNames::Script;

ScriptWindow::ScriptWindow(QWidget *parent)
    : QWidget(parent, Qt::Window), m_text(new QPlainTextEdit(this))
{
    setObjectName(QLatin1String(names::window));
    setWindowTitle(QStringLiteral("Talmero"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text);
    resize(480, 360);
}
