#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

/// `setfontedit`, the font face chooser: every screen font in a list, a preview of the typed
/// or chosen face, and "Set" (or Enter), which hands the face on and closes the window. Escape
/// and the close box close it without a change.
class FontChooser : public QDialog
{
    Q_OBJECT

public:
    FontChooser(
        const QStringList &screenFonts, const QString &currentFace, QWidget *parent = nullptr);
    ~FontChooser() override;

    QComboBox *combo() const { return m_combo; }
    QLabel *preview() const { return m_preview; }
    QPushButton *setButton() const { return m_set; }

signals:
    /// "Set" was pressed with this face in the box.
    void faceChosen(const QString &face);

private:
    void showPreview(const QString &text);
    void chooseFace();

    QComboBox *m_combo = nullptr;
    QPushButton *m_set = nullptr;
    QLabel *m_preview = nullptr;
};
