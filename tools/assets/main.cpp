// puxten-assets --out DIR --lame PATH [--only pictures|sounds]
// puxten-assets --icons DIR
#include <cstdio>
#include <cstring>
#include <string>

#include "assets.h"

int main(int argc, char** argv) {
  std::string out = "data", lame = "lame", only, icons;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--out"))
      out = argv[i + 1];
    else if (!std::strcmp(argv[i], "--lame"))
      lame = argv[i + 1];
    else if (!std::strcmp(argv[i], "--only"))
      only = argv[i + 1];
    else if (!std::strcmp(argv[i], "--icons"))
      icons = argv[i + 1];
  }
  if (!icons.empty()) {
    if (generateIcons(icons)) return 0;
    std::fprintf(stderr, "puxten-assets: drawing the icons failed\n");
    return 1;
  }
  if (only != "sounds" && !generatePictures(out)) {
    std::fprintf(stderr, "puxten-assets: drawing the pictures failed\n");
    return 1;
  }
  if (only != "pictures" && !generateSounds(out, lame)) {
    std::fprintf(stderr, "puxten-assets: making the sounds failed\n");
    return 1;
  }
  return 0;
}
