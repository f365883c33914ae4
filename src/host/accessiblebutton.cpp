#include "accessiblebutton.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QPushButton>
#include <QToolBar>

namespace {

// A caption's access-key marks are not part of the name: "&New" is "New", "&&" is "&".
QString withoutAccessKey(const QString &caption)
{
    QString plain;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == u'&' && i + 1 < caption.size())
            ++i;
        plain += caption.at(i);
    }
    return plain;
}

QString nameOf(const QAbstractButton *button)
{
    const QString name = button->accessibleName();
    return name.isEmpty() ? withoutAccessKey(button->text()) : name;
}

class ToolbarButton : public QAccessibleWidget
{
public:
    explicit ToolbarButton(QAbstractButton *button)
        : QAccessibleWidget(button, QAccessible::PushButton)
    {
        addControllingSignal(QStringLiteral("clicked(bool)"));
    }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            return nameOf(button());
        case QAccessible::Description: {
            const QString description = button()->accessibleDescription();
            if (!description.isEmpty() || button()->toolTip() == nameOf(button()))
                return description;
            return button()->toolTip();
        }
        default:
            return QAccessibleWidget::text(t);
        }
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = button()->isCheckable();
        state.checked = button()->isChecked();
        state.pressed = button()->isDown();
        return state;
    }
    QStringList actionNames() const override
    {
        return QStringList(pressAction()) + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &actionName) override
    {
        if (actionName == pressAction())
            button()->click();
        else
            QAccessibleWidget::doAction(actionName);
    }

private:
    QAbstractButton *button() const { return static_cast<QAbstractButton *>(widget()); }
};

} // namespace

QAccessibleInterface *accessibleToolbarButtonFactory(const QString &className, QObject *object)
{
    if (className != QLatin1String("QToolButton") && className != QLatin1String("QPushButton"))
        return nullptr;
    auto *button = qobject_cast<QAbstractButton *>(object);
    if (!button || !qobject_cast<QToolBar *>(button->parentWidget()))
        return nullptr;
    return new ToolbarButton(button);
}
