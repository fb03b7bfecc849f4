// Surfaces and every copy between them, done in software on 0x00RRGGBB
// pixels. Callers pass logical coordinates; in scale mode 1 each operation
// doubles them itself.
//
// Clipping: nothing outside a surface is ever read or written. A pixel whose
// destination lies outside dst is skipped; a pixel whose source lies outside
// src leaves the destination as it was.
#include "platform/sprite.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/display.h"
#include "platform/hooks.h"
#include "platform/os.h"
#include "platform/trig.h"

namespace {

// Work buffers shared by the blits. They only grow, so a frame's blits do
// not allocate once the largest size has been seen.
struct BlitWork {
  std::vector<uint32_t> pixels;  // copy of the source when src == dst
  std::vector<int> cols;         // source column per destination column, -1: none
  std::vector<int> rows;         // source row per destination row, -1: none
  std::vector<uint32_t> row;     // one row of stretched source pixels
};
BlitWork work;

uint32_t* growTo(std::vector<uint32_t>& v, size_t n) {
  if (v.size() < n) v.resize(n);
  return v.data();
}
int* growTo(std::vector<int>& v, size_t n) {
  if (v.size() < n) v.resize(n);
  return v.data();
}

Sprite newSurface(int w, int h) {
  Sprite s = new SpriteSurface{};
  s->width = std::max(0, w);
  s->height = std::max(0, h);
  s->pixels.assign((size_t)s->width * s->height, COLOR_WHITE);
  return s;
}

// How far apart a picture's rows are kept (0: one row stands for all).
size_t rowStride(const SpriteSurface& s) { return s.sameRows ? 0 : (size_t)s.width; }

// A device coordinate of a surface's picture as a column or row of its
// stored pixels (they differ only on windowed surfaces).
int stored(int64_t v, int origin) {
  return (int)std::clamp<int64_t>(v - origin, INT32_MIN, INT32_MAX);
}
void toStored(Sprite s, int* x, int* y) {
  if (!s) return;
  *x = stored(*x, s->originX);
  *y = stored(*y, s->originY);
}

// The writable stored columns [x0, x1) and rows [y0, y1) of a surface.
struct Bounds {
  int x0, y0, x1, y1;
};
Bounds writable(Sprite s) {
  if (s->sameRows) return {0, 0, 0, 0};  // never drawn on
  return {std::max(stored(s->clipX0, s->originX), 0), std::max(stored(s->clipY0, s->originY), 0),
          std::min(stored(s->clipX1, s->originX), s->width),
          std::min(stored(s->clipY1, s->originY), s->height)};
}

// Fills the device rectangle (x, y, w, h), clipped.
void fillDevice(Sprite dc, int x, int y, int w, int h, uint32_t pixel) {
  if (!dc || w <= 0 || h <= 0) return;
  toStored(dc, &x, &y);
  Bounds b = writable(dc);
  int64_t x0 = std::max<int64_t>(x, b.x0), y0 = std::max<int64_t>(y, b.y0);
  int64_t x1 = std::min<int64_t>((int64_t)x + w, b.x1);
  int64_t y1 = std::min<int64_t>((int64_t)y + h, b.y1);
  if (x0 >= x1 || y0 >= y1) return;
  // The first row pixel by pixel, the others copied from it: a copy moves
  // a row several times faster than a fill loop writes it.
  uint32_t* first = dc->pixels.data() + y0 * dc->width;
  std::fill(first + x0, first + x1, pixel);
  for (int64_t row = y0 + 1; row < y1; row++)
    std::memcpy(first + (row - y0) * dc->width + x0, first + x0, (size_t)(x1 - x0) * sizeof(pixel));
}

// Maps destination columns (or rows) i = 0 .. n-1 to source positions
// s + (i * sn) / n (nearest, no filtering). Only the i whose destination lies
// inside the surface are mapped: map[k] is for i = base + k, -1 where the
// source falls outside its surface. Returns false when no i is usable.
bool mapAxis(std::vector<int>& buffer, int d, int n, int s, int sn, int dstLow, int dstLimit,
             int srcLimit, const int** map, int* base, int* first, int* last) {
  int64_t lo = std::max<int64_t>(0, (int64_t)dstLow - d);
  int64_t hi = std::min<int64_t>(n, (int64_t)dstLimit - d);
  if (lo >= hi) return false;
  int* m = growTo(buffer, (size_t)(hi - lo));
  int64_t used0 = hi, used1 = lo;
  for (int64_t i = lo; i < hi; i++) {
    int64_t sp = (int64_t)s + (i * sn) / n;
    bool inside = sp >= 0 && sp < srcLimit;
    m[i - lo] = inside ? (int)sp : -1;
    if (inside) {
      used0 = std::min(used0, i);
      used1 = i + 1;
    }
  }
  if (used0 >= used1) return false;
  *map = m;
  *base = (int)lo;
  *first = (int)used0;
  *last = (int)used1;
  return true;
}

// Sets up the stretched copy of src's (sx, sy, sw, sh) onto dst's
// (x, y, w, h): the column and row maps and, when both are the same surface,
// a private copy of the source so that writes cannot feed later reads.
// Returns false when nothing can be drawn.
struct StretchPlan {
  const int* cols;  // cols[i - colBase]: source column of destination column i
  const int* rows;  // rows[j - rowBase]: source row of destination row j
  int colBase, rowBase;
  int i0, i1, j0, j1;         // usable destination columns and rows (relative to x, y)
  const uint32_t* srcPixels;  // pixel (c, r) at (r - srcRow0) * srcStride + c - srcCol0
  int srcStride, srcCol0, srcRow0;
  bool sameWidth;  // no stretch across: source columns run one by one
  int x, y;        // the destination corner among dst's stored pixels
};

bool planStretch(Sprite dst, int x, int y, int w, int h, Sprite src, int sx, int sy, int sw, int sh,
                 StretchPlan* plan) {
  if (!dst || !src || w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return false;
  toStored(dst, &x, &y);
  toStored(src, &sx, &sy);
  plan->x = x;
  plan->y = y;
  Bounds b = writable(dst);
  if (!mapAxis(work.cols, x, w, sx, sw, b.x0, b.x1, src->width, &plan->cols, &plan->colBase,
               &plan->i0, &plan->i1))
    return false;
  if (!mapAxis(work.rows, y, h, sy, sh, b.y0, b.y1, src->height, &plan->rows, &plan->rowBase,
               &plan->j0, &plan->j1))
    return false;
  plan->srcPixels = src->pixels.data();
  plan->srcStride = (int)rowStride(*src);
  plan->srcCol0 = 0;
  plan->srcRow0 = 0;
  plan->sameWidth = sw == w;
  if (src == dst) {
    // Copy the source rows and columns the maps can reach (the maps are
    // monotonic, so the first and last usable entries bound them).
    int c0 = plan->cols[plan->i0 - plan->colBase], c1 = plan->cols[plan->i1 - 1 - plan->colBase];
    int r0 = plan->rows[plan->j0 - plan->rowBase], r1 = plan->rows[plan->j1 - 1 - plan->rowBase];
    int cw = c1 - c0 + 1, rh = r1 - r0 + 1;
    uint32_t* copy = growTo(work.pixels, (size_t)cw * rh);
    for (int r = 0; r < rh; r++) {
      std::memcpy(copy + (size_t)r * cw,
                  src->pixels.data() + (size_t)(r0 + r) * rowStride(*src) + c0,
                  (size_t)cw * sizeof(uint32_t));
    }
    plan->srcPixels = copy;
    plan->srcStride = cw;
    plan->srcCol0 = c0;
    plan->srcRow0 = r0;
  }
  return true;
}

// Runs rowOp(destination, source, n) over every usable row of a plan, with
// the row's source pixels laid out side by side (gathered through the column
// map unless it is the identity). Within i0 .. i1 and j0 .. j1 every map
// entry is usable: the maps are monotonic, so the usable part is one run.
template <typename RowOp>
void forEachRow(Sprite dst, const StretchPlan& p, RowOp rowOp) {
  int n = p.i1 - p.i0;
  const int* cols = p.cols + (p.i0 - p.colBase);
  uint32_t* gathered = p.sameWidth ? nullptr : growTo(work.row, (size_t)n);
  for (int j = p.j0; j < p.j1; j++) {
    int sr = p.rows[j - p.rowBase];
    const uint32_t* srow = p.srcPixels + (size_t)(sr - p.srcRow0) * p.srcStride;
    const uint32_t* from = srow + (cols[0] - p.srcCol0);
    if (!p.sameWidth) {
      for (int k = 0; k < n; k++) gathered[k] = srow[cols[k] - p.srcCol0];
      from = gathered;
    }
    rowOp(dst->pixels.data() + (size_t)(p.y + j) * dst->width + (p.x + p.i0), from, n);
  }
}

// The keyed blend of one row: per channel trunc(b * a + d * (1 - a)) with
// single-precision weights, products and sum; key pixels keep d. Four pixels
// at a time with the same single-precision operations, then the rest.
void blendRow(uint32_t* d, const uint32_t* s, int n, uint32_t keyPixel, float a, float ia) {
  int i = 0;
#if defined(__GNUC__)
  typedef uint32_t U4 __attribute__((vector_size(16)));
  typedef int32_t I4 __attribute__((vector_size(16)));
  typedef float F4 __attribute__((vector_size(16)));
  const F4 va = {a, a, a, a}, via = {ia, ia, ia, ia};
  const U4 key = {keyPixel, keyPixel, keyPixel, keyPixel};
  for (; i + 4 <= n; i += 4) {
    U4 sv, dv;
    std::memcpy(&sv, s + i, sizeof sv);
    std::memcpy(&dv, d + i, sizeof dv);
    U4 out = {0, 0, 0, 0};
    for (int shift = 0; shift < 24; shift += 8) {
      F4 b = __builtin_convertvector((I4)((sv >> shift) & 0xFF), F4);
      F4 dd = __builtin_convertvector((I4)((dv >> shift) & 0xFF), F4);
      F4 mix = b * va + dd * via;
      out |= ((U4) __builtin_convertvector(mix, I4) & 0xFF) << shift;
    }
    U4 isKey = (U4)((sv & 0xFFFFFF) == key);
    U4 result = (dv & isKey) | (out & ~isKey);
    std::memcpy(d + i, &result, sizeof result);
  }
#endif
  for (; i < n; i++) {
    uint32_t v = s[i];
    if ((v & 0xFFFFFF) == keyPixel) continue;
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
      float b = (float)((v >> shift) & 0xFF), dd = (float)((d[i] >> shift) & 0xFF);
      float mix = b * a + dd * ia;
      out |= ((uint32_t)(int)mix & 0xFF) << shift;
    }
    d[i] = out;
  }
}

// Copies the pixels of one row that are not the key, four at a time with
// a mask instead of a branch per pixel.
inline void keyedRow(uint32_t* d, const uint32_t* s, int n, uint32_t key) {
  int i = 0;
#if defined(__GNUC__)
  typedef uint32_t U4 __attribute__((vector_size(16)));
  const U4 k = {key, key, key, key};
  for (; i + 4 <= n; i += 4) {
    U4 sv, dv;
    std::memcpy(&sv, s + i, sizeof sv);
    std::memcpy(&dv, d + i, sizeof dv);
    U4 isKey = (U4)((sv & 0xFFFFFF) == k);
    U4 out = (dv & isKey) | (sv & ~isKey);
    std::memcpy(d + i, &out, sizeof out);
  }
#endif
  for (; i < n; i++) {
    uint32_t v = s[i];
    d[i] = (v & 0xFFFFFF) != key ? v : d[i];
  }
}

constexpr int SHORT_RUN = 16;

// Copies n pixels, PIECE <= n <= 2 * PIECE, in two moves of PIECE pixels,
// the second overlapping the first: no loop and no call.
template <int PIECE>
inline void copyTwoPieces(uint32_t* d, const uint32_t* s, int n) {
  uint32_t head[PIECE], tail[PIECE];
  std::memcpy(head, s, sizeof head);
  std::memcpy(tail, s + n - PIECE, sizeof tail);
  std::memcpy(d, head, sizeof head);
  std::memcpy(d + n - PIECE, tail, sizeof tail);
}

// Copies a run of 1 to SHORT_RUN pixels the way memcpy copies short
// lengths, without the call, which costs more than such a run.
inline void copyShortRun(uint32_t* d, const uint32_t* s, int n) {
  static_assert(SHORT_RUN <= 16);
  if (n >= 8) {
    copyTwoPieces<8>(d, s, n);
  } else if (n >= 4) {
    copyTwoPieces<4>(d, s, n);
  } else if (n >= 2) {
    copyTwoPieces<2>(d, s, n);
  } else {
    d[0] = s[0];
  }
}

// The keyed copy through a picture's runs: only the parts of the runs of
// source row sr that fall in columns [sx, sx + n) are copied.
void keyedRowByRuns(uint32_t* d, const KeyRuns& runs, const uint32_t* srow, int sr, int sx, int n) {
  const int32_t* b = runs.begin.data();
  const int32_t* e = runs.end.data();
  int first = runs.rowFirst[sr], last = runs.rowFirst[sr + 1];
  // The first run that ends after sx.
  int k = (int)(std::upper_bound(e + first, e + last, sx) - e);
  for (; k < last && b[k] < sx + n; k++) {
    int from = std::max(b[k], sx), to = std::min(e[k], sx + n);
    if (to - from <= SHORT_RUN) {
      copyShortRun(d + (from - sx), srow + from, to - from);
    } else {
      std::memcpy(d + (from - sx), srow + from, (size_t)(to - from) * sizeof(uint32_t));
    }
  }
}

// Adds the runs of one more row of n pixels.
void addRowRuns(KeyRuns& runs, const uint32_t* row, int n) {
  for (int c = 0; c < n;) {
    while (c < n && (row[c] & 0xFFFFFF) == runs.key) c++;
    if (c == n) break;
    int start = c;
    while (c < n && (row[c] & 0xFFFFFF) != runs.key) c++;
    runs.begin.push_back(start);
    runs.end.push_back(c);
  }
  runs.rowFirst.push_back((int32_t)runs.begin.size());
}

KeyRuns findKeyRuns(const SpriteSurface& s, uint32_t keyPixel) {
  KeyRuns runs;
  runs.key = keyPixel;
  runs.rowFirst.push_back(0);
  for (int r = 0; r < s.height; r++)
    addRowRuns(runs, s.pixels.data() + (size_t)r * rowStride(s), s.width);
  return runs;
}

// Shrinks cell (i, j) of a picture onto the end of its drawn cells' sheet.
int shrinkCell(Sprite s, DrawnCells& c, int i, int j) {
  SpriteSurface& sheet = *c.sheet;
  const int slot = sheet.height / c.drawnH;
  sheet.pixels.resize((size_t)c.drawnW * (sheet.height + c.drawnH));
  // Pixel (x, y) of a drawn cell is the source pixel a stretched copy picks.
  for (int y = 0; y < c.drawnH; y++) {
    const uint32_t* srow =
        s->pixels.data() + (size_t)(j * c.cellH + y * c.cellH / c.drawnH) * rowStride(*s);
    uint32_t* drow = sheet.pixels.data() + (size_t)(sheet.height + y) * c.drawnW;
    for (int x = 0; x < c.drawnW; x++) drow[x] = srow[i * c.cellW + x * c.cellW / c.drawnW];
    addRowRuns(*c.runs, drow, c.drawnW);
  }
  sheet.height += c.drawnH;
  c.slot[(size_t)j * c.across + i] = slot;
  return slot;
}

// Unstretched copies: the usable rectangle is one interval per axis, so the
// inner loop runs without maps.
struct CopyPlan {
  int dx, dy, sx, sy, w, h;
  const uint32_t* srcPixels;
  int srcStride;
};

bool planCopy(Sprite dst, int x, int y, int w, int h, Sprite src, int sx, int sy, CopyPlan* p) {
  if (!dst || !src || w <= 0 || h <= 0) return false;
  toStored(dst, &x, &y);
  toStored(src, &sx, &sy);
  Bounds b = writable(dst);
  int64_t i0 = std::max<int64_t>({0, (int64_t)b.x0 - x, -(int64_t)sx});
  int64_t i1 = std::min<int64_t>({(int64_t)w, (int64_t)b.x1 - x, (int64_t)src->width - sx});
  int64_t j0 = std::max<int64_t>({0, (int64_t)b.y0 - y, -(int64_t)sy});
  int64_t j1 = std::min<int64_t>({(int64_t)h, (int64_t)b.y1 - y, (int64_t)src->height - sy});
  if (i0 >= i1 || j0 >= j1) return false;
  p->dx = (int)(x + i0);
  p->dy = (int)(y + j0);
  p->sx = (int)(sx + i0);
  p->sy = (int)(sy + j0);
  p->w = (int)(i1 - i0);
  p->h = (int)(j1 - j0);
  p->srcPixels = src->pixels.data();
  p->srcStride = (int)rowStride(*src);
  if (src == dst) {
    uint32_t* copy = growTo(work.pixels, (size_t)p->w * p->h);
    for (int r = 0; r < p->h; r++) {
      std::memcpy(copy + (size_t)r * p->w,
                  src->pixels.data() + (size_t)(p->sy + r) * rowStride(*src) + p->sx,
                  (size_t)p->w * sizeof(uint32_t));
    }
    p->srcPixels = copy;
    p->srcStride = p->w;
    p->sx = 0;
    p->sy = 0;
  }
  return true;
}

// Saturating byte-wise sum of two pixels (all four bytes).
inline uint32_t addSaturate(uint32_t a, uint32_t b) {
  uint32_t m = ((a & b) + (((a ^ b) >> 1) & 0x7F7F7F7Fu)) & 0x80808080u;
  uint32_t m2 = (m << 1) - (m >> 7);
  return (a + b - m2) | m2;
}

// The device corner of a turned rectangle: (p - c) turned by deg, truncated
// toward zero, plus c.
void turnPoint(int px, int py, int cx, int cy, int deg, int* outX, int* outY) {
  double dx = px - cx, dy = py - cy;
  double xr = dx * trig.cosTable[deg] - dy * trig.sinTable[deg];
  double yr = dx * trig.sinTable[deg] + dy * trig.cosTable[deg];
  *outX = (int)xr + cx;
  *outY = (int)yr + cy;
}

// Affine copy of src's (sx, sy, sw, sh) onto the parallelogram whose images
// of the source's top-left, top-right and bottom-left corners are p0, p1,
// p2. Each destination pixel inside takes the source pixel under its centre.
void parallelogramCopy(Sprite dst, Sprite src, int sx, int sy, int sw, int sh, int p0x, int p0y,
                       int p1x, int p1y, int p2x, int p2y, bool keyed, uint32_t keyPixel) {
  if (!dst || !src || sw <= 0 || sh <= 0) return;
  toStored(dst, &p0x, &p0y);
  toStored(dst, &p1x, &p1y);
  toStored(dst, &p2x, &p2y);
  toStored(src, &sx, &sy);
  double e1x = p1x - p0x, e1y = p1y - p0y, e2x = p2x - p0x, e2y = p2y - p0y;
  double det = e1x * e2y - e1y * e2x;
  if (det == 0) return;
  int p3x = p1x + p2x - p0x, p3y = p1y + p2y - p0y;
  Bounds b = writable(dst);
  int minX = std::max({std::min({p0x, p1x, p2x, p3x}), b.x0});
  int maxX = std::min({std::max({p0x, p1x, p2x, p3x}), b.x1});
  int minY = std::max({std::min({p0y, p1y, p2y, p3y}), b.y0});
  int maxY = std::min({std::max({p0y, p1y, p2y, p3y}), b.y1});
  if (minX >= maxX || minY >= maxY) return;

  // Only the part of the source rectangle inside the picture can be read.
  int cx0 = std::max(sx, 0), cy0 = std::max(sy, 0);
  int cx1 = (int)std::min<int64_t>((int64_t)sx + sw, src->width);
  int cy1 = (int)std::min<int64_t>((int64_t)sy + sh, src->height);
  if (cx0 >= cx1 || cy0 >= cy1) return;
  // Read from a private copy when drawing onto the source itself.
  const uint32_t* spix = src->pixels.data();
  int stride = (int)rowStride(*src), col0 = 0, row0 = 0;
  if (src == dst) {
    int cw = cx1 - cx0, ch = cy1 - cy0;
    uint32_t* copy = growTo(work.pixels, (size_t)cw * ch);
    for (int r = 0; r < ch; r++) {
      std::memcpy(copy + (size_t)r * cw,
                  src->pixels.data() + (size_t)(cy0 + r) * rowStride(*src) + cx0,
                  (size_t)cw * sizeof(uint32_t));
    }
    spix = copy;
    stride = cw;
    col0 = cx0;
    row0 = cy0;
  }

  for (int Y = minY; Y < maxY; Y++) {
    double qy = Y + 0.5 - p0y;
    uint32_t* drow = dst->pixels.data() + (size_t)Y * dst->width;
    for (int X = minX; X < maxX; X++) {
      double qx = X + 0.5 - p0x;
      double s = (qx * e2y - qy * e2x) / det;
      double t = (e1x * qy - e1y * qx) / det;
      double u = s * sw, v = t * sh;
      if (!(u >= 0 && u < sw && v >= 0 && v < sh)) continue;
      int scol = sx + (int)u, srow = sy + (int)v;
      if (scol < cx0 || scol >= cx1 || srow < cy0 || srow >= cy1) continue;
      uint32_t px = spix[(size_t)(srow - row0) * stride + (scol - col0)];
      if (keyed && (px & 0xFFFFFF) == keyPixel) continue;
      drow[X] = px;
    }
  }
}

void rotatedCopy(Sprite dst, int x, int y, int w, int h, Sprite src, int sx, int sy, int sw, int sh,
                 int angle, bool keyed, uint32_t key, int cx, int cy) {
  int a = angle % 360;
  if (a < 0) a += 360;
  int p0x, p0y, p1x, p1y, p2x, p2y;
  turnPoint(x, y, cx, cy, a, &p0x, &p0y);
  turnPoint(x + w, y, cx, cy, a, &p1x, &p1y);
  turnPoint(x, y + h, cx, cy, a, &p2x, &p2y);
  parallelogramCopy(dst, src, sx, sy, sw, sh, p0x, p0y, p1x, p1y, p2x, p2y, keyed,
                    colorRefToPixel(key));
}

// A picture whose rows are all alike keeps only its first.
void keepOneRowIfAllAlike(Sprite s) {
  if (s->height < 2) return;
  const uint32_t* first = s->pixels.data();
  for (int r = 1; r < s->height; r++) {
    if (!std::equal(first, first + s->width, first + (size_t)r * s->width)) return;
  }
  s->pixels.resize((size_t)s->width);
  s->pixels.shrink_to_fit();
  s->sameRows = true;
}

// Loads the top-left keepW x keepH (0: all) of a picture at 1 / shrink of
// its size.
Sprite loadKept(const char* path, int shrink, int keepW, int keepH) {
  Sprite s = new SpriteSurface{};
  const char* error = nullptr;
  // Device pixel (c, r) is the one a copy at the drawn size picks from the
  // picture kept at f times its size: (c * shrink / f, r * shrink / f).
  if (!readBitmapFileKept(path, std::max(shrink, 1), scaleFactor(), keepW, keepH, s, &error)) {
    delete s;
    char text[1200];
    std::snprintf(text, sizeof text, "Bitmapロードエラー:%s", path ? path : "");
    osMessageBox(text, "エラー", MB_ICONHAND);
    runFatalErrorHook();
    return nullptr;
  }
  keepOneRowIfAllAlike(s);
  return s;
}

}  // namespace

Sprite loadSpriteShrunk(const char* path, int shrink) { return loadKept(path, shrink, 0, 0); }
Sprite loadSpritePart(const char* path, int w, int h) { return loadKept(path, 1, w, h); }

Sprite loadSprite(const char* path) { return loadSpriteShrunk(path, 1); }

Sprite createBackBuffer() {
  int s = scaleFactor();
  return newSurface(display.screenWidth * s, display.screenHeight * s);
}

Sprite createBlankSprite(int w, int h) {
  int s = scaleFactor();
  return newSurface(w * s, h * s);
}

Sprite createWindowedSprite(int w, int h, int windowW, int windowH) {
  Sprite s = createBlankSprite(windowW, windowH);
  int f = scaleFactor();
  s->windowed = true;
  s->fullWidth = std::max(0, w) * f;
  s->fullHeight = std::max(0, h) * f;
  s->windowWidth = s->width;
  s->windowHeight = s->height;
  placeWindow(s, 0, 0);
  return s;
}

void placeWindow(Sprite s, int x, int y) {
  if (!s || !s->windowed) return;
  int f = scaleFactor();
  // One axis: the stored part [low, high) of the picture's [0, full).
  auto span = [f](int v, int n, int full, int* origin, int* size) {
    int64_t low = std::clamp<int64_t>((int64_t)v * f, 0, full);
    int64_t high = std::clamp<int64_t>((int64_t)v * f + n, low, full);
    *origin = (int)low;
    *size = (int)(high - low);
  };
  span(x, s->windowWidth, s->fullWidth, &s->originX, &s->width);
  span(y, s->windowHeight, s->fullHeight, &s->originY, &s->height);
}

void freeSprite(Sprite s) { delete s; }

void setClip(Sprite s, int x, int y, int w, int h) {
  if (!s) return;
  int f = scaleFactor();
  auto device = [f](int64_t v) { return (int)std::clamp<int64_t>(v * f, INT32_MIN, INT32_MAX); };
  s->clipX0 = device(x);
  s->clipY0 = device(y);
  s->clipX1 = device((int64_t)x + std::max(w, 0));
  s->clipY1 = device((int64_t)y + std::max(h, 0));
}

void prepareKeyRuns(Sprite s, uint32_t key) {
  if (s) s->keyRuns = std::make_shared<const KeyRuns>(findKeyRuns(*s, colorRefToPixel(key)));
}

void prepareDrawnCells(Sprite s, int cellW, int cellH, int drawnW, int drawnH, uint32_t key) {
  int f = scaleFactor();
  cellW *= f, cellH *= f, drawnW *= f, drawnH *= f;
  if (!s || cellW <= 0 || cellH <= 0 || drawnW <= 0 || drawnH <= 0) return;
  auto cells = std::make_shared<DrawnCells>();
  cells->cellW = cellW, cells->cellH = cellH, cells->drawnW = drawnW, cells->drawnH = drawnH;
  cells->across = s->width / cellW;
  cells->slot.assign((size_t)cells->across * (s->height / cellH), -1);
  cells->sheet = std::make_shared<SpriteSurface>();
  cells->sheet->width = drawnW;
  cells->runs = std::make_shared<KeyRuns>();
  cells->runs->key = colorRefToPixel(key);
  cells->runs->rowFirst.push_back(0);
  cells->sheet->keyRuns = cells->runs;
  s->drawnCells = cells;
}

int logicalWidth(Sprite s) {
  return s ? (s->windowed ? s->fullWidth : s->width) / scaleFactor() : 0;
}
int logicalHeight(Sprite s) {
  return s ? (s->windowed ? s->fullHeight : s->height) / scaleFactor() : 0;
}

void clearClip(Sprite s) {
  if (!s) return;
  s->clipX0 = s->clipY0 = 0;
  s->clipX1 = s->clipY1 = INT32_MAX;
}
void freeBackBuffer(Sprite s) { delete s; }

void presentFrame(Sprite dst, Sprite src) {
  if (!dst || !src) return;
  int s = scaleFactor();
  int w = display.screenWidth * s, h = display.screenHeight * s;
  CopyPlan p;
  if (planCopy(dst, 0, 0, w, h, src, 0, 0, &p)) {
    for (int r = 0; r < p.h; r++) {
      std::memcpy(dst->pixels.data() + (size_t)(p.dy + r) * dst->width + p.dx,
                  p.srcPixels + (size_t)(p.sy + r) * p.srcStride + p.sx,
                  (size_t)p.w * sizeof(uint32_t));
    }
  }
  if (dst->isWindow) osPresent(dst->pixels.data(), dst->width, dst->height);
}

void clearScreen(Sprite dc, uint32_t colour) {
  int s = scaleFactor();
  fillDevice(dc, 0, 0, display.screenWidth * s, display.screenHeight * s, colorRefToPixel(colour));
}

void plotPixel(Sprite dc, int x, int y, uint32_t colour) {
  int s = scaleFactor();
  fillDevice(dc, x * s, y * s, s, s, colorRefToPixel(colour));
}

uint32_t readPixel(Sprite dc, int x, int y) {
  int s = scaleFactor();
  if (!dc) return 0xFFFFFFFF;
  int64_t px = (int64_t)x * s - dc->originX, py = (int64_t)y * s - dc->originY;
  // A point outside the surface reads as CLR_INVALID.
  if (!dc || px < 0 || py < 0 || px >= dc->width || py >= dc->height) return 0xFFFFFFFF;
  return pixelToColorRef(dc->pixels[(size_t)py * rowStride(*dc) + px]);
}

void drawRect(Sprite dc, int x, int y, int w, int h, int filled, uint32_t colour) {
  int s = scaleFactor();
  uint32_t pixel = colorRefToPixel(colour);
  if (filled) {
    fillDevice(dc, x * s, y * s, w * s, h * s, pixel);
  } else if (w == 1 && h == 1) {
    plotPixel(dc, x, y, colour);
    return;
  } else if (w > 0 && h > 0) {
    // The outline covers the rectangle's outermost pixels (right and bottom
    // edges exclusive); in scale mode 1 a 2-pixel pen doubles it exactly.
    int X = x * s, Y = y * s, W = w * s, H = h * s;
    int pen = std::min({s, W, H});
    fillDevice(dc, X, Y, W, pen, pixel);
    fillDevice(dc, X, Y + H - pen, W, pen, pixel);
    fillDevice(dc, X, Y, pen, H, pixel);
    fillDevice(dc, X + W - pen, Y, pen, H, pixel);
  }
  flushDrawing();
}

void drawHLine(Sprite dc, int x, int y, int length, uint32_t colour) {
  for (int i = 0; i < length; i++) plotPixel(dc, x + i, y, colour);
}

void drawVLine(Sprite dc, int x, int y, int length, uint32_t colour) {
  for (int i = 0; i < length; i++) plotPixel(dc, x, y + i, colour);
}

void drawLine(Sprite dc, int x1, int y1, int x2, int y2, uint32_t colour) {
  if (x1 == x2) {
    drawVLine(dc, x1, std::min(y1, y2), std::abs(y2 - y1) + 1, colour);
    return;
  }
  if (y1 == y2) {
    drawHLine(dc, std::min(x1, x2), y1, std::abs(x2 - x1) + 1, colour);
    return;
  }
  // Bresenham: one pixel along the longer axis each step, and one across
  // whenever the error reaches the longer length.
  int dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
  int stepX = x2 > x1 ? 1 : -1, stepY = y2 > y1 ? 1 : -1;
  int e = 0, x = x1, y = y1;
  const bool steep = dx <= dy;
  int &along = steep ? y : x, &across = steep ? x : y;
  const int stepAlong = steep ? stepY : stepX, stepAcross = steep ? stepX : stepY;
  const int longer = steep ? dy : dx, shorter = steep ? dx : dy;
  for (int i = 0; i <= longer; i++) {
    plotPixel(dc, x, y, colour);
    e += shorter;
    if (e >= longer) {
      across += stepAcross;
      e -= longer;
    }
    along += stepAlong;
  }
}

void drawCircle(Sprite dc, int cx, int cy, int r, uint32_t colour) {
  for (int d = 1; d <= 360; d++) {
    int xa = (int)(cx + r * trig.cosTable[d]), ya = (int)(cy + r * trig.sinTable[d]);
    int xb = (int)(cx + r * trig.cosTable[d + 1]), yb = (int)(cy + r * trig.sinTable[d + 1]);
    drawLine(dc, xa, ya, xb, yb, colour);
  }
}

void blitOpaque(Sprite dst, int x, int y, int w, int h, Sprite src, int sx, int sy) {
  int s = scaleFactor();
  CopyPlan p;
  if (!planCopy(dst, x * s, y * s, w * s, h * s, src, sx * s, sy * s, &p)) return;
  for (int r = 0; r < p.h; r++) {
    std::memmove(dst->pixels.data() + (size_t)(p.dy + r) * dst->width + p.dx,
                 p.srcPixels + (size_t)(p.sy + r) * p.srcStride + p.sx,
                 (size_t)p.w * sizeof(uint32_t));
  }
}

void blitCopy(Sprite dst, int x, int y, int w, int h, Sprite src) {
  blitOpaque(dst, x, y, w, h, src, 0, 0);
}

namespace {

void keyedCopy(Sprite dst, int x, int y, int w, int h, Sprite src, int sx, int sy,
               uint32_t keyPixel) {
  CopyPlan p;
  if (!planCopy(dst, x, y, w, h, src, sx, sy, &p)) return;
  const KeyRuns* runs = src->keyRuns.get();
  if (runs && runs->key == keyPixel && src != dst) {
    for (int r = 0; r < p.h; r++) {
      uint32_t* d = dst->pixels.data() + (size_t)(p.dy + r) * dst->width + p.dx;
      const uint32_t* srow = src->pixels.data() + (size_t)(p.sy + r) * rowStride(*src);
      keyedRowByRuns(d, *runs, srow, p.sy + r, p.sx, p.w);
    }
    return;
  }
  for (int r = 0; r < p.h; r++) {
    uint32_t* d = dst->pixels.data() + (size_t)(p.dy + r) * dst->width + p.dx;
    const uint32_t* sp = p.srcPixels + (size_t)(p.sy + r) * p.srcStride + p.sx;
    keyedRow(d, sp, p.w, keyPixel);
  }
}

// The cell of src at device (sx, sy, sw, sh) as drawn at w x h, when the
// picture holds it ready-shrunk: its place on the shrunk sheet.
bool preparedCell(Sprite src, int sx, int sy, int sw, int sh, int w, int h, int* cx, int* cy) {
  DrawnCells* c = src->drawnCells.get();
  if (!c || sw != c->cellW || sh != c->cellH || w != c->drawnW || h != c->drawnH) return false;
  if (sx < 0 || sy < 0 || sx % sw || sy % sh || sx + sw > src->width || sy + sh > src->height)
    return false;
  const int i = sx / sw, j = sy / sh;
  int slot = c->slot[(size_t)j * c->across + i];
  if (slot < 0) slot = shrinkCell(src, *c, i, j);
  *cx = 0;
  *cy = slot * h;
  return true;
}

}  // namespace

void blitKeyed(Sprite dst, int x, int y, int w, int h, Sprite src, int sx, int sy, uint32_t key) {
  int s = scaleFactor();
  keyedCopy(dst, x * s, y * s, w * s, h * s, src, sx * s, sy * s, colorRefToPixel(key));
}

void blitKeyedStretched(Sprite dst, int x, int y, int w, int h, Sprite src, int sx, int sy, int sw,
                        int sh, uint32_t key) {
  int s = scaleFactor();
  x *= s, y *= s, w *= s, h *= s, sx *= s, sy *= s, sw *= s, sh *= s;
  int cx, cy;
  if (src && key <= 0xFFFFFF && preparedCell(src, sx, sy, sw, sh, w, h, &cx, &cy)) {
    keyedCopy(dst, x, y, w, h, src->drawnCells->sheet.get(), cx, cy, colorRefToPixel(key));
    return;
  }
  StretchPlan p;
  if (!planStretch(dst, x, y, w, h, src, sx, sy, sw, sh, &p)) return;
  uint32_t keyPixel = colorRefToPixel(key);
  forEachRow(dst, p,
             [keyPixel](uint32_t* d, const uint32_t* v, int n) { keyedRow(d, v, n, keyPixel); });
}

void blitKeyedBlended(Sprite dst, int x, int y, int w, int h, Sprite src, int sx, int sy, int sw,
                      int sh, int opacity, uint32_t key) {
  // The opacity arrives as a signed 16-bit percentage.
  int op = std::clamp<int>((int16_t)opacity, 0, 100);
  int s = scaleFactor();
  x *= s, y *= s, w *= s, h *= s, sx *= s, sy *= s, sw *= s, sh *= s;
  if (key > 0xFFFFFF && key != BLEND_CONSTANT_ALPHA && key != BLEND_ADDITIVE) return;

  if (key == BLEND_CONSTANT_ALPHA) {
    // A constant-alpha copy refuses a source rectangle that is not wholly
    // inside its picture. Channels are rounded to nearest:
    // (s * alpha + d * (255 - alpha) + 127) / 255.
    if (!src || sx < 0 || sy < 0 || sw <= 0 || sh <= 0 || (int64_t)sx + sw > src->width ||
        (int64_t)sy + sh > src->height)
      return;
    StretchPlan p;
    if (!planStretch(dst, x, y, w, h, src, sx, sy, sw, sh, &p)) return;
    uint32_t alpha = (uint32_t)(op * 255 / 100), rest = 255 - alpha;
    if (alpha == 255) {
      // (s * 255 + 127) / 255 is s: a copy of the colour channels.
      forEachRow(dst, p, [](uint32_t* d, const uint32_t* v, int n) {
        for (int i = 0; i < n; i++) d[i] = v[i] & 0xFFFFFF;
      });
      return;
    }
    forEachRow(dst, p, [alpha, rest](uint32_t* d, const uint32_t* v, int n) {
      for (int i = 0; i < n; i++) {
        uint32_t out = 0;
        for (int shift = 0; shift < 24; shift += 8) {
          uint32_t sc = (v[i] >> shift) & 0xFF, dc = (d[i] >> shift) & 0xFF;
          out |= ((sc * alpha + dc * rest + 127) / 255) << shift;
        }
        d[i] = out;
      }
    });
    return;
  }

  StretchPlan p;
  if (!planStretch(dst, x, y, w, h, src, sx, sy, sw, sh, &p)) return;
  if (key == BLEND_ADDITIVE) {
    forEachRow(dst, p, [](uint32_t* d, const uint32_t* v, int n) {
      for (int i = 0; i < n; i++) d[i] = addSaturate(d[i], v[i]);
    });
    return;
  }

  // Keyed blend: the weights are single precision, as are the products and
  // their sum; the result is truncated.
  if (op == 0) return;  // every channel would come out as the destination's own
  uint32_t keyPixel = colorRefToPixel(key);
  if (op == 100) {
    // Weights 1 and 0 give each source channel exactly: a keyed copy.
    forEachRow(dst, p, [keyPixel](uint32_t* d, const uint32_t* v, int n) {
      for (int i = 0; i < n; i++) d[i] = (v[i] & 0xFFFFFF) != keyPixel ? v[i] & 0xFFFFFF : d[i];
    });
    return;
  }
  const float a = (float)(op / 100.0);
  const float ia = (float)(1.0 - a);
  forEachRow(dst, p, [keyPixel, a, ia](uint32_t* d, const uint32_t* v, int n) {
    blendRow(d, v, n, keyPixel, a, ia);
  });
}

void blitRotated(Sprite dst, int x, int y, int w, int h, Sprite src, int sx, int sy, int sw, int sh,
                 int angle, uint32_t key) {
  int s = scaleFactor();
  x *= s, y *= s, w *= s, h *= s, sx *= s, sy *= s, sw *= s, sh *= s;
  rotatedCopy(dst, x, y, w, h, src, sx, sy, sw, sh, angle, key <= 0xFFFFFF, key, x + w / 2,
              y + h / 2);
}

void blitRotatedPivot(Sprite dst, int x, int y, int w, int h, Sprite src, int sx, int sy, int sw,
                      int sh, int angle, uint32_t key, int px, int py) {
  int s = scaleFactor();
  x *= s, y *= s, w *= s, h *= s, sx *= s, sy *= s, sw *= s, sh *= s, px *= s, py *= s;
  // Always keyed; only the key's low 24 bits take part.
  rotatedCopy(dst, x, y, w, h, src, sx, sy, sw, sh, angle, true, key & 0xFFFFFF, x + px, y + py);
}
