// Mirabo, the crystal ladder filter designer: writes its designs as circuit files in the
// working directory and takes no arguments or settings.
#include <QApplication>

#include "mirabo_app.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    setUpMiraboLook();
    MiraboApp mirabo;
    mirabo.start();
    return app.exec();
}
