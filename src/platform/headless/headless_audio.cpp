// Placeholder audio for the headless back end; replaced by the recording one.
#include "platform/os.h"

int osAudioOpen(const char*) { return 0; }
uint32_t osAudioLengthMs(int) { return 0; }
uint32_t osAudioPositionMs(int) { return 0; }
void osAudioPlay(int) {}
void osAudioPause(int) {}
void osAudioStop(int) {}
void osAudioSeek(int, uint32_t) {}
void osAudioSetVolume(int, uint32_t) {}
int osAudioTakeEndNotice(int) { return 0; }
void osAudioClose(int) {}
void osPlayWave(const char*) {}
