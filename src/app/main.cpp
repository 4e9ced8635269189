#include "CdAccess.h"
#include "CommandLineRequest.h"
#include "DeviceSoundOutput.h"
#include "PortAudioCaptureDevice.h"
#include "PrivateTempFolder.h"
#include "SessionHotKeys.h"
#include "SonviraApplication.h"
#include "SoundServerIdentity.h"
#include "TMainForm.h"

#include <QDBusConnection>
#include <QIcon>

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    // Help and version are answered without a window (and without a display).
    switch (sonvira::ReadCommandLineRequest(std::vector<std::string>(argv, argv + argc))) {
        case sonvira::CommandLineRequest::Help:
            std::fputs(sonvira::UsageText().c_str(), stdout);
            return 0;
        case sonvira::CommandLineRequest::Version:
            std::fputs(sonvira::VersionText().c_str(), stdout);
            return 0;
        case sonvira::CommandLineRequest::Run:
            break;
    }
    // Before any thread starts: the environment is read by libpulse when a stream opens.
    sonvira::IntroduceToSoundServer();
    // The session decides where the hot keys come from. Read before Qt starts: the
    // window runs on xcb (XWayland under Wayland) either way, as the X11 grabs need.
    const sonvira::HotKeySource hotKeySource =
        sonvira::ChooseHotKeySource(sonvira::CurrentSessionEnvironment());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
    sonvira::SonviraApplication app(argc, argv);
    // Lets a desktop match the window to the menu entry (de.orlanda.sonvira.desktop) and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("de.orlanda.sonvira"));
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/de.orlanda.sonvira-%1.png").arg(size), QSize(size, size));
    QGuiApplication::setWindowIcon(icon);
    // Decoded sounds go into a folder of this copy's own, removed when it ends (a crashed
    // copy's at the next start); declared before the window, so it outlives the window.
    const sonvira::PrivateTempFolder tempFolder;
    sonvira::PlatformParts platform;
    platform.tempFolder = tempFolder.Path();
    platform.openOutput = &sonvira::DeviceSoundOutput::OpenDefault;
    platform.openCapture = &sonvira::PortAudioCaptureDevice::Create;
    platform.openCd = &sonvira::LinuxCdAccess;
    platform.makeHotKeys = [hotKeySource](QWidget* owner) {
        return sonvira::MakeSessionHotKeys(hotKeySource, QDBusConnection::sessionBus(), owner);
    };
    // The main window creates its dialogs in their order and owns them.
    sonvira::TMainForm mainForm({}, platform);
    app.ReportError = [&mainForm](const QString& text) {
        mainForm.ShowMessage(QMessageBox::Critical, text);
    };
    mainForm.show();
    return app.Run();
}
