// The asset generator: draws every picture and synthesises every sound and
// tune of the game into a data folder.
#pragma once
#include <string>

// Writes image/*.bmp under outDir and a contact sheet (contact_sheet.png).
bool generatePictures(const std::string& outDir);
// Writes SE/*.wav and bgm/*.mp3 (rendered, then encoded with lame).
bool generateSounds(const std::string& outDir, const std::string& lame);
// Writes the application icon as icon-48.png, icon-128.png and icon-256.png
// into outDir (which must exist).
bool generateIcons(const std::string& outDir);
