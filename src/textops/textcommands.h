#pragma once

#include "editor/commandtable.h"

#include <QObject>

#include <memory>

class AutoCapitalise;
class CaseCommands;
class frmedit;
class InsertionCommands;
class SelectionCommands;

/// The text commands of the Edit and Format menus and Auto Capitalise.
class TextCommands : public QObject
{
    Q_OBJECT

public:
    explicit TextCommands(frmedit &window);
    ~TextCommands() override;

    /// Runs after every change of the text while Auto Capitalise is on.
    void autocorrect();

    CaseCommands &caseCommands() { return *m_case; }
    SelectionCommands &selectionCommands() { return *m_selection; }
    InsertionCommands &insertionCommands() { return *m_insertion; }
    AutoCapitalise &autoCapitalise() { return *m_autoCapitalise; }

private:
    frmedit &m_window;
    std::unique_ptr<CaseCommands> m_case;
    std::unique_ptr<SelectionCommands> m_selection;
    std::unique_ptr<InsertionCommands> m_insertion;
    AutoCapitalise *m_autoCapitalise = nullptr;
};
