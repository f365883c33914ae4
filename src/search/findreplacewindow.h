#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
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

    QComboBox *txtfind() const { return m_txtfind; }
    QComboBox *txtReplace() const { return m_txtReplace; }
    QCheckBox *casematch() const { return m_casematch; }
    QCheckBox *searchinwrd() const { return m_searchinwrd; }
    QRadioButton *up() const { return m_up; }
    QRadioButton *down() const { return m_down; }
    QPushButton *btnfind() const { return m_btnfind; }
    QPushButton *btnReplace() const { return m_btnReplace; }
    QPushButton *btnReplaceAll() const { return m_btnReplaceAll; }
    QPushButton *cancel() const { return m_cancel; }
    QLabel *lblreplink() const { return m_lblreplink; }
    QFrame *frameRep() const { return m_frameRep; }

    QString findText() const;
    QString replaceText() const;
    bool isReplaceMode() const;

    /// Switches to replace mode, for good.
    void showreplace(const QColor &replaceBoxBackground);
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
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int px(int twips) const;

    qreal m_scale = 1.0;
    QCheckBox *m_casematch = nullptr;
    QCheckBox *m_searchinwrd = nullptr;
    QRadioButton *m_up = nullptr;
    QRadioButton *m_down = nullptr;
    QComboBox *m_txtfind = nullptr;
    QPushButton *m_btnfind = nullptr;
    QLabel *m_lblreplink = nullptr;
    QFrame *m_frameRep = nullptr;
    QComboBox *m_txtReplace = nullptr;
    QPushButton *m_btnReplace = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_btnReplaceAll = nullptr;
};
