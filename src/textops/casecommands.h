#pragma once

#include <QString>
#include <QStringView>

class frmedit;

/// The five case rows of the Format menu. Each converts the selection and selects exactly the
/// converted text again.
class CaseCommands
{
public:
    explicit CaseCommands(frmedit &window);

    void mnulcase_Click();
    void mnuucase_Click();
    void mnuIcase_Click();
    void mnutitlecase_Click();
    /// With nothing selected, converts the character after the caret.
    void mnusentencecase_Click();

private:
    void convertSelection(QString (*rule)(QStringView));

    frmedit &m_window;
};
