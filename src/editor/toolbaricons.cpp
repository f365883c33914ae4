#include "toolbaricons.h"

#include <QString>

namespace {

struct IconName
{
    const char *key;
    const char *themeName; // freedesktop icon naming
    const char *file; // under :/icons/
};

// Plain data only: no Qt objects before the application exists.
constexpr IconName iconNames[] = {
    { "New", "document-new", "new.svg" },
    { "Open", "document-open", "open.svg" },
    { "Save", "document-save", "save.svg" },
    { "Print", "document-print", "print.svg" },
    { "Copy", "edit-copy", "copy.svg" },
    { "Cut", "edit-cut", "cut.svg" },
    { "Paste", "edit-paste", "paste.svg" },
    { "Find", "edit-find", "find.svg" },
    { "Properties", "document-properties", "properties.svg" },
};

} // namespace

// The icons live in a static library, whose resource registration the linker may drop.
static void registerIconResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    Q_UNUSED(registered);
}

QIcon toolbarIcon(const QString &key)
{
    registerIconResources();
    for (const IconName &name : iconNames) {
        if (key == QLatin1String(name.key))
            return QIcon::fromTheme(QLatin1String(name.themeName),
                QIcon(QLatin1String(":/icons/") + QLatin1String(name.file)));
    }
    return QIcon();
}
