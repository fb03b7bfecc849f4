// Placeholders until the sound layer is written; remove as it lands.
#include "platform/sound.h"

void playWave(const char*) {}
const char* channelAlias(const char*, char* out, int) { return out; }
const char* fileExtension(const char* path) { return path; }
const char* mciDeviceType(const char*) { return ""; }
void formatChannelCommand(const char*, char*, int, int) {}
void openSoundChannel(const char*, int) {}
void playSoundChannel(const char*, int) {}
void closeSoundChannel(const char*, int) {}
void openMusic(const char*, MusicTrack*) {}
void musicCommand(int, MusicTrack*) {}
void updateMusic(MusicTrack*) {}
void closeMusic(MusicTrack*) {}
void playMusicFile(const char*) {}
void stopMusicFile(const char*) {}
void playAliasFromStart(const char*) {}
void mciSendString(const char*) {}
void handleMusicNotices() {}
void resetSoundState() {}
