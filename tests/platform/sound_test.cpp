// Sound effects and music through the recording headless back end.
#include "platform/sound.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/headless/headless_audio.h"
#include "platform/os.h"
#include "test_support.h"

namespace {

std::string tempDir() {
  static std::string dir;
  if (dir.empty()) dir = makeTempDir("puxten-sound");
  return dir;
}

// 8-bit mono PCM at 1000 Hz: one byte per millisecond.
std::vector<uint8_t> waveBytes(uint32_t ms, uint32_t claimedDataBytes = 0) {
  std::vector<uint8_t> b = {'R', 'I', 'F', 'F', 0, 0, 0,   0,   'W', 'A',  'V', 'E', 'f', 'm',  't',
                            ' ', 16,  0,   0,   0, 1, 0,   1,   0,   0xE8, 3,   0,   0,   0xE8, 3,
                            0,   0,   1,   0,   8, 0, 'd', 'a', 't', 'a',  0,   0,   0,   0};
  uint32_t riff = 36 + ms, data = claimedDataBytes ? claimedDataBytes : ms;
  for (int i = 0; i < 4; i++) b[4 + i] = (uint8_t)(riff >> (8 * i));
  for (int i = 0; i < 4; i++) b[40 + i] = (uint8_t)(data >> (8 * i));
  b.insert(b.end(), ms, 128);
  return b;
}

std::string waveFile(const char* name, uint32_t ms) {
  std::string path = tempDir() + "/" + name;
  writeFile(path, waveBytes(ms));
  return path;
}

// MPEG-1 Layer III frames, 128 kbit/s, 44100 Hz, stereo: 417 bytes each.
void appendMp3Frames(std::vector<uint8_t>& b, int frames) {
  for (int i = 0; i < frames; i++) {
    size_t at = b.size();
    b.resize(at + 417, 0);
    b[at] = 0xFF, b[at + 1] = 0xFB, b[at + 2] = 0x90, b[at + 3] = 0x04;
  }
}

// Log lines that begin with prefix.
int countStarting(const char* prefix) {
  int n = 0;
  for (const std::string& line : headlessAudio.log) n += line.rfind(prefix, 0) == 0;
  return n;
}

int countLog(const std::string& line) {
  return (int)std::count(headlessAudio.log.begin(), headlessAudio.log.end(), line);
}

std::string handleLine(const char* verb, int handle) {
  return std::string(verb) + " " + std::to_string(handle);
}

class SoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headlessReset();
    resetSoundState();
    headlessAudioReset();
  }
  void TearDown() override { resetSoundState(); }
  // Frames of the game: 40 ms pass, then the music is updated.
  void frame(MusicTrack* track, int n = 1) {
    for (int i = 0; i < n; i++) {
      osSleepMs(40);
      updateMusic(track);
    }
  }
  // A track of a one-minute (or ms long) file, opened.
  MusicTrack opened(uint32_t ms = 60000) {
    MusicTrack track;
    openMusic(waveFile("a.wav", ms).c_str(), &track);
    return track;
  }
};

TEST_F(SoundTest, OpensSilentAndFadesInTo500OnThe50thUpdateEndingOnThe51st) {
  MusicTrack track;
  track.volume = 77;
  track.fadeState = 4;
  openMusic(waveFile("a.wav", 60000).c_str(), &track);
  ASSERT_NE(track.deviceId, 0);
  EXPECT_EQ(track.length, 60000u);
  EXPECT_EQ(track.volume, 0u);
  EXPECT_EQ(track.fadeState, 0);
  EXPECT_FALSE(headlessAudioPlaying(track.deviceId));
  musicCommand(MUSIC_FADE_IN, &track);
  EXPECT_TRUE(headlessAudioPlaying(track.deviceId));
  EXPECT_EQ(headlessAudioVolume(track.deviceId), 0u);
  for (int i = 1; i <= 50; i++) {
    frame(&track);
    ASSERT_EQ(track.volume, (uint32_t)(10 * i)) << "update " << i;
    ASSERT_EQ(track.fadeState, 4) << "update " << i;
    ASSERT_EQ(headlessAudioVolume(track.deviceId), track.volume);
  }
  frame(&track);
  EXPECT_EQ(track.volume, 500u);
  EXPECT_EQ(track.fadeState, 0);
  frame(&track, 5);
  EXPECT_EQ(track.volume, 500u);
  EXPECT_TRUE(headlessAudioPlaying(track.deviceId));
  EXPECT_EQ(track.position, 56u * 40);
}

TEST_F(SoundTest, FadeOutFrom500StopsAfter25UpdatesAtPositionZero) {
  MusicTrack track = opened();
  track.volume = 500;
  musicCommand(MUSIC_PLAY, &track);
  frame(&track, 10);
  ASSERT_EQ(track.position, 400u);
  musicCommand(MUSIC_FADE_OUT, &track);
  for (int i = 1; i <= 24; i++) {
    frame(&track);
    ASSERT_EQ(track.volume, 500u - 20 * i);
    ASSERT_TRUE(headlessAudioPlaying(track.deviceId));
  }
  frame(&track);
  EXPECT_EQ(track.volume, 0u);
  EXPECT_EQ(track.fadeState, 0);
  EXPECT_FALSE(headlessAudioPlaying(track.deviceId));
  EXPECT_EQ(track.position, 0u);
  // A stopped track sits at 0 and does not start again by itself.
  frame(&track, 10);
  EXPECT_FALSE(headlessAudioPlaying(track.deviceId));
  EXPECT_EQ(osAudioPositionMs(track.deviceId), 0u);
}

TEST_F(SoundTest, FadeOutDuringFadeInEndsSilentAndStopped) {
  MusicTrack track = opened();
  musicCommand(MUSIC_FADE_IN, &track);
  frame(&track, 7);
  ASSERT_EQ(track.volume, 70u);
  musicCommand(MUSIC_FADE_OUT, &track);
  frame(&track, 3);
  EXPECT_EQ(track.volume, 10u);
  EXPECT_TRUE(headlessAudioPlaying(track.deviceId));
  frame(&track);
  EXPECT_EQ(track.volume, 0u);
  EXPECT_EQ(track.fadeState, 0);
  EXPECT_FALSE(headlessAudioPlaying(track.deviceId));
  EXPECT_EQ(track.position, 0u);
}

TEST_F(SoundTest, FadeInAfterFinishedFadeOutRisesFromZeroAndRewinds) {
  MusicTrack track = opened();
  track.volume = 500;
  musicCommand(MUSIC_PLAY, &track);
  frame(&track, 30);
  musicCommand(MUSIC_FADE_OUT, &track);
  frame(&track, 25);
  musicCommand(MUSIC_FADE_IN, &track);
  frame(&track);
  EXPECT_EQ(track.volume, 10u);
  EXPECT_EQ(track.position, 40u);
}

TEST_F(SoundTest, TrackAtItsEndRestartsAtTheVolumeItHad) {
  MusicTrack track = opened(1000);
  ASSERT_EQ(track.length, 1000u);
  track.volume = 320;
  musicCommand(MUSIC_PLAY, &track);
  frame(&track, 24);
  EXPECT_EQ(track.position, 960u);
  headlessAudio.log.clear();
  frame(&track);  // 1000 ms: the end, the same update starts it again
  EXPECT_EQ(track.position, 1000u);
  std::vector<std::string> expected = {handleLine("seek", track.deviceId) + " 0",
                                       handleLine("play", track.deviceId)};
  EXPECT_EQ(headlessAudio.log, expected);
  EXPECT_TRUE(headlessAudioPlaying(track.deviceId));
  EXPECT_EQ(headlessAudioVolume(track.deviceId), 320u);
  frame(&track);
  EXPECT_EQ(track.position, 40u);
  EXPECT_EQ(track.volume, 320u);
}

TEST_F(SoundTest, PauseHoldsThePositionAndPlayGoesOn) {
  MusicTrack track = opened();
  musicCommand(MUSIC_PLAY, &track);
  frame(&track, 5);
  musicCommand(MUSIC_PAUSE, &track);
  frame(&track, 5);
  EXPECT_EQ(track.position, 200u);
  musicCommand(MUSIC_PLAY, &track);
  frame(&track);
  EXPECT_EQ(track.position, 240u);
  musicCommand(MUSIC_STOP, &track);
  frame(&track);
  EXPECT_EQ(track.position, 0u);
  EXPECT_FALSE(headlessAudioPlaying(track.deviceId));
}

TEST_F(SoundTest, MissingOrDamagedMusicMakesEveryCommandSilent) {
  MusicTrack track;
  std::string damaged = tempDir() + "/damaged.mp3";
  writeFile(damaged, std::vector<uint8_t>{'I', 'D', '3', 4, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F, 1, 2, 3});
  openMusic(damaged.c_str(), &track);
  EXPECT_EQ(track.deviceId, 0);
  openMusic((tempDir() + "/missing.mp3").c_str(), &track);
  EXPECT_EQ(track.deviceId, 0);
  headlessAudio.log.clear();
  musicCommand(MUSIC_FADE_IN, &track);
  frame(&track, 60);
  musicCommand(MUSIC_PLAY, &track);
  musicCommand(MUSIC_PAUSE, &track);
  musicCommand(MUSIC_STOP, &track);
  musicCommand(MUSIC_FADE_OUT, &track);
  musicCommand(99, &track);
  frame(&track, 30);
  closeMusic(&track);
  EXPECT_TRUE(headlessAudio.log.empty());
  EXPECT_EQ(track.deviceId, 0);
}

TEST_F(SoundTest, ClosedTrackAndCloseAllSilenceTheTracks) {
  MusicTrack a, b;
  openMusic(waveFile("a.wav", 60000).c_str(), &a);
  openMusic(waveFile("b.wav", 60000).c_str(), &b);
  closeMusic(&a);
  EXPECT_EQ(a.deviceId, 0);
  int handleB = b.deviceId;
  mciSendString("close all");
  EXPECT_EQ(countLog(handleLine("close", handleB)), 1);
  headlessAudio.log.clear();
  musicCommand(MUSIC_FADE_IN, &b);
  frame(&b);
  EXPECT_TRUE(headlessAudio.log.empty());
}

TEST_F(SoundTest, ChannelInstancesSoundTogether) {
  std::string path = tempDir() + "/SE/TaruBomb.wav";
  writeFile(path, waveBytes(800));
  for (int i = 0; i < 10; i++) openSoundChannel(path.c_str(), i);
  EXPECT_EQ(countStarting("open "), 10);
  // Each instance is a device of its own: two lit in one frame both play.
  playSoundChannel(path.c_str(), 2);
  playSoundChannel(path.c_str(), 5);
  int playing = 0;
  for (int h = 1; h < 1000; h++) playing += headlessAudioPlaying(h);
  EXPECT_EQ(playing, 2);
  for (int i = 0; i < 10; i++) closeSoundChannel(path.c_str(), i);
  EXPECT_EQ(countStarting("close "), 10);
}

TEST_F(SoundTest, UnknownTypeOrExtensionOpensNothing) {
  std::string path = tempDir() + "/fuse.ogg";
  writeFile(path, waveBytes(800));
  openSoundChannel(path.c_str(), 0);  // empty device type
  mciSendString(("open " + path + " type cdaudio alias x").c_str());
  EXPECT_TRUE(headlessAudio.log.empty());
}

TEST_F(SoundTest, BgmLoopsOnEveryEndUntilStopped) {
  std::string path = waveFile("ending.wav", 1000);
  playMusicFile(path.c_str());
  ASSERT_FALSE(headlessAudio.log.empty());
  int h = std::atoi(headlessAudio.log[0].c_str() + 5);
  ASSERT_GT(h, 0);
  EXPECT_TRUE(headlessAudioPlaying(h));
  for (int loop = 0; loop < 3; loop++) {
    osSleepMs(600);
    handleMusicNotices();
    EXPECT_EQ(osAudioPositionMs(h), 600u);
    osSleepMs(600);
    EXPECT_FALSE(headlessAudioPlaying(h));
    EXPECT_EQ(osAudioPositionMs(h), 1000u);
    handleMusicNotices();  // the end notice starts it again from 0
    EXPECT_TRUE(headlessAudioPlaying(h)) << "loop " << loop;
    EXPECT_EQ(osAudioPositionMs(h), 0u);
  }
  stopMusicFile("bgm");
  EXPECT_EQ(countLog(handleLine("close", h)), 1);
  headlessAudio.log.clear();
  osSleepMs(5000);
  handleMusicNotices();
  EXPECT_TRUE(headlessAudio.log.empty());
  // The alias is free again.
  playMusicFile(path.c_str());
  EXPECT_EQ(headlessAudio.log.size(), 3u);  // open, seek, play
}

TEST_F(SoundTest, StoppedBgmDoesNotRestartEvenAfterItsEnd) {
  playMusicFile(waveFile("ending.wav", 1000).c_str());
  int h = std::atoi(headlessAudio.log[0].c_str() + 5);
  osSleepMs(1500);
  mciSendString("stop bgm");
  handleMusicNotices();
  EXPECT_FALSE(headlessAudioPlaying(h));
  // A play without notify does not loop either.
  playAliasFromStart("bgm");
  EXPECT_TRUE(headlessAudioPlaying(h));
  osSleepMs(1500);
  handleMusicNotices();
  EXPECT_FALSE(headlessAudioPlaying(h));
}

TEST_F(SoundTest, CommandStringsNeverFailLoudly) {
  const char* commands[] = {"",
                            "   ",
                            "stop cdaudio",
                            "close all",
                            "play",
                            "open",
                            "open x alias",
                            "open x type",
                            "play nothing from 0 notify",
                            "play bgm from",
                            "frobnicate bgm",
                            "close nothing"};
  for (const char* c : commands) mciSendString(c);
  mciSendString(nullptr);
  EXPECT_TRUE(headlessAudio.log.size() <= 1u);  // at most the failed open of "x"
  std::string path = waveFile("dup.wav", 1000);
  mciSendString(("open " + path + " alias dup").c_str());
  mciSendString(("open " + path + " alias DUP").c_str());  // aliases ignore case
  EXPECT_EQ(countStarting("open "), 1);
  // "close all" frees every alias for a new open.
  mciSendString("close all");
  headlessAudio.log.clear();
  mciSendString(("open " + path + " alias dup").c_str());
  ASSERT_EQ(headlessAudio.log.size(), 1u);
  EXPECT_EQ(headlessAudio.log[0].rfind("open ", 0), 0u);
}

TEST(HeadlessAudioFiles, WaveLengthComesFromItsHeader) {
  EXPECT_EQ(headlessAudioFileLengthMs(waveFile("len.wav", 1234).c_str()), 1234u);
  // A data size beyond the end of the file counts what is there.
  std::string cut = tempDir() + "/cut.wav";
  writeFile(cut, waveBytes(500, 0x7FFFFFF0));
  EXPECT_EQ(headlessAudioFileLengthMs(cut.c_str()), 500u);
}

TEST(HeadlessAudioFiles, Mp3LengthCountsFramesAfterTheTag) {
  std::vector<uint8_t> b = {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 20};
  b.resize(30, 0);
  appendMp3Frames(b, 100);
  std::string path = tempDir() + "/frames.mp3";
  writeFile(path, b);
  EXPECT_EQ(headlessAudioFileLengthMs(path.c_str()), 100u * 1152 * 1000 / 44100);

  // An Info frame with the encoder's delay 576 and padding 1000.
  std::vector<uint8_t> g;
  appendMp3Frames(g, 101);
  const char* tag = "Info";
  std::memcpy(&g[36], tag, 4);
  g[43] = 0x01;  // frame count present
  size_t lame = 36 + 8 + 4;
  std::memcpy(&g[lame], "LAME3.100", 9);
  g[lame + 21] = 576 >> 4;
  g[lame + 22] = (uint8_t)((576 & 15) << 4 | 1000 >> 8);
  g[lame + 23] = 1000 & 255;
  writeFile(path, g);
  EXPECT_EQ(headlessAudioFileLengthMs(path.c_str()), (100u * 1152 - 1576) * 1000 / 44100);
}

TEST(HeadlessAudioFiles, DamagedFilesHaveNoLengthAndDoNotOpen) {
  std::vector<std::vector<uint8_t>> bad = {
      {},
      {'R', 'I', 'F', 'F'},
      {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'},
      {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 0},
      {0xFF, 0xFB, 0x90},
      {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
  };
  std::vector<uint8_t> noFormat = waveBytes(100);
  std::memcpy(&noFormat[12], "junk", 4);  // samples without a format
  bad.push_back(noFormat);
  std::vector<uint8_t> zeroRate = waveBytes(100);
  zeroRate[24] = zeroRate[25] = 0;
  bad.push_back(zeroRate);
  std::vector<uint8_t> hugeChunk = waveBytes(100);
  hugeChunk[16] = hugeChunk[17] = hugeChunk[18] = hugeChunk[19] = 0xFF;
  bad.push_back(hugeChunk);
  std::vector<uint8_t> noise(5000);
  uint32_t seed = 12345;
  for (uint8_t& v : noise) v = (uint8_t)((seed = seed * 1103515245 + 12345) >> 16);
  bad.push_back(noise);
  std::vector<uint8_t> cutFrame;
  appendMp3Frames(cutFrame, 1);
  cutFrame.resize(200);
  bad.push_back(cutFrame);

  std::string path = tempDir() + "/bad.bin";
  for (size_t i = 0; i < bad.size(); i++) {
    writeFile(path, bad[i]);
    EXPECT_EQ(headlessAudioFileLengthMs(path.c_str()), 0u) << "case " << i;
    EXPECT_EQ(osAudioOpen(path.c_str()), 0) << "case " << i;
  }
  EXPECT_EQ(osAudioOpen((tempDir() + "/nothing-here.wav").c_str()), 0);
  EXPECT_EQ(headlessAudioFileLengthMs(nullptr), 0u);
}

TEST(HeadlessAudioFiles, CommandsOnUnknownHandlesDoNothing) {
  headlessAudioReset();
  for (int h : {-1, 0, 99999}) {
    osAudioPlay(h);
    osAudioPause(h);
    osAudioStop(h);
    osAudioSeek(h, 10);
    osAudioSetVolume(h, 10);
    osAudioClose(h);
    EXPECT_EQ(osAudioLengthMs(h), 0u);
    EXPECT_EQ(osAudioPositionMs(h), 0u);
    EXPECT_EQ(osAudioTakeEndNotice(h), 0);
  }
  EXPECT_TRUE(headlessAudio.log.empty());
}

}  // namespace
