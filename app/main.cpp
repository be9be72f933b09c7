// Tavrel: makes looping animated GIFs from up to five pictures.
#include <QApplication>

#include "app/tavrel_app.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    CTavrelApp app;
    app.InitInstance();
    return app.ExitInstance();
}
