// Sorvel, the ladder analyser: reads "startfile.cir" from the working directory at its
// first activation and takes no arguments or settings.
#include <QApplication>

#include "sorvel_app.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    SorvelApp sorvel;
    sorvel.start();
    return app.exec();
}
