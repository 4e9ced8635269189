#pragma once

namespace sonvira {

// The properties a PulseAudio (or PipeWire) mixer shows for the program's streams: its
// name instead of "ALSA plug-in [sonvira]", its icon, and the music role. PortAudio
// reaches the server through ALSA's pulse plug-in, which names the client after the
// binary; libpulse reads these variables when the plug-in connects. Values the user
// already set win over ours. Call at start, before any thread or sound device.
void IntroduceToSoundServer();

}  // namespace sonvira
