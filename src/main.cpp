#include "editor/frmedit.h"
#include "host/qthost.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvex"));

    QtHost host;
    auto *window = new frmedit(host);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return app.exec();
}
