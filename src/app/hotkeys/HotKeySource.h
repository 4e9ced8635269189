#pragma once
// Which mechanism brings the global hot keys, decided once at start-up from the
// session's environment. Plain C++; any thread.

namespace sonvira {

enum class HotKeySource {
    // X11 passive key grabs: an X11 session, or no sign of Wayland.
    X11Grabs,
    // A Wayland session: X11 grabs (through XWayland) only reach the program while one
    // of its windows has the focus, so the desktop portal's global shortcuts come
    // first; X11 grabs remain the fallback when the portal cannot give them.
    PortalThenX11Grabs,
};

// The session's variables as getenv gives them; null when unset.
struct SessionEnvironment {
    const char* waylandDisplay = nullptr;  // WAYLAND_DISPLAY
    const char* sessionType = nullptr;     // XDG_SESSION_TYPE
};

// A Wayland session is one with a non-empty WAYLAND_DISPLAY or with XDG_SESSION_TYPE
// "wayland" (in any letter case); everything else keeps the X11 grabs.
HotKeySource ChooseHotKeySource(const SessionEnvironment& environment);

// The variables of this process. Reads the environment: call before threads start.
SessionEnvironment CurrentSessionEnvironment();

}  // namespace sonvira
