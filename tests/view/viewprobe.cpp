// The view on its own in a window, over the text given as the argument (an empty one for the
// screen-reader check), for a screen reader or a person to look at: bash's $'a\rb\nc' gives bare
// CR and LF.
#include "view/textview.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Document document;
    const QString text = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    document.load(TextBuffer(text), std::nullopt);
    TextView view(document);
    view.setWindowTitle(QStringLiteral("Tarvex view"));
    view.resize(560, 360);
    view.show();
    return app.exec();
}
