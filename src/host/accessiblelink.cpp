#include "accessiblelink.h"

#include "linklabel.h"

#include <QAccessibleWidget>

namespace {

class AccessibleLink : public QAccessibleWidget
{
public:
    explicit AccessibleLink(LinkLabel *link)
        : QAccessibleWidget(link, QAccessible::Link)
    { }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return link()->text();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override
    {
        return QStringList(pressAction()) + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &actionName) override
    {
        if (actionName == pressAction())
            link()->activate();
        else
            QAccessibleWidget::doAction(actionName);
    }

private:
    LinkLabel *link() const { return static_cast<LinkLabel *>(widget()); }
};

} // namespace

QAccessibleInterface *accessibleLinkFactory(const QString &className, QObject *object)
{
    auto *link = qobject_cast<LinkLabel *>(object);
    if (className != QLatin1String("LinkLabel") || !link)
        return nullptr;
    return new AccessibleLink(link);
}
