// ThreadSanitizer cannot see the synchronisation inside PulseAudio's client libraries (not built with
// it), which the ALSA pulse plugins load into the test process; it reports races between their own
// threads' accesses. Reports with a frame in those libraries are suppressed; reports in our own code
// stay on.
extern "C" const char* __tsan_default_suppressions() {
    return "race:libpulse.so\n"
           "race:libpulsecommon\n"
           "race:libasound_module_pcm_pulse.so\n"
           "race:libasound_module_ctl_pulse.so\n"
           "deadlock:libpulse.so\n"
           "deadlock:libpulsecommon\n";
}
