// Tavrel: makes looping animated GIFs from up to five pictures.
#include <QApplication>

#include "app/tavrel_app.h"
#include "platform/library_messages.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // What the image libraries say about a picture goes into the reason its slot shows.
    tavrel::CaptureLibraryMessages(true);
    CTavrelApp app;
    app.InitInstance();
    return app.ExitInstance();
}
