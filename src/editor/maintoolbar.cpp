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

    m_fontbig = new QPushButton(QStringLiteral("A"), this);
    m_fontbig->setObjectName(QStringLiteral("fontbig"));
    QFont big(QStringLiteral("MS Sans Serif"));
    big.setPointSize(18);
    m_fontbig->setFont(big);
    m_fontbig->setToolTip(QStringLiteral("Increase font size"));
    m_fontbig->setAccessibleName(m_fontbig->toolTip()); // its caption is only a letter
    m_fontbig->setFixedSize(twipsToPixels(495, dpi), twipsToPixels(375, dpi));
    m_fontbig->setFocusPolicy(Qt::NoFocus);
    addWidget(m_fontbig);

    m_fontsmall = new QPushButton(QStringLiteral("A"), this);
    m_fontsmall->setObjectName(QStringLiteral("Fontsmall"));
    m_fontsmall->setToolTip(QStringLiteral("Reduce font size"));
    m_fontsmall->setAccessibleName(m_fontsmall->toolTip());
    m_fontsmall->setFixedSize(twipsToPixels(375, dpi), twipsToPixels(375, dpi));
    m_fontsmall->setFocusPolicy(Qt::NoFocus);
    addWidget(m_fontsmall);

    m_cmbtmp = new QComboBox(this);
    m_cmbtmp->setObjectName(QStringLiteral("cmbtmp"));
    m_cmbtmp->setEditable(true);
    // Named for what it holds, not by the entry it shows.
    m_cmbtmp->setAccessibleName(QStringLiteral("Temporary Clipboard"));
    m_cmbtmp->lineEdit()->setAccessibleName(m_cmbtmp->accessibleName());
    m_cmbtmp->setInsertPolicy(QComboBox::NoInsert);
    m_cmbtmp->setEditText(QStringLiteral("Temporary Clipboard"));
    m_cmbtmp->setToolTip(QStringLiteral(
        "Drag-Drop text into this. Then just select from here.(Alphabetical sorting)"));
    // Its usual width, or wider where this platform's font needs more room for the caption.
    const int captionWidth = m_cmbtmp->fontMetrics().horizontalAdvance(m_cmbtmp->currentText())
        + m_cmbtmp->fontMetrics().height() * 3;
    m_cmbtmp->setFixedWidth(std::max(twipsToPixels(1815, dpi), captionWidth));
    m_cmbtmp->lineEdit()->setCursorPosition(0);
    addWidget(m_cmbtmp);
}
