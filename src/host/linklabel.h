#pragma once

#include <QLabel>

/// A caption that acts as a link: underlined, in a link colour that reads on the window, one
/// Tab stop framed while it has the keyboard. A click, Space or Enter on it reports activated();
/// screen readers announce it as a link.
class LinkLabel : public QLabel
{
    Q_OBJECT

public:
    explicit LinkLabel(const QString &caption, QWidget *parent = nullptr);

    /// Follows the link, as a click does.
    void activate() { emit activated(); }

signals:
    void activated();

protected:
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void keepLinkReadable();
};
