// Sound effects and music over the back end's audio calls.
#include "platform/sound.h"

#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/os.h"

SoundState sound;

namespace {

constexpr int COMMAND_MAX = 256;  // size of every command string we build
constexpr int MAX_TOKENS = 12;
constexpr int TOKEN_MAX = 512;

OpenDevice* findHandle(int handle) {
  if (handle <= 0) return nullptr;
  for (OpenDevice& d : sound.devices)
    if (d.handle == handle) return &d;
  return nullptr;
}

OpenDevice* findAlias(const char* alias) {
  if (!alias[0]) return nullptr;
  for (OpenDevice& d : sound.devices)
    if (d.handle && d.alias[0] && !strcasecmp(d.alias, alias)) return &d;
  return nullptr;
}

// Opens a device and records it; 0 when the file cannot be opened or the
// table is full (the game never holds more than a few dozen devices).
int openDevice(const char* path, const char* alias) {
  OpenDevice* slot = nullptr;
  for (OpenDevice& d : sound.devices)
    if (!d.handle) {
      slot = &d;
      break;
    }
  if (!slot) return 0;
  int handle = osAudioOpen(path);
  if (handle <= 0) return 0;
  slot->handle = handle;
  std::snprintf(slot->alias, sizeof slot->alias, "%s", alias);
  slot->notifyPending = 0;
  return handle;
}

void closeDevice(OpenDevice* d) {
  osAudioClose(d->handle);
  *d = OpenDevice{};
}

void closeAllDevices() {
  for (OpenDevice& d : sound.devices)
    if (d.handle) closeDevice(&d);
}

// A track's commands reach the back end only while its device is open.
int trackHandle(const MusicTrack* track) {
  return findHandle(track->deviceId) ? track->deviceId : 0;
}

int splitCommand(const char* command, char tokens[MAX_TOKENS][TOKEN_MAX]) {
  int count = 0;
  const char* p = command;
  while (*p && count < MAX_TOKENS) {
    while (*p == ' ' || *p == '\t') p++;
    if (!*p) break;
    int n = 0;
    while (*p && *p != ' ' && *p != '\t') {
      if (n < TOKEN_MAX - 1) tokens[count][n++] = *p;
      p++;
    }
    tokens[count][n] = 0;
    count++;
  }
  return count;
}

uint32_t parseMs(const char* text) {
  char* end = nullptr;
  unsigned long v = std::strtoul(text, &end, 10);
  if (end == text || v > 0xFFFFFFFFul) return 0;
  return (uint32_t)v;
}

// "open PATH [type T] [alias A]". A type other than the two we can play,
// or an empty one, makes the open fail like an unknown device would.
void commandOpen(char tokens[MAX_TOKENS][TOKEN_MAX], int count) {
  if (count < 2) return;
  const char* path = tokens[1];
  const char* alias = path;
  for (int i = 2; i < count; i++) {
    if (!strcasecmp(tokens[i], "type")) {
      if (i + 1 >= count) return;
      const char* type = tokens[++i];
      if (strcasecmp(type, "waveaudio") != 0 && strcasecmp(type, "mpegvideo") != 0) return;
    } else if (!strcasecmp(tokens[i], "alias")) {
      if (i + 1 >= count) return;
      alias = tokens[++i];
    }
  }
  if (std::strlen(alias) >= (size_t)ALIAS_MAX || findAlias(alias)) return;
  openDevice(path, alias);
}

// "play A [from N] [notify]": a play replaces whatever notice was pending.
void commandPlay(char tokens[MAX_TOKENS][TOKEN_MAX], int count) {
  OpenDevice* d = findAlias(tokens[1]);
  if (!d) return;
  int notify = 0;
  int from = -1;
  for (int i = 2; i < count; i++) {
    if (!strcasecmp(tokens[i], "notify"))
      notify = 1;
    else if (!strcasecmp(tokens[i], "from") && i + 1 < count)
      from = (int)parseMs(tokens[++i]);
  }
  if (from >= 0) osAudioSeek(d->handle, (uint32_t)from);
  osAudioTakeEndNotice(d->handle);  // an earlier end is superseded by this play
  osAudioPlay(d->handle);
  d->notifyPending = notify;
}

}  // namespace

void mciSendString(const char* command) {
  if (!command) return;
  char tokens[MAX_TOKENS][TOKEN_MAX];
  int count = splitCommand(command, tokens);
  if (count < 2) return;
  const char* verb = tokens[0];
  if (!strcasecmp(verb, "open")) {
    commandOpen(tokens, count);
    return;
  }
  if (!strcasecmp(verb, "close") && !strcasecmp(tokens[1], "all")) {
    closeAllDevices();
    return;
  }
  if (!strcasecmp(verb, "play")) {
    commandPlay(tokens, count);
    return;
  }
  OpenDevice* d = findAlias(tokens[1]);
  if (!d) return;  // "stop cdaudio" and every unknown device end here
  if (!strcasecmp(verb, "stop")) {
    osAudioStop(d->handle);
    d->notifyPending = 0;  // aborted: no restart
  } else if (!strcasecmp(verb, "pause")) {
    osAudioPause(d->handle);
    d->notifyPending = 0;
  } else if (!strcasecmp(verb, "resume")) {
    osAudioPlay(d->handle);
  } else if (!strcasecmp(verb, "seek") && count >= 4 && !strcasecmp(tokens[2], "to")) {
    osAudioSeek(d->handle, !strcasecmp(tokens[3], "start") ? 0 : parseMs(tokens[3]));
    d->notifyPending = 0;
  } else if (!strcasecmp(verb, "close")) {
    closeDevice(d);
  }
}

void handleMusicNotices() {
  for (OpenDevice& d : sound.devices) {
    if (!d.handle || !d.alias[0]) continue;
    if (!osAudioTakeEndNotice(d.handle) || !d.notifyPending) continue;
    d.notifyPending = 0;
    // The window procedure answers every finished notifying play this way.
    mciSendString("play bgm from 0 notify");
  }
}

void resetSoundState() {
  closeAllDevices();
  sound = SoundState{};
}

void playWave(const char* path) {
  if (path) osPlayWave(path);
}

const char* channelAlias(const char* path, char* out, int outSize) {
  if (!out || outSize <= 0) return out;
  out[0] = 0;
  if (!path) return out;
  const char* base = path;
  for (const char* p = path; *p; p++)
    if (*p == '/' || *p == '\\') base = p + 1;
  int n = 0;
  while (base[n] && base[n] != '.' && n < outSize - 1) {
    out[n] = base[n];
    n++;
  }
  out[n] = 0;
  return out;
}

// The extension of the file's own name, so that a dot in a folder name
// ("./SE/...") does not change the device type.
const char* fileExtension(const char* path) {
  if (!path) return "";
  const char* base = path;
  for (const char* p = path; *p; p++)
    if (*p == '/' || *p == '\\') base = p + 1;
  const char* dot = std::strchr(base, '.');
  return dot ? dot : base + std::strlen(base);
}

const char* mciDeviceType(const char* extension) {
  if (!extension) return "";
  if (!strcasecmp(extension, ".wav")) return "waveaudio";
  if (!strcasecmp(extension, ".mp3")) return "mpegvideo";
  return "";
}

void formatChannelCommand(const char* path, char* out, int operation, int index) {
  if (!out) return;
  out[0] = 0;
  if (!path) return;
  char alias[ALIAS_MAX];
  channelAlias(path, alias, sizeof alias);
  switch (operation) {
    case 1:
      std::snprintf(out, COMMAND_MAX, "open %s type %s alias %s%d", path,
                    mciDeviceType(fileExtension(path)), alias, index);
      break;
    case 2: std::snprintf(out, COMMAND_MAX, "play %s%d from 0", alias, index); break;
    case 3: std::snprintf(out, COMMAND_MAX, "close %s%d", alias, index); break;
    default: break;
  }
}

void openSoundChannel(const char* path, int index) {
  char command[COMMAND_MAX];
  formatChannelCommand(path, command, 1, index);
  mciSendString(command);
}

void playSoundChannel(const char* path, int index) {
  char command[COMMAND_MAX];
  formatChannelCommand(path, command, 2, index);
  mciSendString(command);
}

void closeSoundChannel(const char* path, int index) {
  char command[COMMAND_MAX];
  formatChannelCommand(path, command, 3, index);
  mciSendString(command);
}

void openMusic(const char* path, MusicTrack* track) {
  if (!track) return;
  // Opening into a track that still holds a device would leak that device.
  if (OpenDevice* old = findHandle(track->deviceId)) closeDevice(old);
  track->deviceId = path ? openDevice(path, "") : 0;
  if (!track->deviceId) return;
  track->length = osAudioLengthMs(track->deviceId);
  track->position = 0;
  track->volume = 0;  // reaches the device with the next command or update
  track->fadeState = 0;
}

void musicCommand(int command, MusicTrack* track) {
  if (!track) return;
  int h = trackHandle(track);
  switch (command) {
    case MUSIC_PLAY:
      if (h) osAudioPlay(h);
      break;
    case MUSIC_PAUSE:
      if (h) osAudioPause(h);
      break;
    case MUSIC_STOP:
      if (h) osAudioStop(h), osAudioSeek(h, 0);
      break;
    case MUSIC_FADE_OUT: track->fadeState = 3; break;
    case MUSIC_FADE_IN:
      track->fadeState = 4;
      if (h) osAudioSeek(h, 0), osAudioPlay(h);
      break;
    default: break;
  }
  if (h) osAudioSetVolume(h, track->volume);
}

void updateMusic(MusicTrack* track) {
  if (!track) return;
  int h = trackHandle(track);
  if (track->fadeState == 4) {
    track->volume += 10;
    if (track->volume > MUSIC_VOLUME_MAX) {
      track->volume = MUSIC_VOLUME_MAX;
      track->fadeState = 0;
    }
  }
  if (track->fadeState == 3) {
    track->volume = track->volume > 20 ? track->volume - 20 : 0;
    if (track->volume == 0) {
      if (h) osAudioStop(h), osAudioSeek(h, 0);
      track->fadeState = 0;
    }
  }
  if (h) osAudioSetVolume(h, track->volume);
  if (h) track->position = osAudioPositionMs(h);
  if (track->position == track->length && h) {
    // Played to the end: start again at the volume it has now.
    osAudioSeek(h, 0);
    osAudioPlay(h);
  }
}

void closeMusic(MusicTrack* track) {
  if (!track) return;
  if (OpenDevice* d = findHandle(track->deviceId)) closeDevice(d);
  track->deviceId = 0;
}

void playMusicFile(const char* path) {
  if (!path) return;
  char command[COMMAND_MAX];
  std::snprintf(command, sizeof command, "open %s alias bgm", path);
  mciSendString(command);
  mciSendString("play bgm from 0 notify");
}

void stopMusicFile(const char* alias) {
  if (!alias) return;
  char command[COMMAND_MAX];
  std::snprintf(command, sizeof command, "stop %s", alias);
  mciSendString(command);
  std::snprintf(command, sizeof command, "close %s", alias);
  mciSendString(command);
}

void playAliasFromStart(const char* alias) {
  if (!alias) return;
  char command[COMMAND_MAX];
  std::snprintf(command, sizeof command, "play %s from 0", alias);
  mciSendString(command);
}
