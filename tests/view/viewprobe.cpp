// The view on its own in a window, for a person or a screen reader to look at: over a sample of
// wrapped text, bare CR and LF, right-to-left, CJK and emoji, or over the text given as the
// argument (an empty one for the screen-reader check).
#include "view/textview.h"

#include <QApplication>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Document document;
    if (argc > 1) {
        document.load(TextBuffer(QString::fromLocal8Bit(argv[1])), std::nullopt);
    } else {
        document.load(TextBuffer(u"A paragraph long enough to wrap at the width of this window, "
                                 "so that its words go on over a second and a third display line "
                                 "as the view lays it out.\r\n"
                                 "a bare CR\rbreaks the line, a bare LF\nshows as its glyph\r\n"
                                 "\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD and "
                                 "\u0645\u0631\u062D\u0628\u0627 \u0628\u0627\u0644\u0639\u0627\u0644\u0645\r\n"
                                 "\u4E2D\u6587\u6587\u672C \u65E5\u672C\u8A9E\u306E\u6587 "
                                 "\U0001F600 e\u0301\u0302 \tafter a tab\r\n"_s),
            std::nullopt);
        document.select(2, 9); // "paragraph"
    }
    TextView view(document);
    view.setWindowTitle(u"Tarvex view"_s);
    view.resize(560, 360);
    view.show();
    return app.exec();
}
