#include "fontchooser.h"

#include "editor/twips.h"
#include "host/toolwindow.h"

#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

#include <algorithm>

namespace {

// Where a family comes from more than one foundry, the toolkit names it "Family [foundry]";
// the user chooses the family, whichever foundry draws it.
QStringList plainFamilies(const QStringList &screenFonts)
{
    static const QRegularExpression foundry(QStringLiteral("\\s*\\[[^\\]]*\\]\\s*$"));
    QStringList families;
    for (QString name : screenFonts) {
        name.remove(foundry);
        if (!families.contains(name))
            families << name;
    }
    return families;
}

// Room for the longer family names in the box.
constexpr int kVisibleCharacters = 30;

} // namespace

FontChooser::FontChooser(
    const QStringList &screenFonts, const QString &currentFace, QWidget *parent)
    : QDialog(parent, ToolWindow::dialogFlags())
{
    setObjectName(QStringLiteral("setfontedit"));
    setWindowTitle(QStringLiteral("Font"));
    setAttribute(Qt::WA_DeleteOnClose);
    const qreal dpi = logicalDpiY();
    const TwipsScale px(dpi);

    m_combo = new QComboBox(this);
    m_combo->setObjectName(QStringLiteral("Combo1"));
    m_combo->setAccessibleName(QStringLiteral("Font"));
    m_combo->setEditable(true);
    m_combo->lineEdit()->setAccessibleName(QStringLiteral("Font"));
    m_combo->setInsertPolicy(QComboBox::NoInsert);
    m_combo->addItems(plainFamilies(screenFonts));
    m_set = new QPushButton(QStringLiteral("Set"), this);
    m_set->setObjectName(QStringLiteral("Command1"));
    m_set->setDefault(true);
    m_preview = new QLabel(QStringLiteral("Preview"), this);
    m_preview->setObjectName(QStringLiteral("Label1"));

    // Places in twips, grown where this platform's controls need more room.
    const int comboHeight = std::max(px(315), m_combo->sizeHint().height());
    const int buttonHeight = std::max(px(195), m_set->sizeHint().height());
    const int previewHeight = std::max(px(255), 2 * m_preview->sizeHint().height());
    const int width = std::max(px(2175), fontMetrics().averageCharWidth() * kVisibleCharacters);
    m_combo->setGeometry(0, 0, width, comboHeight);
    m_set->setGeometry(0, comboHeight + px(45), width, buttonHeight);
    const int previewTop = m_set->geometry().bottom() + px(45);
    m_preview->setGeometry(px(720), previewTop, std::max(px(1335), width - px(720)), previewHeight);
    setFixedSize(width, previewTop + previewHeight + px(30));

    connect(m_combo, &QComboBox::editTextChanged, this, &FontChooser::showPreview);
    connect(m_combo, &QComboBox::textActivated, this, &FontChooser::showPreview);
    connect(m_set, &QPushButton::clicked, this, &FontChooser::chooseFace);
    ToolWindow::pressOnEnter(m_combo, m_set);

    // The list opens on the current face, or where it is not installed, on the face drawn in
    // its place; the box names the face as the edit area has it.
    int current = m_combo->findText(currentFace, Qt::MatchFixedString);
    if (current < 0) {
        const QString drawn = QFontInfo(QFont(currentFace)).family();
        current = m_combo->findText(plainFamilies({ drawn }).value(0), Qt::MatchFixedString);
    }
    m_combo->setCurrentIndex(current);
    m_combo->setEditText(currentFace);
    showPreview(currentFace);
}

// Taking the window down moves the keyboard out of the box, which then reports its text once
// more; by then there is no preview to show it.
FontChooser::~FontChooser()
{
    disconnect(m_combo, nullptr, this, nullptr);
}

// Only the face of the preview changes; the label keeps its own size.
void FontChooser::showPreview(const QString &text)
{
    QFont font = m_preview->font();
    font.setFamily(text);
    m_preview->setFont(font);
}

void FontChooser::chooseFace()
{
    const QString face = m_combo->currentText();
    // An empty box names no face: nothing to apply.
    if (face.trimmed().isEmpty())
        return;
    emit faceChosen(face);
    close();
}
