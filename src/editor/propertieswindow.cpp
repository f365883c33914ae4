#include "propertieswindow.h"

#include "host/screenfit.h"
#include "host/toolwindow.h"
#include "twips.h"

#include <QLabel>
#include <QPushButton>

PropertiesWindow::PropertiesWindow(QWidget *parent)
    : QDialog(parent, ToolWindow::dialogFlags())
{
    setObjectName(QStringLiteral("Properties"));
    setWindowTitle(QStringLiteral("Properties"));
    const qreal dpi = logicalDpiY();
    // Every length shrinks alike where the screen has less room than the window needs.
    const TwipsScale px(dpi,
        ScreenFit::scaleToFit(this, QSize(twipsToPixels(6030, dpi), twipsToPixels(4530, dpi))));
    setFixedSize(px(6030), px(4530));

    auto *label
        = new QLabel(QStringLiteral("This will be available in the next version of Tarvex."), this);
    label->setWordWrap(true);
    label->setGeometry(px(960), px(360), px(4095), px(495));

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setGeometry(px(4680), px(4080), px(1215), px(375));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    cancel->setGeometry(px(120), px(4080), px(1215), px(375));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}
