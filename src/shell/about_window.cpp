#include "about_window.h"

#include "platform/shell_services.h"
#include "shell/jpeg_picture.h"

#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

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

TForm7::TForm7(ShellServices &shell, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_shell(shell)
{
    setObjectName(QStringLiteral("TForm7"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(436, 248);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(8, 8, 420, 145);
    Image1->setAlignment(Qt::AlignCenter);
    const QImage picture = JpegPicture::decode(pictureBytes());
    if (!picture.isNull())
        Image1->setPixmap(QPixmap::fromImage(
            picture.scaled(Image1->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));

    Label1 =
        label(this, "Label1",
              QStringLiteral("Author: Ilse Marwen\nTeam: Lantern Hill\n3DGS Talmero 0.9"), 8, 152);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->resize(129, 41);

    Label3 = label(this, "Label3", QStringLiteral("Basic version"), 160, 160);
    QFont bold = Label3->font();
    bold.setBold(true);
    Label3->setFont(bold);
    Label3->adjustSize();

    // The credit line a game made with the program carries.
    Label5 = label(this, "Label5",
                   QStringLiteral("Games made with Talmero\ncarry the credit line:\n"
                                  "\"Made with Talmero,\n%1\"")
                       .arg(QUrl(webAddress()).host()),
                   250, 152);
    Label5->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label5->resize(178, 60);

    Label2 = label(this, "Label2", webAddress(), 8, 192);
    Label2->setFont(bold);
    Label2->adjustSize();
    Label2->setCursor(Qt::PointingHandCursor);
    setLinkColor(Qt::blue);
    Label2->installEventFilter(this);

    Button1 = new QPushButton(QStringLiteral("Okay"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(352, 216, 75, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TForm7::Button1Click);
}

QString TForm7::webAddress()
{
    return QStringLiteral("https://talmero.example.org/");
}

void TForm7::Button1Click()
{
    accept();
}

void TForm7::Label2MouseEnter()
{
    setLinkColor(Qt::red);
}

void TForm7::Label2MouseLeave()
{
    setLinkColor(Qt::blue);
}

void TForm7::Label2Click()
{
    m_shell.open(webAddress());
}

void TForm7::setLinkColor(const QColor &color)
{
    QPalette palette = Label2->palette();
    palette.setColor(QPalette::WindowText, color);
    Label2->setPalette(palette);
}

bool TForm7::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Label2) {
        switch (event->type()) {
        case QEvent::Enter:
            Label2MouseEnter();
            break;
        case QEvent::Leave:
            Label2MouseLeave();
            break;
        case QEvent::MouseButtonRelease: {
            // A click is a left button released over the link.
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton &&
                Label2->rect().contains(mouse->position().toPoint()))
                Label2Click();
            break;
        }
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TForm7::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Centred on the desktop rather than on the main window.
    if (const QScreen *desktop = screen())
        move(desktop->availableGeometry().center() - rect().center());
}

void TForm7::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    // A window closed with the keyboard while the mouse rests on the link gets no leave event;
    // the link must not come back red when the mouse has moved on.
    Label2MouseLeave();
}
