#include "fontchooser.h"

#include "editor/twips.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

FontChooser::FontChooser(
    const QStringList &screenFonts, const QString &currentFace, QWidget *parent)
    : QWidget(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("setfontedit"));
    setWindowTitle(QStringLiteral("Font"));
    setAttribute(Qt::WA_DeleteOnClose);
    const qreal dpi = logicalDpiY();
    auto px = [dpi](int twips) { return twipsToPixels(twips, dpi); };

    m_combo = new QComboBox(this);
    m_combo->setObjectName(QStringLiteral("Combo1"));
    m_combo->setEditable(true);
    m_combo->setInsertPolicy(QComboBox::NoInsert);
    m_combo->addItems(screenFonts);
    m_set = new QPushButton(QStringLiteral("Set"), this);
    m_set->setObjectName(QStringLiteral("Command1"));
    m_preview = new QLabel(QStringLiteral("Preview"), this);
    m_preview->setObjectName(QStringLiteral("Label1"));

    // The design's places, grown where this platform's controls need more room.
    const int comboHeight = std::max(px(315), m_combo->sizeHint().height());
    const int buttonHeight = std::max(px(195), m_set->sizeHint().height());
    const int previewHeight = std::max(px(255), m_preview->sizeHint().height());
    const int width = std::max(px(2175), m_combo->sizeHint().width());
    m_combo->setGeometry(0, 0, width, comboHeight);
    m_set->setGeometry(0, comboHeight + px(45), width, buttonHeight);
    const int previewTop = m_set->geometry().bottom() + px(45);
    m_preview->setGeometry(px(720), previewTop, std::max(px(1335), width - px(720)), previewHeight);
    setFixedSize(width, previewTop + previewHeight + px(30));

    connect(m_combo, &QComboBox::editTextChanged, this, &FontChooser::Combo1_Change);
    connect(m_combo, &QComboBox::textActivated, this, &FontChooser::Combo1_Change);
    connect(m_set, &QPushButton::clicked, this, &FontChooser::Command1_Click);

    m_combo->setEditText(currentFace);
    Combo1_Change(currentFace);
}

// Only the face of the preview changes; the label keeps its own size.
void FontChooser::Combo1_Change(const QString &text)
{
    QFont font = m_preview->font();
    font.setFamily(text);
    m_preview->setFont(font);
}

void FontChooser::Command1_Click()
{
    const QString face = m_combo->currentText();
    // An empty box names no face: nothing to apply.
    if (face.trimmed().isEmpty())
        return;
    emit faceChosen(face);
    close();
}
