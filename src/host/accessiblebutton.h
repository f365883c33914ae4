#pragma once

class QAccessibleInterface;
class QObject;
class QString;

/// A toolbar button whose tooltip only repeats its name is announced by its name alone: screen
/// readers would otherwise read the tooltip again as its description. Buttons whose tooltip says
/// more keep it as their description. For QAccessible::installFactory.
QAccessibleInterface *accessibleToolbarButtonFactory(const QString &className, QObject *object);
