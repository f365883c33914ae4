#include "menurows.h"

namespace {

using K = CommandRow::Kind;
constexpr int kChecked = CommandRow::Checked;
constexpr int kCheckable = CommandRow::Checkable;
constexpr int kDisabled = CommandRow::Disabled;

constexpr CommandRow kRows[] = {
    { K::Menu, "", "file", "&File" },
    { K::Row, "file", "new", "&New", "Ctrl+N" },
    { K::Row, "file", "open", "&Open", "Ctrl+O" },
    { K::Row, "file", "mnureopen", "Reopen as UTF-8", "", kDisabled },
    { K::Row, "file", "save", "&Save", "Ctrl+S" },
    { K::Row, "file", "saveas", "Save &As" },
    { K::Separator, "file", "mnudashf", "-" },
    { K::Row, "file", "mnuprint", "Print", "Ctrl+P" },
    { K::Row, "file", "mnufsize", "Calculate File Size", "F12" },
    { K::Separator, "file", "mnudashi", "-" },
    { K::Row, "file", "exit", "E&xit", "Ctrl+E" },

    { K::Menu, "", "edit", "&Edit" },
    { K::Row, "edit", "mnufind", "&Find", "Ctrl+F" },
    { K::Row, "edit", "mnufindnext", "Find &Next", "F3" },
    { K::Row, "edit", "mnureplace", "Find And &Replace", "Ctrl+H" },
    { K::Separator, "edit", "mnudasha", "-" },
    { K::Row, "edit", "mnucopy", "Copy", "Ctrl+C", kDisabled },
    { K::Row, "edit", "mnucut", "Cut", "Ctrl+X", kDisabled },
    { K::Row, "edit", "mnupaste", "Paste", "Ctrl+V" },
    { K::Separator, "edit", "mnudashd", "-" },
    { K::Row, "edit", "mnudatetime", "Date And Time", "F5" },
    { K::Row, "edit", "mnuclearclip", "&Clear Clipboard" },
    { K::Row, "edit", "mnuselectall", "Select All", "Ctrl+A" },
    { K::Row, "edit", "mnuselectword", "Select Word", "Ctrl+F12" },
    { K::Row, "edit", "mnuselnxtwrd", "Select next word", "Shift+F12" },
    { K::Menu, "edit", "mnuinsert", "Insert" },
    { K::Row, "mnuinsert", "mnuinsfile", "Insert File", "Shift+Ins" },
    { K::Row, "mnuinsert", "mnuhtmlcode", "HTML code", "Ctrl+Ins" },

    { K::Menu, "", "mnuformat", "F&ormat" },
    { K::Row, "mnuformat", "bold", "Bold", "", kCheckable },
    { K::Row, "mnuformat", "italics", "Italics", "", kCheckable },
    { K::Row, "mnuformat", "underline", "Underline", "", kCheckable },
    { K::Separator, "mnuformat", "mnudashe", "-" },
    { K::Row, "mnuformat", "mnulcase", "Lower Case", "Ctrl+L" },
    { K::Row, "mnuformat", "mnuucase", "Upper Case", "Ctrl+U" },
    { K::Row, "mnuformat", "mnuIcase", "Inverted Case", "Ctrl+I" },
    { K::Row, "mnuformat", "mnutitlecase", "Title Case", "Ctrl+T" },
    { K::Row, "mnuformat", "mnusentencecase", "Sentence Case", "Ctrl+W" },
    { K::Separator, "mnuformat", "mnudashb", "-" },
    { K::Menu, "mnuformat", "fontera", "&Font" },
    { K::Row, "fontera", "facea", "Face" },
    { K::Menu, "fontera", "sizea", "Size" },
    { K::Row, "sizea", "eight", "8", "", kCheckable },
    { K::Row, "sizea", "ten", "10", "", kCheckable },
    { K::Row, "sizea", "twelve", "12", "", kCheckable },
    { K::Row, "sizea", "fourteen", "14", "", kCheckable },
    { K::Row, "sizea", "sixteen", "16", "", kCheckable },
    { K::Separator, "mnuformat", "mnudashc", "-" },
    { K::Menu, "mnuformat", "mnustrip", "Strip w/Spaces" },
    { K::Row, "mnustrip", "mnusinit", "Initial whitespaces", "F7" },
    { K::Row, "mnustrip", "mnusend", "Terminal whitespaces", "F8" },
    { K::Row, "mnustrip", "mnubothwspaces", "Both", "F9" },

    { K::Menu, "", "mnuoptions", "Op&tions" },
    { K::Row, "mnuoptions", "mnushowstatus", "Show StatusBar", "", kChecked },
    { K::Row, "mnuoptions", "mnushowtool", "Show ToolBar", "", kChecked },
    { K::Row, "mnuoptions", "mnuautosave", "Auto Save (5 seconds)", "", kCheckable },
    { K::Menu, "mnuoptions", "mnutemp", "Temporary Clipboard" },
    { K::Row, "mnutemp", "mnumasterclip", "Master Clipboard", "Ctrl+M" },
    { K::Row, "mnutemp", "mnucopytotemp", "Copy", "Ctrl+D" },
    { K::Row, "mnutemp", "mnuuseword", "Paste (Temp Clipboard)", "F2" },
    { K::Row, "mnutemp", "mnucleartmpcmb", "Clear Temp Clipboard" },
    { K::Row, "mnutemp", "mnuslowpaste", "Slow Paste (With Undo buffer)", "", kCheckable },
    { K::Row, "mnutemp", "mnualphasort", "Alphabetical Sorting", "", kChecked | kDisabled },
    { K::Separator, "mnuoptions", "mnudashh", "-" },
    { K::Row, "mnuoptions", "btncode", "Protect File" },
    { K::Row, "mnuoptions", "btndecode", "UnProtect File" },
    { K::Row, "mnuoptions", "reverser", "Mirror", "", kDisabled },
    { K::Separator, "mnuoptions", "mnudashg", "-" },
    { K::Row, "mnuoptions", "mnuloquen", "Loquen" },
    { K::Row, "mnuoptions", "mnuautocapitalise", "Auto Capitalise", "", kCheckable },
    { K::Row, "mnuoptions", "mnucontrast", "Change Contrast" },

    { K::Menu, "", "help", "&Help" },
    { K::Row, "help", "helpa", "Help", "F1" },
    { K::Row, "help", "about", "About" },
};

} // namespace

std::span<const CommandRow> menuBarRows()
{
    return kRows;
}
