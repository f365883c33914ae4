#include "findreplacewindow.h"

#include "editor/twips.h"
#include "host/colorcontrast.h"
#include "host/linklabel.h"
#include "host/screenfit.h"
#include "host/toolwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
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

    m_findBox = historyBox(this, "txtfind");
    // Every length grows by one factor where this platform's controls are taller or its captions
    // wider, so the controls keep their places relative to each other.
    const qreal dpi = logicalDpiY();
    const int captionRoom = fontMetrics().horizontalAdvance(QStringLiteral("Replace with")) + 8;
    const int checkRoom = fontMetrics().horizontalAdvance(QStringLiteral("Match Case")) + 28;
    m_scale = std::max({ 1.0, m_findBox->sizeHint().height() / qreal(twipsToPixels(315, dpi)),
        captionRoom / qreal(twipsToPixels(975, dpi)),
        checkRoom / qreal(twipsToPixels(1215, dpi)) });
    // On a small screen, or one scaled up, all of it shrinks alike to fit.
    m_scale *= ScreenFit::scaleToFit(this, QSize(px(kWidth), px(kReplaceHeight)));

    m_matchCaseBox = new QCheckBox(QStringLiteral("Match Case"), this);
    m_matchCaseBox->setObjectName(QStringLiteral("casematch"));
    m_matchCaseBox->setGeometry(px(120), 0, px(1215), px(255));
    m_inWordBox = new QCheckBox(QStringLiteral("Search in word"), this);
    m_inWordBox->setObjectName(QStringLiteral("searchinwrd"));
    m_inWordBox->setGeometry(px(1440), 0, px(1575), px(255));
    m_upButton = new QRadioButton(QStringLiteral("Up"), this);
    m_upButton->setObjectName(QStringLiteral("up"));
    m_upButton->setGeometry(px(3120), 0, px(615), px(255));
    m_downButton = new QRadioButton(QStringLiteral("Down"), this);
    m_downButton->setObjectName(QStringLiteral("down"));
    m_downButton->setGeometry(px(3840), 0, px(1215), px(255));
    m_downButton->setChecked(true);

    auto *findLabel = new QLabel(QStringLiteral("Find what"), this);
    findLabel->setObjectName(QStringLiteral("Label1"));
    findLabel->setGeometry(px(240), px(240), px(855), px(315));
    labelBox(findLabel, m_findBox);
    m_findBox->setGeometry(px(1200), px(240), px(2655), px(315));
    m_findNextButton = new QPushButton(QStringLiteral("Find Next"), this);
    m_findNextButton->setObjectName(QStringLiteral("btnfind"));
    m_findNextButton->setGeometry(px(3960), px(240), px(1095), px(315));
    m_findNextButton->setDefault(true);

    m_replaceLink = new LinkLabel(QStringLiteral("Replace...."), this);
    m_replaceLink->setObjectName(QStringLiteral("lblreplink"));
    // Within the window: its designed box (4320, 600, 975 by 255) runs past the window's right
    // and bottom edges, where it would be cut.
    m_replaceLink->setGeometry(
        px(kWidth) - px(975), px(600), px(975), px(kFindOnlyHeight) - px(600));
    connect(m_replaceLink, &LinkLabel::activated, this, &FindReplaceWindow::replaceLinkClicked);

    m_replaceFrame = new QFrame(this);
    m_replaceFrame->setObjectName(QStringLiteral("FrameRep"));
    m_replaceFrame->setGeometry(px(120), px(kFrameTopFindOnly), px(kWidth - 120), px(735));
    // Below the window's edge in find-only mode; hidden, so that Tab does not go there.
    m_replaceFrame->hide();
    auto *replaceLabel = new QLabel(QStringLiteral("Replace with"), m_replaceFrame);
    replaceLabel->setObjectName(QStringLiteral("Label2"));
    replaceLabel->setGeometry(0, 0, px(975), px(315));
    m_replaceBox = historyBox(m_replaceFrame, "txtReplace");
    m_replaceBox->setGeometry(px(1080), 0, px(2655), px(315));
    labelBox(replaceLabel, m_replaceBox);
    m_replaceButton = new QPushButton(QStringLiteral("Replace"), m_replaceFrame);
    m_replaceButton->setObjectName(QStringLiteral("btnReplace"));
    m_replaceButton->setGeometry(px(3840), 0, px(1095), px(315));
    m_replaceButton->setEnabled(false);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel..."), m_replaceFrame);
    m_cancelButton->setObjectName(QStringLiteral("cancel"));
    m_cancelButton->setGeometry(px(1080), px(360), px(1215), px(315));
    m_replaceAllButton = new QPushButton(QStringLiteral("Replace All"), m_replaceFrame);
    m_replaceAllButton->setObjectName(QStringLiteral("btnReplaceAll"));
    m_replaceAllButton->setGeometry(px(2640), px(360), px(1095), px(315));

    setFixedSize(px(kWidth), px(kFindOnlyHeight));

    // Tab goes from the find box on through what the current mode shows.
    const QList<QWidget *> tabOrder { m_findBox, m_findNextButton, m_replaceLink, m_replaceBox,
        m_replaceButton, m_replaceAllButton, m_cancelButton, m_matchCaseBox, m_inWordBox, m_upButton, m_downButton };
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));

    ToolWindow::pressOnEnter(m_findBox, m_findNextButton);
    ToolWindow::pressOnEnter(m_replaceBox, m_findNextButton);
    connect(m_findNextButton, &QPushButton::clicked, this, &FindReplaceWindow::findNextClicked);
    connect(m_replaceButton, &QPushButton::clicked, this, &FindReplaceWindow::replaceClicked);
    connect(m_replaceAllButton, &QPushButton::clicked, this, &FindReplaceWindow::replaceAllClicked);
    connect(m_cancelButton, &QPushButton::clicked, this, &FindReplaceWindow::reject);
    connect(m_findBox, &QComboBox::editTextChanged, this, &FindReplaceWindow::applyEnablingRule);
    connect(m_replaceBox, &QComboBox::editTextChanged, this, &FindReplaceWindow::applyEnablingRule);
}

// Taking the window down moves the keyboard out of a box, which then reports its text once
// more; by then the rule it would run has nothing left to enable.
FindReplaceWindow::~FindReplaceWindow()
{
    disconnect(m_findBox, nullptr, this, nullptr);
    disconnect(m_replaceBox, nullptr, this, nullptr);
}

int FindReplaceWindow::px(int twips) const
{
    return TwipsScale(logicalDpiY(), m_scale)(twips);
}

QString FindReplaceWindow::findText() const
{
    return m_findBox->currentText();
}

QString FindReplaceWindow::replaceText() const
{
    return m_replaceBox->currentText();
}

bool FindReplaceWindow::isReplaceMode() const
{
    return m_replaceLink->isHidden();
}

void FindReplaceWindow::showReplace(const QColor &replaceBoxBackground)
{
    const bool linkHadFocus = m_replaceLink->hasFocus();
    setWindowTitle(QStringLiteral("Replace"));
    m_replaceFrame->move(m_replaceFrame->x(), px(kFrameTopReplace));
    m_replaceLink->hide();
    m_replaceFrame->show();
    m_replaceBox->setEnabled(true);
    // The background comes with a text colour that reads on it: in a dark scheme the
    // highlighted-text colour is as light as the scheme's own text.
    QPalette palette = m_replaceBox->palette();
    palette.setColor(QPalette::Base, replaceBoxBackground);
    palette.setColor(QPalette::Text,
        ColorContrast::readableOn(replaceBoxBackground, palette.color(QPalette::Text), palette));
    m_replaceBox->setPalette(palette);
    setFixedSize(px(kWidth), px(kReplaceHeight));
    // Opened from the keyboard: the keyboard goes on to the replacement.
    if (linkHadFocus)
        m_replaceBox->setFocus();
}

void FindReplaceWindow::applyEnablingRule()
{
    const bool haveText = !findText().isEmpty();
    m_replaceButton->setEnabled(haveText);
    m_replaceAllButton->setEnabled(haveText);
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
