#include "SonviraApplication.h"
#include "TMainForm.h"

int main(int argc, char** argv) {
    sonvira::SonviraApplication app(argc, argv);
    // The windows in their order of creation; the first is the main window.
    sonvira::TMainForm mainForm;
    mainForm.show();
    return app.exec();
}
