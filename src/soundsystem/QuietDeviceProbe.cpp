#include "QuietDeviceProbe.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>

#include <cstdio>
#include <mutex>

namespace sonvira {
namespace {

std::mutex probeGuard;
int probesOpen = 0;

void IgnoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

void IgnoreJackMessage(const char*) {}

// What libjack does by default, restored after a probe: errors to stderr, notes to stdout.
void JackErrorToStderr(const char* text) {
    std::fprintf(stderr, "%s\n", text);
    std::fflush(stderr);
}

void JackInfoToStdout(const char* text) {
    std::fprintf(stdout, "%s\n", text);
    std::fflush(stdout);
}

}  // namespace

QuietDeviceProbe::QuietDeviceProbe() {
    const std::lock_guard<std::mutex> lock(probeGuard);
    if (probesOpen++ > 0) return;
    snd_lib_error_set_handler(&IgnoreAlsaMessage);
    jack_set_error_function(&IgnoreJackMessage);
    jack_set_info_function(&IgnoreJackMessage);
}

QuietDeviceProbe::~QuietDeviceProbe() {
    const std::lock_guard<std::mutex> lock(probeGuard);
    if (--probesOpen > 0) return;
    snd_lib_error_set_handler(nullptr);  // ALSA's own printing to stderr
    jack_set_error_function(&JackErrorToStderr);
    jack_set_info_function(&JackInfoToStdout);
}

}  // namespace sonvira
