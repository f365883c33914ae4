#include "desktop.h"

#include "accessiblebutton.h"
#include "accessiblecombobox.h"
#include "accessiblelink.h"

#include <QAccessible>
#include <QFont>
#include <QStringList>

namespace Desktop {

void prepare()
{
    static bool prepared = false;
    if (prepared)
        return;
    prepared = true;

    // Without these, fontconfig may draw Comic Sans MS in a calligraphic script (URW Z003).
    // Comic Neue is casual and readable; DejaVu Sans is on every Debian desktop.
    const QString plainSans = QStringLiteral("DejaVu Sans");
    QFont::insertSubstitutions(
        QStringLiteral("Comic Sans MS"), { QStringLiteral("Comic Neue"), plainSans });
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), { plainSans });

    QAccessible::installFactory(accessibleComboBoxFactory);
    QAccessible::installFactory(accessibleLinkFactory);
    QAccessible::installFactory(accessibleToolbarButtonFactory);
}

} // namespace Desktop
