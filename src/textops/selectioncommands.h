#pragma once

class frmedit;

/// Select All, Select Word and Select next word.
class SelectionCommands
{
public:
    explicit SelectionCommands(frmedit &window);

    void mnuselectall_Click();
    /// Leaves the word at the caret selected; Find starts from it too.
    void mnuselectword_Click();
    void mnuselnxtwrd_Click();

private:
    frmedit &m_window;
};
