#include "helptext.h"

#include <QStringList>

QString helpText()
{
    const QStringList paragraphs = {
        QStringLiteral(
            "   Tarvex is a text editor that I developed as a personal project, for one simple "
            "reason, the other reasons being quite complex! Just kidding. I was sick of the "
            "limited functions of Notepad. Thus, Tarvex was created. Tarvex is very easy to use, "
            "and there is a really handy toolbar, which you can use to make your editting a whole "
            "lot faster, especially while writing codes. The default font is comic sans ms. It "
            "makes the text look a lot clearer."),
        QStringLiteral(
            "   One of the very important features of Tarvex is the temporary clipboard. Just "
            "select text from the main work area, and drag it to the temporary clipboard, and drop "
            "it there. Next time, when you want to paste it, just drop down the box, and select "
            "what you want to paste. Multiline text having blank lines in between them can also be "
            "stored in the temporary clipboard. They appear like this: My|house where the | stands "
            "for a blank line. But while pasting, it works fine. Remember that temporary clipboard "
            "is TEMPORARY, and the contents get erased, once you quit the program. F2 is shortcut "
            "for pasting temporary clipboard text, similar to Ctrl + v. Slow paste if activated is "
            "slower in pasting huge pieces of text, but comes with undo buffer, and if deactivated "
            "is really fast, but you cannot undo it. Defautl is deactivated slow paste(i.e.fast "
            "paste)"),
        QStringLiteral("   In the titlebar, the name of the file appears (Untitled if it is a new "
                       "file) followed by []. If any changes are made in the file, a star appears "
                       "in between the brackets. This acts as a reminder to save. If you are tired "
                       "of saving every time, you can just choose the Auto Save option from the "
                       "Options menu. This will save your file once in every 5 seconds."),
        QStringLiteral(
            "   The toolbar consists of the standard buttons, New, Open, Save As, Save, Copy, Cut, "
            "Paste, Increase font size, Reduce font size, Find, and temporary clipboard "
            "respectively. The names themselves are sufficient to explain their functions."),
        QStringLiteral("   The find option helps you to search for words in the file. You can even "
                       "search for words inside other words. (For eg. owl inside bowl) Once you "
                       "search for a word, future searches for the same word can be done by "
                       "pressing F3. It also has the replace, replace all options."),
        QStringLiteral(
            "   You can insert a currently existing file, by choosing the Insert file option from "
            "the edit menu (Shift + Insert). You can also insert current date and time by choosing "
            "the Date and Time option from edit menu (F5). You can also clear the clipboard."),
        QStringLiteral(
            "   Bold, italics, and underline perform their functions on the entire file. Case of "
            "selected text can be changed to lower case or upper case (or inverted,title, sentence "
            "too!) by selecting the respective option from the format menu. Font size can also be "
            "changed, and other fonts can be chosen from the menu. The number of fonts that can be "
            "chosen is equal to the total number of fonts currently installed on your computer. "
            "Like any other editor, font settings etc. cannot be stored by saving it as a Text "
            "(.txt) file."),
        QStringLiteral(
            "   You can also remove unnecessary white spaces by selecting the required text with "
            "whitespaces and choosing the appropriate option (Initial or Terminal or Both). You "
            "may also clear the temporary clipboard by selecting the option from the Options menu. "
            "The protect option encodes your file by replacing all letters and numbers by special "
            "characters. Enter a 5 character password when asked. Unprotect does the opposite. "
            "Enter the password to decode. Mirror reverses the entire file. A simple means of "
            "protecting your files would be by saving the file in the protected form. Remember, if "
            "you mirror text after protection, then, before unprotecting your file, use mirror "
            "again."),
        QStringLiteral("   Thank you for using Tarvex. Suggestions, comments and reports of "
                       "anything that does not work as it should are always welcome."),
    };

    QStringList lines;
    lines << QString(78, u'*') << QString(39, u' ') + QStringLiteral("Tarvex") << QString(79, u'*');
    for (const QString &paragraph : paragraphs)
        lines << QString() << paragraph;
    lines << QString() << QStringLiteral("Credits") << QString()
          << QStringLiteral("Tarvex is written and kept up by its project team.")
          << QStringLiteral("Questions and problem reports: the project's issue tracker.")
          << QStringLiteral("Version 1.0.0");
    return lines.join(QLatin1String("\r\n"));
}
