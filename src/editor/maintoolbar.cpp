#include "maintoolbar.h"

#include "toolbaricons.h"
#include "twips.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace {

// Button positions in order; an empty key is a separator.
constexpr const char *kButtonKeys[] = { "New", "Open", "Save", "", "Print", "", "Copy", "Cut",
    "Paste", "", "Find", "", "Properties" };

} // namespace

MainToolbar::MainToolbar(QWidget *parent)
    : QToolBar(parent)
{
    setObjectName(QStringLiteral("Toolbar1"));
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(16, 16));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setContextMenuPolicy(Qt::PreventContextMenu);
    const qreal dpi = logicalDpiY();

    for (const char *key : kButtonKeys) {
        if (*key == '\0') {
            addSeparator();
            continue;
        }
        const QString name = QLatin1String(key);
        QAction *action = addAction(toolbarIcon(name), name);
        action->setObjectName(QStringLiteral("Toolbar1_") + name);
        action->setData(name);
        connect(action, &QAction::triggered, this, [this, name] { emit buttonClicked(name); });
        m_buttons.insert(name, action);
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
    // The design's width, or enough for the caption in this platform's font.
    const int captionWidth = m_cmbtmp->fontMetrics().horizontalAdvance(m_cmbtmp->currentText())
        + m_cmbtmp->fontMetrics().height() * 3;
    m_cmbtmp->setFixedWidth(std::max(twipsToPixels(1815, dpi), captionWidth));
    m_cmbtmp->lineEdit()->setCursorPosition(0);
    addWidget(m_cmbtmp);
}
