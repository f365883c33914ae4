#include "findreplacewindow.h"

#include "editor/twips.h"
#include "host/toolwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace {

// The window's width, its height in each mode and where the replace section sits, in twips.
constexpr int kWidth = 5160;
constexpr int kFindOnlyHeight = 825;
constexpr int kReplaceHeight = 1395;
constexpr int kFrameTopFindOnly = 960;
constexpr int kFrameTopReplace = 600;

QComboBox *historyBox(QWidget *parent, const char *name)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert); // the history is appended by the commands
    return box;
}

// A screen reader names the box by its label, not by the text in it.
void labelBox(QLabel *label, QComboBox *box)
{
    label->setBuddy(box);
    box->setAccessibleName(label->text());
    box->lineEdit()->setAccessibleName(label->text());
}

} // namespace

FindReplaceWindow::FindReplaceWindow(QWidget *parent)
    : QDialog(parent, ToolWindow::dialogFlags())
{
    setObjectName(QStringLiteral("findreplace"));
    setWindowTitle(QStringLiteral("Find"));
    setAttribute(Qt::WA_DeleteOnClose); // the close box destroys it; its buttons only hide it
    setMouseTracking(true);

    m_txtfind = historyBox(this, "txtfind");
    // Every length grows by one factor where this platform's controls are taller or its captions
    // wider, so the controls keep their places relative to each other.
    const qreal dpi = logicalDpiY();
    const int captionRoom = fontMetrics().horizontalAdvance(QStringLiteral("Replace with")) + 8;
    const int checkRoom = fontMetrics().horizontalAdvance(QStringLiteral("Match Case")) + 28;
    m_scale = std::max({ 1.0, m_txtfind->sizeHint().height() / qreal(twipsToPixels(315, dpi)),
        captionRoom / qreal(twipsToPixels(975, dpi)),
        checkRoom / qreal(twipsToPixels(1215, dpi)) });

    m_casematch = new QCheckBox(QStringLiteral("Match Case"), this);
    m_casematch->setObjectName(QStringLiteral("casematch"));
    m_casematch->setGeometry(px(120), 0, px(1215), px(255));
    m_searchinwrd = new QCheckBox(QStringLiteral("Search in word"), this);
    m_searchinwrd->setObjectName(QStringLiteral("searchinwrd"));
    m_searchinwrd->setGeometry(px(1440), 0, px(1575), px(255));
    m_up = new QRadioButton(QStringLiteral("Up"), this);
    m_up->setObjectName(QStringLiteral("up"));
    m_up->setGeometry(px(3120), 0, px(615), px(255));
    m_down = new QRadioButton(QStringLiteral("Down"), this);
    m_down->setObjectName(QStringLiteral("down"));
    m_down->setGeometry(px(3840), 0, px(1215), px(255));
    m_down->setChecked(true);

    auto *findLabel = new QLabel(QStringLiteral("Find what"), this);
    findLabel->setObjectName(QStringLiteral("Label1"));
    findLabel->setGeometry(px(240), px(240), px(855), px(315));
    labelBox(findLabel, m_txtfind);
    m_txtfind->setGeometry(px(1200), px(240), px(2655), px(315));
    m_btnfind = new QPushButton(QStringLiteral("Find Next"), this);
    m_btnfind->setObjectName(QStringLiteral("btnfind"));
    m_btnfind->setGeometry(px(3960), px(240), px(1095), px(315));
    m_btnfind->setDefault(true);

    m_lblreplink = new QLabel(QStringLiteral("<a href=\"#\">Replace....</a>"), this);
    m_lblreplink->setObjectName(QStringLiteral("lblreplink"));
    m_lblreplink->setGeometry(px(4320), px(600), px(975), px(255));
    m_lblreplink->setAccessibleName(QStringLiteral("Replace...."));
    // One Tab stop, framed while it has the keyboard; Space or Enter on it opens the replace
    // section.
    m_lblreplink->setFocusPolicy(Qt::StrongFocus);
    m_lblreplink->setStyleSheet(
        QStringLiteral("QLabel { border: 1px solid transparent; } "
                       "QLabel:focus { border-color: palette(highlight); }"));
    m_lblreplink->installEventFilter(this);
    connect(m_lblreplink, &QLabel::linkActivated, this, &FindReplaceWindow::replaceLinkClicked);

    m_frameRep = new QFrame(this);
    m_frameRep->setObjectName(QStringLiteral("FrameRep"));
    m_frameRep->setGeometry(px(120), px(kFrameTopFindOnly), px(5055), px(735));
    // Below the window's edge in find-only mode; hidden, so that Tab does not go there.
    m_frameRep->hide();
    auto *replaceLabel = new QLabel(QStringLiteral("Replace with"), m_frameRep);
    replaceLabel->setObjectName(QStringLiteral("Label2"));
    replaceLabel->setGeometry(0, 0, px(975), px(315));
    m_txtReplace = historyBox(m_frameRep, "txtReplace");
    m_txtReplace->setGeometry(px(1080), 0, px(2655), px(315));
    labelBox(replaceLabel, m_txtReplace);
    m_btnReplace = new QPushButton(QStringLiteral("Replace"), m_frameRep);
    m_btnReplace->setObjectName(QStringLiteral("btnReplace"));
    m_btnReplace->setGeometry(px(3840), 0, px(1095), px(315));
    m_btnReplace->setEnabled(false);
    m_cancel = new QPushButton(QStringLiteral("Cancel..."), m_frameRep);
    m_cancel->setObjectName(QStringLiteral("cancel"));
    m_cancel->setGeometry(px(1080), px(360), px(1215), px(315));
    m_btnReplaceAll = new QPushButton(QStringLiteral("Replace All"), m_frameRep);
    m_btnReplaceAll->setObjectName(QStringLiteral("btnReplaceAll"));
    m_btnReplaceAll->setGeometry(px(2640), px(360), px(1095), px(315));

    setFixedSize(px(kWidth), px(kFindOnlyHeight));

    // Tab goes from the find box on through what the current mode shows.
    const QList<QWidget *> tabOrder { m_txtfind, m_btnfind, m_lblreplink, m_txtReplace,
        m_btnReplace, m_btnReplaceAll, m_cancel, m_casematch, m_searchinwrd, m_up, m_down };
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));

    ToolWindow::pressOnEnter(m_txtfind, m_btnfind);
    ToolWindow::pressOnEnter(m_txtReplace, m_btnfind);
    connect(m_btnfind, &QPushButton::clicked, this, &FindReplaceWindow::findNextClicked);
    connect(m_btnReplace, &QPushButton::clicked, this, &FindReplaceWindow::replaceClicked);
    connect(m_btnReplaceAll, &QPushButton::clicked, this, &FindReplaceWindow::replaceAllClicked);
    connect(m_cancel, &QPushButton::clicked, this, &FindReplaceWindow::reject);
    connect(m_txtfind, &QComboBox::editTextChanged, this, &FindReplaceWindow::applyEnablingRule);
    connect(m_txtReplace, &QComboBox::editTextChanged, this, &FindReplaceWindow::applyEnablingRule);
}

// Taking the window down moves the keyboard out of a box, which then reports its text once
// more; by then the rule it would run has nothing left to enable.
FindReplaceWindow::~FindReplaceWindow()
{
    disconnect(m_txtfind, nullptr, this, nullptr);
    disconnect(m_txtReplace, nullptr, this, nullptr);
}

int FindReplaceWindow::px(int twips) const
{
    return TwipsScale(logicalDpiY(), m_scale)(twips);
}

QString FindReplaceWindow::findText() const
{
    return m_txtfind->currentText();
}

QString FindReplaceWindow::replaceText() const
{
    return m_txtReplace->currentText();
}

bool FindReplaceWindow::isReplaceMode() const
{
    return m_lblreplink->isHidden();
}

void FindReplaceWindow::showreplace(const QColor &replaceBoxBackground)
{
    const bool linkHadFocus = m_lblreplink->hasFocus();
    setWindowTitle(QStringLiteral("Replace"));
    m_frameRep->move(m_frameRep->x(), px(kFrameTopReplace));
    m_lblreplink->hide();
    m_frameRep->show();
    m_txtReplace->setEnabled(true);
    QPalette palette = m_txtReplace->lineEdit()->palette();
    palette.setColor(QPalette::Base, replaceBoxBackground);
    m_txtReplace->lineEdit()->setPalette(palette);
    setFixedSize(px(kWidth), px(kReplaceHeight));
    // Opened from the keyboard: the keyboard goes on to the replacement.
    if (linkHadFocus)
        m_txtReplace->setFocus();
}

void FindReplaceWindow::applyEnablingRule()
{
    const bool haveText = !findText().isEmpty();
    m_btnReplace->setEnabled(haveText);
    m_btnReplaceAll->setEnabled(haveText);
}

void FindReplaceWindow::reject()
{
    ToolWindow::dismiss(this);
}

// Find Next enables Replace whatever the boxes hold; moving over the background brings both
// buttons back to the enabling rule.
void FindReplaceWindow::mouseMoveEvent(QMouseEvent *event)
{
    applyEnablingRule();
    QDialog::mouseMoveEvent(event);
}

bool FindReplaceWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_lblreplink && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            emit replaceLinkClicked();
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}
