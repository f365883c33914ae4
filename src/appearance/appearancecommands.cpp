#include "appearancecommands.h"

#include "editor/maintoolbar.h"
#include "editor/mainwindow.h"
#include "fontchooser.h"
#include "host/colorcontrast.h"
#include "host/host.h"
#include "host/toolwindow.h"
#include "view/textview.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>

#include <algorithm>

namespace {

struct SizeRow
{
    const char *name;
    double points;
};
constexpr SizeRow kSizeRows[]
    = { { "eight", 8 }, { "ten", 10 }, { "twelve", 12 }, { "fourteen", 14 }, { "sixteen", 16 } };

// The buttons keep the size within what fonts can be drawn at.
constexpr double kSmallestSize = 1.0;
constexpr double kLargestSize = 1000.0;

// System colours by their classic index.
constexpr int kMenuText = 7;
constexpr int kTitleBarText = 9;

} // namespace

AppearanceCommands::AppearanceCommands(MainWindow &window)
    : QObject(&window)
    , m_window(window)
{
    connect(window.toolbar()->growFontButton(), &QPushButton::clicked, this,
        &AppearanceCommands::growFont);
    connect(window.toolbar()->shrinkFontButton(), &QPushButton::clicked, this,
        &AppearanceCommands::shrinkFont);
    connect(
        window.command("bold"), &QAction::triggered, this, [this] { toggleStyle(Style::Bold); });
    connect(window.command("italics"), &QAction::triggered, this,
        [this] { toggleStyle(Style::Italic); });
    connect(window.command("underline"), &QAction::triggered, this,
        [this] { toggleStyle(Style::Underline); });
    for (const SizeRow &size : kSizeRows) {
        const QString row = QLatin1String(size.name);
        connect(window.command(row), &QAction::triggered, this,
            [this, row, points = size.points] { setSizeRow(row, points); });
    }
    connect(window.command("mnucontrast"), &QAction::triggered, this,
        &AppearanceCommands::changeContrast);
    connect(window.command("facea"), &QAction::triggered, this, &AppearanceCommands::chooseFace);
}

// Bold, Italics and Underline: the row's check mark has flipped with the click,
// and the font follows it.
void AppearanceCommands::toggleStyle(Style style)
{
    TextView *area = m_window.area();
    QFont font = area->font();
    switch (style) {
    case Style::Bold:
        font.setBold(!font.bold());
        break;
    case Style::Italic:
        font.setItalic(!font.italic());
        break;
    case Style::Underline:
        font.setUnderline(!font.underline());
        break;
    }
    area->setFont(font);
}

void AppearanceCommands::setSizeRow(const QString &row, double points)
{
    QFont font = m_window.area()->font();
    font.setPointSizeF(points);
    m_window.area()->setFont(font);
    for (const SizeRow &size : kSizeRows)
        m_window.command(QLatin1String(size.name))->setChecked(row == QLatin1String(size.name));
    m_window.refreshStatusBar();
}

void AppearanceCommands::growFont()
{
    changeSizeBy(1.0);
}

void AppearanceCommands::shrinkFont()
{
    changeSizeBy(-1.0);
}

void AppearanceCommands::changeSizeBy(double points)
{
    TextView *area = m_window.area();
    QFont font = area->font();
    // Sizes are single precision, as 9.75 + 1 gives 10.75.
    const float size = float(font.pointSizeF()) + float(points);
    font.setPointSizeF(std::clamp(double(size), kSmallestSize, kLargestSize));
    area->setFont(font);
    m_window.refreshStatusBar();
    area->setFocus();
    for (const SizeRow &size : kSizeRows)
        m_window.command(QLatin1String(size.name))->setChecked(false);
}

// The menu-text colour and the title-bar-text colour, swapped at each use. Dark schemes draw
// both light: the title bar's colour then gives way to a colour of the scheme that reads on the
// menu text. Text and background change together, so that they never end up alike (as they
// would where the opening text colour is that partner already).
void AppearanceCommands::changeContrast()
{
    Host &host = m_window.host();
    const QColor menuText = host.systemColor(kMenuText);
    const QColor partner
        = ColorContrast::readableOn(menuText, host.systemColor(kTitleBarText), m_window.palette());
    TextView *area = m_window.area();
    QPalette palette = area->palette();
    const bool onMenuText = palette.color(QPalette::Base) == menuText;
    palette.setColor(QPalette::Base, onMenuText ? partner : menuText);
    palette.setColor(QPalette::Text, onMenuText ? menuText : partner);
    area->setPalette(palette);
}

void AppearanceCommands::chooseFace()
{
    FontChooser *chooser = ToolWindow::single(m_chooser, [this] {
        auto *chooser = new FontChooser(
            m_window.host().screenFonts(), m_window.area()->font().family(), &m_window);
        connect(chooser, &FontChooser::faceChosen, this, [this](const QString &face) {
            QFont font = m_window.area()->font();
            font.setFamily(face);
            m_window.area()->setFont(font);
            m_window.refreshStatusBar();
        });
        ToolWindow::placeBeside(chooser, &m_window);
        return chooser;
    });
    ToolWindow::present(chooser, chooser->combo());
}

FontChooser *AppearanceCommands::fontChooser() const
{
    return m_chooser;
}
