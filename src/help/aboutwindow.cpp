#include "aboutwindow.h"

#include "editor/startup.h"
#include "editor/toolbaricons.h"
#include "editor/twips.h"
#include "host/screenfit.h"
#include "host/toolwindow.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace {

QLabel *addLabel(QWidget *parent, const char *name, const QString &text, const QRect &geometry)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    label->setGeometry(geometry);
    return label;
}

} // namespace

AboutWindow::AboutWindow(QWidget *parent)
    : QDialog(parent, ToolWindow::dialogFlags())
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    const qreal dpi = logicalDpiY();
    // Every length shrinks alike where the screen has less room than the window needs.
    const TwipsScale px(dpi,
        ScreenFit::scaleToFit(this, QSize(twipsToPixels(5730, dpi), twipsToPixels(3555, dpi))));
    setFixedSize(px(5730), px(3555));

    // The caption, title and version name the running build.
    setWindowTitle(QStringLiteral("About ") + applicationTitle());

    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("picIcon"));
    icon->setAccessibleName(applicationTitle());
    icon->setPixmap(toolbarIcon(QStringLiteral("Properties")).pixmap(32, 32));
    icon->setGeometry(px(240), px(240), px(540), px(540));

    QLabel *title = addLabel(
        this, "lblTitle", applicationTitle(), QRect(px(1050), px(240), px(3885), px(480)));
    QFont titleFont(QStringLiteral("Comic Sans MS"));
    titleFont.setWeight(QFont::Bold);
    titleFont.setPointSizeF(15.75);
    title->setFont(titleFont);
    addLabel(this, "lblVersion", QStringLiteral("Version ") + Startup::version(),
        QRect(px(1050), px(780), px(3885), px(225)));
    addLabel(this, "lblDescription",
        QStringLiteral("    A free text editor that has many added features, that makes "
                       "editting something better. "),
        QRect(px(1050), px(1125), px(3885), px(570)));

    auto *rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    rule->setGeometry(px(120), px(1800), px(5490), px(30));
    addLabel(this, "Label2", QStringLiteral("Made by the Tarvex project team."),
        QRect(px(240), px(1920), px(5250), px(255)));
    addLabel(this, "Label1", QStringLiteral("Problems and ideas: the project's issue tracker."),
        QRect(px(240), px(2220), px(5250), px(255)));
    auto *secondRule = new QFrame(this);
    secondRule->setFrameShape(QFrame::HLine);
    secondRule->setFrameShadow(QFrame::Sunken);
    secondRule->setGeometry(px(120), px(2580), px(5490), px(30));
    addLabel(this, "lblDisclaimer",
        QStringLiteral("Tarvex comes with no warranty; keep copies of what matters."),
        QRect(px(240), px(2700), px(3960), px(540)));

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    ok->setAutoDefault(true);
    ok->setGeometry(px(4320), px(2745), px(1260), px(345));
    // OK is both the default button (Enter) and the cancel button (Esc): each closes the window.
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    ok->setFocus();
}
