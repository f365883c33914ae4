// Prints, for the edit area and the large "A" button of a new main window, the family the
// program asks for and the face the toolkit draws it in, as "asked=drawn" lines. The appearance
// tests run it under font set-ups of their own.
#include "editor/mainwindow.h"
#include "editor/maintoolbar.h"
#include "fakehost.h"
#include "view/textview.h"

#include <QApplication>
#include <QFontInfo>
#include <QPushButton>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    FakeHost host;
    MainWindow window(host);
    for (const QWidget *widget : { static_cast<QWidget *>(window.area()),
             static_cast<QWidget *>(window.toolbar()->growFontButton()) }) {
        std::printf("%s=%s\n", qPrintable(widget->font().family()),
            qPrintable(QFontInfo(widget->font()).family()));
    }
    return 0;
}
