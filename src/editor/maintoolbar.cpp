#include "maintoolbar.h"

#include "toolbaricons.h"
#include "twips.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace {

struct Button
{
    const char *key; // "" for a separator
    const char *menuRow; // the row whose action the button shows, or "" for its own action
};

constexpr Button kButtons[] = { { "New", "new" }, { "Open", "open" }, { "Save", "save" },
    { "", "" }, { "Print", "mnuprint" }, { "", "" }, { "Copy", "" }, { "Cut", "" },
    { "Paste", "mnupaste" }, { "", "" }, { "Find", "mnufind" }, { "", "" }, { "Properties", "" } };

} // namespace

MainToolbar::MainToolbar(const QHash<QString, QAction *> &menuRows, QWidget *parent)
    : QToolBar(parent)
{
    setObjectName(QStringLiteral("Toolbar1"));
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(16, 16));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setContextMenuPolicy(Qt::PreventContextMenu);
    const qreal dpi = logicalDpiY();

    for (const Button &button : kButtons) {
        if (*button.key == '\0') {
            addSeparator();
            continue;
        }
        const QString key = QLatin1String(button.key);
        QAction *action = nullptr;
        if (*button.menuRow != '\0') {
            action = menuRows.value(QLatin1String(button.menuRow));
            Q_ASSERT_X(action, "MainToolbar", button.menuRow);
            action->setIcon(toolbarIcon(key));
            action->setIconVisibleInMenu(false); // the menus show no icons
            action->setToolTip(key);
            addAction(action);
        } else {
            action = addAction(toolbarIcon(key), key);
            action->setObjectName(QStringLiteral("Toolbar1_") + key);
        }
        action->setData(key); // the button's key, also on a menu row's action
        m_buttons.insert(key, action);
    }

    m_growFontButton = new QPushButton(QStringLiteral("A"), this);
    m_growFontButton->setObjectName(QStringLiteral("fontbig"));
    QFont big(QStringLiteral("MS Sans Serif"));
    big.setPointSize(18);
    m_growFontButton->setFont(big);
    m_growFontButton->setToolTip(QStringLiteral("Increase font size"));
    m_growFontButton->setAccessibleName(m_growFontButton->toolTip()); // its caption is only a letter
    m_growFontButton->setFixedSize(twipsToPixels(495, dpi), twipsToPixels(375, dpi));
    addWidget(m_growFontButton);

    m_shrinkFontButton = new QPushButton(QStringLiteral("A"), this);
    m_shrinkFontButton->setObjectName(QStringLiteral("Fontsmall"));
    m_shrinkFontButton->setToolTip(QStringLiteral("Reduce font size"));
    m_shrinkFontButton->setAccessibleName(m_shrinkFontButton->toolTip());
    m_shrinkFontButton->setFixedSize(twipsToPixels(375, dpi), twipsToPixels(375, dpi));
    addWidget(m_shrinkFontButton);

    m_clipboardBox = new QComboBox(this);
    m_clipboardBox->setObjectName(QStringLiteral("cmbtmp"));
    m_clipboardBox->setEditable(true);
    // Named for what it holds, not by the entry it shows.
    m_clipboardBox->setAccessibleName(QStringLiteral("Temporary Clipboard"));
    m_clipboardBox->lineEdit()->setAccessibleName(m_clipboardBox->accessibleName());
    m_clipboardBox->setInsertPolicy(QComboBox::NoInsert);
    m_clipboardBox->setEditText(QStringLiteral("Temporary Clipboard"));
    m_clipboardBox->setToolTip(QStringLiteral(
        "Drag-Drop text into this. Then just select from here.(Alphabetical sorting)"));
    // Its usual width, or wider where this platform's font needs more room for the caption.
    const int captionWidth = m_clipboardBox->fontMetrics().horizontalAdvance(m_clipboardBox->currentText())
        + m_clipboardBox->fontMetrics().height() * 3;
    m_clipboardBox->setFixedWidth(std::max(twipsToPixels(1815, dpi), captionWidth));
    m_clipboardBox->lineEdit()->setCursorPosition(0);
    addWidget(m_clipboardBox);
}
