#include "about_window.h"

#include "platform/object_names.h"
#include "platform/shell_services.h"
#include "shell/jpeg_picture.h"

#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

namespace names = ObjectNames::About;

// The resource lives in a static library, whose initialiser the linker would drop; the macro
// must be used outside any namespace.
static void initAboutResource()
{
    Q_INIT_RESOURCE(about);
}

namespace {

QByteArray pictureBytes()
{
    initAboutResource();
    QFile file(QStringLiteral(":/shell/about.jpg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QLabel *label(QWidget *parent, const char *name, const QString &text, int x, int y)
{
    auto *result = new QLabel(text, parent);
    result->setObjectName(QString::fromLatin1(name));
    result->move(x, y);
    result->adjustSize();
    return result;
}

} // namespace

AboutWindow::AboutWindow(ShellServices &shell, const QString &layout, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_shell(shell)
{
    setObjectName(QLatin1String(names::window));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(436, 248);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    pictureLabel = new QLabel(this);
    pictureLabel->setObjectName(QLatin1String(names::pictureLabel));
    pictureLabel->setGeometry(8, 8, 420, 145);
    pictureLabel->setAlignment(Qt::AlignCenter);
    const QImage picture = JpegPicture::decode(pictureBytes());
    if (!picture.isNull())
        pictureLabel->setPixmap(QPixmap::fromImage(
            picture.scaled(pictureLabel->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));

    creditsLabel =
        label(this, names::creditsLabel,
              QStringLiteral("Author: Ilse Marwen\nTeam: Lantern Hill\n3DGS Talmero 0.9"), 8, 152);
    creditsLabel->setWordWrap(true);
    creditsLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    creditsLabel->resize(129, 41);

    editionLabel = label(this, names::editionLabel, QStringLiteral("Basic version"), 160, 160);
    QFont bold = editionLabel->font();
    bold.setBold(true);
    editionLabel->setFont(bold);
    editionLabel->adjustSize();

    // The credit line a game made with the program carries.
    creditLineLabel = label(this, names::creditLineLabel,
                            QStringLiteral("Games made with Talmero\ncarry the credit line:\n"
                                           "\"Made with Talmero,\n%1\"")
                                .arg(QUrl(webAddress()).host()),
                            250, 152);
    creditLineLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    creditLineLabel->resize(178, 60);

    webLinkLabel = label(this, names::webLinkLabel, webAddress(), 8, 192);
    webLinkLabel->setFont(bold);
    webLinkLabel->adjustSize();
    webLinkLabel->setCursor(Qt::PointingHandCursor);
    setLinkColor(Qt::blue);
    webLinkLabel->installEventFilter(this);

    // Long paths wrap; the whole line is also the tooltip, selectable for copying.
    layoutLabel = label(this, names::layoutLabel, layout, 8, 210);
    layoutLabel->setWordWrap(true);
    layoutLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layoutLabel->setGeometry(8, 210, 336, 36);
    layoutLabel->setToolTip(layout);
    layoutLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    okButton = new QPushButton(QStringLiteral("Okay"), this);
    okButton->setObjectName(QLatin1String(names::okButton));
    okButton->setGeometry(352, 216, 75, 25);
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
}

QString AboutWindow::webAddress()
{
    return QStringLiteral("https://talmero.example.org/");
}

void AboutWindow::highlightLink()
{
    setLinkColor(Qt::red);
}

void AboutWindow::unhighlightLink()
{
    setLinkColor(Qt::blue);
}

void AboutWindow::openWebAddress()
{
    m_shell.open(webAddress());
}

void AboutWindow::setLinkColor(const QColor &color)
{
    QPalette palette = webLinkLabel->palette();
    palette.setColor(QPalette::WindowText, color);
    webLinkLabel->setPalette(palette);
}

bool AboutWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == webLinkLabel) {
        switch (event->type()) {
        case QEvent::Enter:
            highlightLink();
            break;
        case QEvent::Leave:
            unhighlightLink();
            break;
        case QEvent::MouseButtonRelease: {
            // A click is a left button released over the link.
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton &&
                webLinkLabel->rect().contains(mouse->position().toPoint()))
                openWebAddress();
            break;
        }
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void AboutWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Centred on the desktop rather than on the main window.
    if (const QScreen *desktop = screen())
        move(desktop->availableGeometry().center() - rect().center());
}

void AboutWindow::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    // A window closed with the keyboard while the mouse rests on the link gets no leave event;
    // the link must not come back red when the mouse has moved on.
    unhighlightLink();
}
