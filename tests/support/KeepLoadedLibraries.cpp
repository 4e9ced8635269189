// Linked into the test programs that open the sound server through PortAudio.
// ALSA loads its plugins (the pulse one among them) while PortAudio looks for devices
// and unloads them when it ends; the few objects they keep for the process then reach
// LeakSanitizer's report without a module name that a suppression could match. Such a
// test program keeps every loaded library: its dlclose does nothing.
extern "C" int dlclose(void*) { return 0; }
