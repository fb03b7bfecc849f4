// The headless audio back end: no sound card, a log of every call and a
// playback simulated on the virtual clock.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct HeadlessDevice {
  bool open = false;
  uint32_t length = 0;  // ms
  uint32_t volume = 1000;
  bool playing = false;
  uint32_t basePosition = 0;  // position when the play started, or the resting one
  int32_t startMs = 0;        // virtual time the play started
  bool endNotice = false;
};

struct HeadlessAudio {
  // One line per call: "open 3 bgm/main.mp3", "openfail x.mp3", "play 3",
  // "pause 3", "stop 3", "seek 3 0", "volume 3 10" (only when the volume
  // changes), "close 3", "wave SE/start.wav".
  std::vector<std::string> log;
  std::vector<HeadlessDevice> devices;  // handle h is entry h - 1
  std::string lastWave;
};
extern HeadlessAudio headlessAudio;

// The log's lines since the last call, which empties it: a long run that
// takes them every picture keeps the log small.
std::vector<std::string> headlessAudioTakeLog();

// Closes every device and clears the log (handles are never reused).
void headlessAudioReset();
int headlessAudioPlaying(int handle);      // 1 while the handle plays
uint32_t headlessAudioVolume(int handle);  // last volume set (1000 after open)
const char* headlessAudioLastWave();       // last osPlayWave path, "" if none
// Length of a wave or mp3 file in ms from its headers; 0 when the file is
// missing, damaged or holds no sound.
uint32_t headlessAudioFileLengthMs(const char* path);
