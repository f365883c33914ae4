#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QFrame;
class LinkLabel;
class QPushButton;
class QRadioButton;

/// `findreplace`: the search settings (find text, direction, Match Case), its own Find Next,
/// and, once the replace section is open, Replace and Replace All. Its own buttons and Escape
/// hide it; its close box destroys it. Enter in either box runs its Find Next.
class FindReplaceWindow : public QDialog
{
    Q_OBJECT

public:
    explicit FindReplaceWindow(QWidget *parent = nullptr);
    ~FindReplaceWindow() override;

    QComboBox *findBox() const { return m_findBox; }
    QComboBox *replaceBox() const { return m_replaceBox; }
    QCheckBox *matchCaseBox() const { return m_matchCaseBox; }
    QCheckBox *inWordBox() const { return m_inWordBox; }
    QRadioButton *upButton() const { return m_upButton; }
    QRadioButton *downButton() const { return m_downButton; }
    QPushButton *findNextButton() const { return m_findNextButton; }
    QPushButton *replaceButton() const { return m_replaceButton; }
    QPushButton *replaceAllButton() const { return m_replaceAllButton; }
    QPushButton *cancelButton() const { return m_cancelButton; }
    LinkLabel *replaceLink() const { return m_replaceLink; }
    QFrame *replaceFrame() const { return m_replaceFrame; }

    QString findText() const;
    QString replaceText() const;
    bool isReplaceMode() const;

    /// Switches to replace mode, for good.
    void showReplace(const QColor &replaceBoxBackground);
    /// Replace and Replace All follow whether there is a text to find.
    void applyEnablingRule();
    /// Escape hides the window, as "Cancel..." does.
    void reject() override;

signals:
    void findNextClicked();
    void replaceClicked();
    void replaceAllClicked();
    void replaceLinkClicked();

protected:
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    int px(int twips) const;

    qreal m_scale = 1.0;
    QCheckBox *m_matchCaseBox = nullptr;
    QCheckBox *m_inWordBox = nullptr;
    QRadioButton *m_upButton = nullptr;
    QRadioButton *m_downButton = nullptr;
    QComboBox *m_findBox = nullptr;
    QPushButton *m_findNextButton = nullptr;
    LinkLabel *m_replaceLink = nullptr;
    QFrame *m_replaceFrame = nullptr;
    QComboBox *m_replaceBox = nullptr;
    QPushButton *m_replaceButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
    QPushButton *m_replaceAllButton = nullptr;
};
