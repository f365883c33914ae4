#include "accessiblecombobox.h"

#include <QAccessibleWidget>
#include <QComboBox>

namespace {

class NamedComboBox : public QAccessibleWidget
{
public:
    explicit NamedComboBox(QComboBox *box)
        : QAccessibleWidget(box, QAccessible::ComboBox)
    { }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return static_cast<QComboBox *>(widget())->currentText();
        return QAccessibleWidget::text(t);
    }
};

} // namespace

QAccessibleInterface *accessibleComboBoxFactory(const QString &className, QObject *object)
{
    auto *box = qobject_cast<QComboBox *>(object);
    if (className != QLatin1String("QComboBox") || !box || box->accessibleName().isEmpty())
        return nullptr;
    return new NamedComboBox(box);
}
