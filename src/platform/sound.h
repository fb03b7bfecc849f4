// Sound effects and music, through a small command-string interface.
#pragma once
#include <cstdint>

constexpr int MUSIC_PLAY = 0;
constexpr int MUSIC_PAUSE = 1;
constexpr int MUSIC_STOP = 2;
constexpr int MUSIC_FADE_OUT = 3;
constexpr int MUSIC_FADE_IN = 4;
constexpr uint32_t MUSIC_VOLUME_MAX = 500;

struct MusicTrack {
  int deviceId = 0;     // 0: nothing open, every command fails silently
  uint32_t volume = 0;  // 0 .. 1000, the game's full volume is 500
  uint32_t length = 0;
  uint32_t position = 0;
  int fadeState = 0;  // 0 none, 3 fading out, 4 fading in
};

// Devices are addressed either by alias (the command strings) or by the
// handle stored in a MusicTrack; both kinds sit in one table so that
// "close all" reaches every device the game opened.
constexpr int MAX_DEVICES = 64;
constexpr int ALIAS_MAX = 64;
struct OpenDevice {
  int handle;             // 0: free entry
  char alias[ALIAS_MAX];  // empty for music tracks, which are addressed by handle
  int notifyPending;      // the last play asked to be told when it ends
};
struct SoundState {
  OpenDevice devices[MAX_DEVICES];
};
extern SoundState sound;

void playWave(const char* path);
const char* channelAlias(const char* path, char* out, int outSize);
const char* fileExtension(const char* path);
const char* mciDeviceType(const char* extension);
// out holds at least 256 characters; operation 1 open, 2 play, 3 close.
void formatChannelCommand(const char* path, char* out, int operation, int index);
void openSoundChannel(const char* path, int index);
void playSoundChannel(const char* path, int index);
void closeSoundChannel(const char* path, int index);
void openMusic(const char* path, MusicTrack* track);
void musicCommand(int command, MusicTrack* track);
void updateMusic(MusicTrack* track);
void closeMusic(MusicTrack* track);
void playMusicFile(const char* path);
void stopMusicFile(const char* alias);
void playAliasFromStart(const char* alias);
// The command-string interpreter behind the aliases ("open ... alias x",
// "play x from 0 notify", "stop x", "close x", "close all").
void mciSendString(const char* command);
// Called while messages are pumped: restarts a notifying alias at its end.
void handleMusicNotices();
void resetSoundState();  // closes every device
