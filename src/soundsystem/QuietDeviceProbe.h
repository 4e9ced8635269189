#pragma once

namespace sonvira {

// While one lives, ALSA and JACK keep their messages to themselves. PortAudio opens every
// device it knows of when it starts, and each one missing on this machine (HDMI, S/PDIF,
// surround, a JACK server that is not running) prints a line: some sixty at every start.
// Whether a device really failed is told by PortAudio's own answer, which the caller
// reports. Outside these scopes the libraries print as they always do (an underrun
// during playback, for one). Scopes may overlap and nest, on any thread.
class QuietDeviceProbe {
public:
    QuietDeviceProbe();
    ~QuietDeviceProbe();
    QuietDeviceProbe(const QuietDeviceProbe&) = delete;
    QuietDeviceProbe& operator=(const QuietDeviceProbe&) = delete;
};

}  // namespace sonvira
