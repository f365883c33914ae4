#pragma once

class QAccessibleInterface;
class QObject;
class QString;

/// Screen readers on this platform would announce an editable combo box by its current text
/// (Qt names it so and leaves the label to a relation). A combo box given an accessible name is
/// announced by that name instead, with its text as its value. For QAccessible::installFactory.
QAccessibleInterface *accessibleComboBoxFactory(const QString &className, QObject *object);
