#include "CdAccess.h"
#include "DeviceSoundOutput.h"
#include "PortAudioCaptureDevice.h"
#include "SonviraApplication.h"
#include "TMainForm.h"
#include "X11GlobalHotKeys.h"

int main(int argc, char** argv) {
    // Global hot keys are X11 key grabs: under Wayland the program runs on XWayland.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
    sonvira::SonviraApplication app(argc, argv);
    sonvira::PlatformParts platform;
    platform.openOutput = &sonvira::DeviceSoundOutput::OpenDefault;
    platform.openCapture = &sonvira::PortAudioCaptureDevice::Create;
    platform.openCd = &sonvira::LinuxCdAccess;
    platform.makeHotKeys = [](QWidget* owner) -> sonvira::GlobalHotKeys* {
        return new sonvira::X11GlobalHotKeys(owner);
    };
    // The main window creates its dialogs in their order and owns them.
    sonvira::TMainForm mainForm({}, platform);
    app.ReportError = [&mainForm](const QString& text) {
        mainForm.ShowMessage(QMessageBox::Critical, text);
    };
    mainForm.show();
    return app.Run();
}
