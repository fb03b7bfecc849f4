#include "platform/demo_file.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "platform/key_names.h"

namespace {

const char DEMO_MAGIC[] = "PUXTEN-DEMO";
constexpr size_t MAX_SAVE_BYTES = 1 << 20;
constexpr size_t MAX_PICTURES = 50000000;

bool parseHex(const std::string& hex, std::string* bytes) {
  if (hex.size() % 2 || hex.size() / 2 > MAX_SAVE_BYTES) return false;
  bytes->clear();
  for (size_t i = 0; i < hex.size(); i += 2) {
    char pair[3] = {hex[i], hex[i + 1], 0};
    char* end = nullptr;
    long v = std::strtol(pair, &end, 16);
    if (*end || !std::isxdigit((unsigned char)pair[0])) return false;
    bytes->push_back((char)v);
  }
  return true;
}

bool parseNumber(const std::string& word, long lo, long hi, long* out) {
  if (word.empty()) return false;
  char* end = nullptr;
  long v = std::strtol(word.c_str(), &end, 10);
  if (*end || v < lo || v > hi) return false;
  *out = v;
  return true;
}

bool parsePicture(std::istringstream& words, const std::string& first, DemoPicture* p) {
  long now = 0;
  std::string keys, check, extra;
  if (!parseNumber(first, INT32_MIN, INT32_MAX, &now) || !(words >> keys) ||
      !parseKeyMask(keys, &p->keys))
    return false;
  p->nowMs = (int32_t)now;
  if (words >> check) {
    char* end = nullptr;
    if (check.size() != 10 || check.compare(0, 2, "c=") != 0) return false;
    p->check = (uint32_t)std::strtoul(check.c_str() + 2, &end, 16);
    if (*end) return false;
    p->hasCheck = 1;
  }
  return !(words >> extra);
}

bool parseHeaderLine(const std::string& key, std::istringstream& words, Demo* demo) {
  std::string a, b, extra;
  words >> a;
  bool hasB = (bool)(words >> b);
  if (words >> extra) return false;
  if (key == "game") return !hasB && !(demo->gameVersion = a).empty();
  if (key == "answer") {
    if (hasB || (a != "yes" && a != "no")) return false;
    demo->answerYes = a == "yes";
    return true;
  }
  if (key == "start") {
    long n = 0;
    if (a == "title" && !hasB) return (demo->startStage = -1), true;
    if (a != "stage" || !parseNumber(b, 0, 99999, &n)) return false;
    demo->startStage = (int)n;
    return true;
  }
  if (key == "save") {
    DemoSaveFile f;
    f.name = a;
    if (!isPlainFileName(a) || (hasB && !parseHex(b, &f.bytes))) return false;
    demo->saves.push_back(f);
    return demo->saves.size() <= 16;
  }
  return false;
}

}  // namespace

bool isPlainFileName(const std::string& name) {
  if (name.empty() || name.size() > 64 || name[0] == '.') return false;
  for (char c : name)
    if (!std::isalnum((unsigned char)c) && c != '.' && c != '_' && c != '-') return false;
  return true;
}

bool looksLikeDemo(const std::string& text) { return text.rfind(DEMO_MAGIC, 0) == 0; }

int forEachWordLine(const std::string& text,
                    const std::function<bool(int lineNo, const std::string& first,
                                             std::istringstream& words)>& line) {
  std::istringstream in(text);
  std::string content;
  int lineNo = 0;
  while (std::getline(in, content)) {
    lineNo++;
    size_t hash = content.find('#');
    if (hash != std::string::npos) content.erase(hash);
    std::istringstream words(content);
    std::string first;
    if (!(words >> first)) continue;
    if (!line(lineNo, first, words)) return -1;
  }
  return lineNo;
}

bool parseDemo(const std::string& text, Demo* demo, std::string* error) {
  *demo = Demo{};
  int lines =
      forEachWordLine(text, [&](int lineNo, const std::string& first, std::istringstream& words) {
        bool ok;
        if (lineNo == 1) {
          std::string format;
          ok = first == DEMO_MAGIC && (words >> format) && format == std::to_string(DEMO_FORMAT);
          if (!ok) *error = "line 1: not a demo of format " + std::to_string(DEMO_FORMAT);
          return ok;
        }
        if (std::isdigit((unsigned char)first[0]) || first[0] == '-') {
          DemoPicture p;
          ok = demo->pictures.size() < MAX_PICTURES && parsePicture(words, first, &p);
          if (ok) demo->pictures.push_back(p);
        } else {
          ok = demo->pictures.empty() && parseHeaderLine(first, words, demo);
        }
        if (!ok) {
          *error = "line " + std::to_string(lineNo) +
                   ": expected a header line (game, start, answer, save) before the pictures, "
                   "or 'NOWMS KEYS [c=CHECK]'";
        }
        return ok;
      });
  if (lines == 0) *error = "empty demo";
  return lines > 0;
}

std::string demoHeaderText(const Demo& demo) {
  std::string out = std::string(DEMO_MAGIC) + " " + std::to_string(DEMO_FORMAT) + "\n";
  out += "game " + demo.gameVersion + "\n";
  out += demo.startStage < 0 ? "start title\n"
                             : "start stage " + std::to_string(demo.startStage) + "\n";
  out += demo.answerYes ? "answer yes\n" : "answer no\n";
  for (const DemoSaveFile& f : demo.saves) {
    out += "save " + f.name;
    if (!f.bytes.empty()) out += ' ';
    for (unsigned char c : f.bytes) {
      char hex[3];
      std::snprintf(hex, sizeof hex, "%02x", c);
      out += hex;
    }
    out += '\n';
  }
  return out;
}

std::string demoPictureText(const DemoPicture& p) {
  std::string out = std::to_string(p.nowMs) + " " + keyMaskName(p.keys);
  if (p.hasCheck) {
    char check[16];
    std::snprintf(check, sizeof check, " c=%08x", p.check);
    out += check;
  }
  return out + "\n";
}
