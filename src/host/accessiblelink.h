#pragma once

class QAccessibleInterface;
class QObject;
class QString;

/// Screen readers announce a LinkLabel as a link, by its caption, with the press action
/// that follows it. For QAccessible::installFactory.
QAccessibleInterface *accessibleLinkFactory(const QString &className, QObject *object);
