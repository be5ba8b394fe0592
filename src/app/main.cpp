#include "app/main_bas.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Marlume Tilt Monitor"));
    return marlume::app::Main();
}
