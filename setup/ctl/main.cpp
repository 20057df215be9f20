#include "ctlapp.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return CtlApp().run(QCoreApplication::arguments());
}
