// The settings file: what each line does, and how bad lines are reported.
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool shortName(const char* name) { return std::strlen(name) <= 10; }

struct Parsed {
  Settings settings;
  int bad;
  std::string errors;
};

Parsed parse(const std::string& text) {
  Parsed p{defaultSettings(), 0, ""};
  char* buffer = nullptr;
  size_t size = 0;
  std::FILE* errors = open_memstream(&buffer, &size);
  NameChecks checks;
  checks.isKeyName = shortName;
  checks.isPadButtonName = shortName;
  p.bad = parseSettings(text, "settings.ini", checks, &p.settings, errors);
  std::fclose(errors);
  p.errors.assign(buffer, size);
  std::free(buffer);
  return p;
}

struct LineCase {
  const char* text;
  const char* error;  // expected on stderr, or "" when the line is good
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.text; }

class SettingsLine : public testing::TestWithParam<LineCase> {};

TEST_P(SettingsLine, IsTakenOrReportedWithItsNumber) {
  Parsed p = parse(std::string("# first line\n\n") + GetParam().text + "\n");
  EXPECT_EQ(p.bad, GetParam().error[0] ? 1 : 0);
  if (GetParam().error[0]) {
    EXPECT_NE(p.errors.find(std::string("settings.ini:3: ") + GetParam().error), std::string::npos)
        << p.errors;
    // A bad line changes nothing.
    EXPECT_EQ(formatSettings(p.settings), formatSettings(defaultSettings()));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SettingsLine,
    testing::Values(
        LineCase{"display = fullscreen  # comment", ""}, LineCase{"  window_scale=3", ""},
        LineCase{"key_jump = Space, Z", ""}, LineCase{"pad_enter =", ""},
        LineCase{"language = japanese", ""}, LineCase{"display = huge", "bad value \"huge\""},
        LineCase{"window_scale = 0", "bad value"}, LineCase{"window_scale = 9", "bad value"},
        LineCase{"music_volume = 101", "bad value"}, LineCase{"effects_volume = -5", "bad value"},
        LineCase{"pause_on_focus_loss = maybe", "bad value"},
        LineCase{"key_jump = Space, Verylongname", "unknown name \"Verylongname\""},
        LineCase{"key_jump = A, B, C, D, E", "more than 4 names"},
        LineCase{"colour = red", "unknown setting \"colour\""},
        LineCase{"just words", "expected \"key = value\""}));

TEST(Settings, ValuesAreReadIntoTheRecord) {
  Parsed p = parse(
      "display = window\nwindow_scale = 2\nmusic_volume = 40\neffects_volume = 0\n"
      "pause_on_focus_loss = no\nlanguage = english\nkey_jump = Z, Space\npad_thrown_bomb = "
      "\npad_enter = a\n");
  const Settings& s = p.settings;
  EXPECT_EQ(p.bad, 0) << p.errors;
  EXPECT_EQ(s.display, DISPLAY_WINDOW);
  EXPECT_EQ(s.windowScale, 2);
  EXPECT_EQ(s.musicVolume, 40);
  EXPECT_EQ(s.effectsVolume, 0);
  EXPECT_FALSE(s.pauseOnFocusLoss);
  EXPECT_EQ(s.language, LANGUAGE_ENGLISH);
  EXPECT_STREQ(s.keys.names[ACTION_JUMP][0], "Z");
  EXPECT_STREQ(s.keys.names[ACTION_JUMP][1], "Space");
  EXPECT_STREQ(s.padButtons.names[ACTION_THROWN_BOMB][0], "");  // unbound
  EXPECT_STREQ(s.padButtons.names[ACTION_ENTER][0], "a");
  EXPECT_STREQ(s.keys.names[ACTION_LEFT][0], "Left");  // untouched lines keep their defaults
}

TEST(Settings, TheWrittenFileReadsBackAsTheSameSettings) {
  Settings s = defaultSettings();
  s.display = DISPLAY_FULLSCREEN;
  s.windowScale = 3;
  s.musicVolume = 55;
  s.pauseOnFocusLoss = false;
  std::strcpy(s.keys.names[ACTION_ESCAPE][1], "Backspace");
  std::string text = formatSettings(s);
  Parsed p = parse(text);
  EXPECT_EQ(p.bad, 0) << p.errors;
  EXPECT_EQ(formatSettings(p.settings), text);
}

TEST(Settings, ReplacingAValueKeepsCommentsAndOtherLines) {
  std::string text = "# music_volume = 1\nmusic_volume = 20 # quiet\nkey_jump = Z\n";
  std::string out = replaceSettingValue(text, "music_volume", "70");
  EXPECT_EQ(out, "# music_volume = 1\nmusic_volume = 70\nkey_jump = Z\n");
  EXPECT_EQ(replaceSettingValue("display = ask\n", "window_scale", "2"),
            "display = ask\nwindow_scale = 2\n");
}

}  // namespace
