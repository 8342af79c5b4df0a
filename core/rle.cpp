// vcRLEBuffer: encoding, decoding and the checked reader of untrusted runs.
#include <vc/core/rle.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <vc/core/archive.h>
#include <vc/core/exception.h>

namespace {
constexpr long kMaxRun = 255;

struct RowScan {
  long numRuns = 0;
  std::size_t consumed = 0;
};

// Where each of the height rows of valid runs at p starts, plus the end of the last.
void rowStartsOf(long height, const unsigned char* p, std::vector<std::size_t>& rowStart) {
  rowStart.clear();
  rowStart.push_back(0);
  std::size_t pos = 0;
  for (long y = 0; y < height; ++y) {
    while (p[pos + 1] != 0) pos += 2;
    pos += 2;
    rowStart.push_back(pos);
  }
}

std::string sizeText(long width, long height) { return std::to_string(width) + " x " + std::to_string(height); }

// The row of width pixels whose runs start at byte pos of the n bytes at p:
// adds its runs to numRuns and returns where the next row starts. Throws
// vcBadArgument, saying why, for a row cut off or not adding up to width.
std::size_t checkedRow(long y, long width, const unsigned char* p, std::size_t n, std::size_t pos, long& numRuns) {
  long sum = 0;
  for (;;) {
    if (n - pos < 2)
      throw vcBadArgument("vcRLEBuffer: row " + std::to_string(y) + " is cut off at byte " + std::to_string(pos) +
                          " of " + std::to_string(n) + " before its terminator");
    const long len = p[pos + 1];
    if (len == 0) break;
    if (len > width - sum)
      throw vcBadArgument("vcRLEBuffer: row " + std::to_string(y) + " has more than " + std::to_string(width) +
                          " pixels: the run at byte " + std::to_string(pos) +
                          " passes the width, or the row's terminator is missing");
    sum += len;
    ++numRuns;
    pos += 2;
  }
  if (sum != width)
    throw vcBadArgument("vcRLEBuffer: the runs of row " + std::to_string(y) + " add up to " + std::to_string(sum) +
                        " pixels, not the width " + std::to_string(width));
  return pos + 2;
}

// The same for a row at q whose bytes hold at least 2 (width + 1): returns
// the row's length in bytes, or 0 for a malformed row (which checkedRow then
// explains). Each run covers at least one pixel, so a valid row ends within
// width + 1 pairs, and a longer one has passed the width.
std::size_t quickRow(long width, const unsigned char* q, long& numRuns) {
  long sum = 0, k = 0;
  for (; k <= width; ++k) {
    const long len = q[2 * k + 1];
    if (len == 0) break;
    sum += len;
  }
  if (sum != width) return 0;
  numRuns += k;
  return 2 * static_cast<std::size_t>(k) + 2;
}

// Validates all height rows in one pass over the n bytes at p, for input
// that is well formed, writing where each row ends to rowEnd (height
// entries) when it is given: returns false at the first row that is not well
// formed (or when the bytes end first), leaving the explanation to the row by
// row scan. Every row has an even length, so runs lie at even offsets from p
// whichever row they belong to: the terminators are found without waiting
// for the end of the row before, sixteen bytes at a time where the CPU allows.
bool scanAllRows(long width, long height, const unsigned char* p, std::size_t n, std::size_t* rowEnd, RowScan& s) {
  if (height == 0) return true;
  long rows = 0;
  long total = 0;          // pixels of the runs before pos
  long rowPixels = width;  // pixels of the runs up to the end of the current row
  std::size_t pos = 0;
  // Records the row ending with the terminator at byte at (its pixels
  // checked by the caller); true when it is the image's last row.
  const auto rowEnds = [&](std::size_t at) {
    if (rowEnd) rowEnd[rows] = at + 2;
    rowPixels += width;
    if (++rows < height) return false;
    s.consumed = at + 2;
    return true;
  };
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (; n - pos >= 16; pos += 16) {
    // Each run's length in a 16-bit lane (its value byte shifted out), and
    // the pixels of the chunk's runs up to each lane.
    const __m128i lens = _mm_srli_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + pos)), 8);
    __m128i upTo = _mm_add_epi16(lens, _mm_slli_si128(lens, 2));
    upTo = _mm_add_epi16(upTo, _mm_slli_si128(upTo, 4));
    upTo = _mm_add_epi16(upTo, _mm_slli_si128(upTo, 8));
    alignas(16) std::uint16_t pixels[8];
    _mm_store_si128(reinterpret_cast<__m128i*>(pixels), upTo);
    unsigned ends = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(lens, zero))) & 0x5555u;
    for (; ends != 0; ends &= ends - 1) {
      // A terminator adds no pixels: the sum up to its lane is that of the runs before it.
      const unsigned end = static_cast<unsigned>(__builtin_ctz(ends)) / 2;
      if (total + pixels[end] != rowPixels) return false;
      if (rowEnds(pos + 2 * end)) return true;
    }
    total += pixels[7];
  }
#endif
  for (; n - pos >= 2; pos += 2) {
    const long len = p[pos + 1];
    if (len == 0) {
      if (total != rowPixels) return false;
      if (rowEnds(pos)) return true;
    }
    total += len;
  }
  return false;
}

// Validates height rows of width pixels in the n bytes at p and, when table
// is given, writes where each row starts into it (reusing its storage). Reads
// nothing past n; the row table is bounded by n, since every row takes at
// least one 2-byte terminator.
RowScan scanRows(long width, long height, const unsigned char* p, std::size_t n,
                 std::vector<std::size_t>* table) {
  if (width < 0 || height < 0) throw vcBadArgument("vcRLEBuffer: negative size " + sizeText(width, height));
  if (!p && n > 0) throw vcBadArgument("vcRLEBuffer: null run bytes with a count of " + std::to_string(n));
  const unsigned long long minRow =
      2ULL * (static_cast<unsigned long long>(width / kMaxRun) + (width % kMaxRun != 0 ? 1 : 0) + 1);
  unsigned long long least = 0;  // bytes of the shortest rows possible
  if (__builtin_mul_overflow(minRow, static_cast<unsigned long long>(height), &least) || least > n)
    throw vcBadArgument("vcRLEBuffer: " + std::to_string(n) + " bytes cannot hold " + std::to_string(height) +
                        " rows of width " + std::to_string(width) + " (each needs at least " + std::to_string(minRow) +
                        ")");
  RowScan s;
  if (table) {
    table->resize(static_cast<std::size_t>(height) + 1);
    (*table)[0] = 0;
  }
  if (scanAllRows(width, height, p, n, table ? table->data() + 1 : nullptr, s)) {
    s.numRuns = static_cast<long>(s.consumed / 2) - height;
    return s;
  }
  // Malformed: scanned again row by row, to say what is wrong.
  s = RowScan();
  if (table) table->resize(1);
  // A row whose longest valid form (a run per pixel and the terminator) lies
  // within the bytes is scanned without a bound check per run.
  const unsigned long long longestRow = 2ULL * (static_cast<unsigned long long>(width) + 1);
  std::size_t pos = 0;
  for (long y = 0; y < height; ++y) {
    std::size_t next = n - pos >= longestRow ? quickRow(width, p + pos, s.numRuns) : 0;
    next = next ? pos + next : checkedRow(y, width, p, n, pos, s.numRuns);
    pos = next;
    if (table) table->push_back(pos);
  }
  s.consumed = pos;
  return s;
}

// Writes the canonical (0, 0) terminator at the end of every row.
void clearTerminators(std::vector<unsigned char>& bytes, const std::vector<std::size_t>& rowStart) {
  for (std::size_t y = 1; y < rowStart.size(); ++y) bytes[rowStart[y] - 2] = 0;
}

// Walks the pixels of one row run by run.
class RunCursor {
public:
  explicit RunCursor(const unsigned char* p) : p_(p), left_(p[1]) {}
  unsigned char value() const { return p_[0]; }
  long left() const { return left_; }
  // Moves n pixels on (n <= left()), into the next run when this one ends.
  void advance(long n) {
    left_ -= n;
    if (left_ == 0 && p_[1] != 0) {
      p_ += 2;
      left_ = p_[1];
    }
  }

private:
  const unsigned char* p_;
  long left_;
};
}  // namespace

vcRLEBuffer::vcRLEBuffer(long width, long height, std::vector<unsigned char> runs) {
  std::vector<std::size_t> rowStart;
  const RowScan s = scanRows(width, height, runs.data(), runs.size(), &rowStart);
  if (s.consumed != runs.size())
    throw vcBadArgument("vcRLEBuffer: " + std::to_string(runs.size() - s.consumed) + " bytes follow the last of " +
                        std::to_string(height) + " rows");
  *this = make_(width, height, std::move(runs), std::move(rowStart), s.numRuns);
}

vcRLEBuffer vcRLEBuffer::make_(long width, long height, std::vector<unsigned char> bytes,
                               std::vector<std::size_t> rowStart, long numRuns) {
  clearTerminators(bytes, rowStart);
  auto rep = vfMakeHandle<Rep>();
  rep->bytes = std::move(bytes);
  rep->rowStart = std::move(rowStart);
  vcRLEBuffer r;
  r.rep_ = rep;
  r.width_ = width;
  r.height_ = height;
  r.numRuns_ = numRuns;
  return r;
}

vcRLEBuffer vcRLEBuffer::fromRows(long width, long height, const unsigned char* runs, std::size_t n,
                                  std::size_t* consumed) {
  std::vector<std::size_t> rowStart;
  const RowScan s = scanRows(width, height, runs, n, &rowStart);
  if (consumed) *consumed = s.consumed;
  std::vector<unsigned char> bytes(runs, runs + s.consumed);
  return make_(width, height, std::move(bytes), std::move(rowStart), s.numRuns);
}

void vcRLEBuffer::assignRows(long width, long height, const unsigned char* runs, std::size_t n,
                             std::size_t* consumed) {
  // Runs that start with exactly the bytes held (a stream drawing one image
  // again and again) would be read into what is held: the held rows are well
  // formed with canonical terminators, so a scan of these would stop at the
  // same terminators with the same table. Shared storage never changes, so
  // it need not be the only copy.
  if (rep_ && width == width_ && height == height_ && runs) {
    const std::vector<unsigned char>& held = rep_->bytes;
    if (n >= held.size() && std::memcmp(runs, held.data(), held.size()) == 0) {
      offset_ = vcPair<long>();
      if (consumed) *consumed = held.size();
      return;
    }
  }
  if (!rep_ || rep_->refCount() != 1) {
    *this = fromRows(width, height, runs, n, consumed);
    return;
  }
  // The scan writes its row table into the storage kept; runs it refuses
  // leave the image as it was, its table rebuilt from its own bytes.
  Rep& rep = const_cast<Rep&>(*rep_);  // no other image sees it
  const std::size_t keptRows = rep.rowStart.empty() ? 0 : rep.rowStart.size() - 1;
  const bool keptTable = !rep.rowStart.empty();
  RowScan s;
  try {
    s = scanRows(width, height, runs, n, &rep.rowStart);
  } catch (...) {
    // Refills the storage the table had, so nothing is allocated here.
    rep.rowStart.clear();
    if (keptTable) rowStartsOf(static_cast<long>(keptRows), rep.bytes.data(), rep.rowStart);
    throw;
  }
  rep.bytes.assign(runs, runs + s.consumed);
  clearTerminators(rep.bytes, rep.rowStart);
  width_ = width;
  height_ = height;
  numRuns_ = s.numRuns;
  offset_ = vcPair<long>();
  if (consumed) *consumed = s.consumed;
}

vcRLEBuffer vcRLEBuffer::encode(const vcPelBuffer_const<unsigned char>& src) {
  if (src.isNull()) return vcRLEBuffer();
  const long w = src.width(), h = src.height();
  std::vector<unsigned char> bytes;
  std::vector<std::size_t> rowStart{0};
  rowStart.reserve(static_cast<std::size_t>(h) + 1);
  long numRuns = 0;
  for (long y = 0; y < h; ++y) {
    const unsigned char* p = w > 0 ? src.pointToPel(src.offset().x(), src.offset().y() + y) : nullptr;
    for (long i = 0; i < w;) {
      const unsigned char v = p[i];
      const long end = std::min(w, i + kMaxRun);
      long j = i + 1;
      while (j < end && p[j] == v) ++j;
      bytes.push_back(v);
      bytes.push_back(static_cast<unsigned char>(j - i));
      ++numRuns;
      i = j;
    }
    bytes.push_back(0);
    bytes.push_back(0);
    rowStart.push_back(bytes.size());
  }
  vcRLEBuffer r = make_(w, h, std::move(bytes), std::move(rowStart), numRuns);
  r.offset_ = src.offset();
  return r;
}

vcPelBuffer<unsigned char> vcRLEBuffer::decode() const {
  if (isNull()) return vcPelBuffer<unsigned char>();
  vcPelBuffer<unsigned char> out(vcRectangle<long>(offset_, vcPair<long>(width_, height_)));
  if (width_ == 0) return out;
  for (long y = 0; y < height_; ++y) {
    unsigned char* dst = out.pointToPel(offset_.x(), offset_.y() + y);
    for (const unsigned char* run = pointToRow(y); run[1] != 0; run += 2) {
      std::memset(dst, run[0], run[1]);
      dst += run[1];
    }
  }
  return out;
}

void vcRLEBuffer::checkRow_(long y) const {
  if (y < 0 || y >= height_)
    throw vcBadArgument("vcRLEBuffer: row " + std::to_string(y) + " is outside the " + std::to_string(height_) +
                        " rows of the image");
}

const unsigned char* vcRLEBuffer::pointToRow(long y) const {
  checkRow_(y);
  return rep_->bytes.data() + rep_->rowStart[static_cast<std::size_t>(y)];
}

long vcRLEBuffer::rowBytes(long y) const {
  checkRow_(y);
  const auto i = static_cast<std::size_t>(y);
  return static_cast<long>(rep_->rowStart[i + 1] - rep_->rowStart[i]);
}

const std::vector<unsigned char>& vcRLEBuffer::runs() const noexcept {
  static const std::vector<unsigned char> none;
  return rep_ ? rep_->bytes : none;
}

bool vcRLEBuffer::operator==(const vcRLEBuffer& o) const {
  if (isNull() != o.isNull() || width_ != o.width_ || height_ != o.height_ || offset_ != o.offset_) return false;
  if (isNull() || rep_ == o.rep_ || rep_->bytes == o.rep_->bytes || width_ == 0) return true;
  for (long y = 0; y < height_; ++y) {
    RunCursor a(pointToRow(y)), b(o.pointToRow(y));
    for (long x = 0; x < width_;) {
      if (a.value() != b.value()) return false;
      const long n = std::min(a.left(), b.left());
      a.advance(n);
      b.advance(n);
      x += n;
    }
  }
  return true;
}

vcArchive& operator||(vcArchive& ar, vcRLEBuffer& image) {
  unsigned char version = 0;
  bool isNull = image.isNull();
  ar || version;
  if (version != 0) throw vcArchive::UnknownVersion("core/rle", __LINE__);
  ar || isNull;
  long width = image.width(), height = image.height(), x = image.offset().x(), y = image.offset().y();
  long n = static_cast<long>(image.runs().size());
  if (ar.isStoring()) {
    if (isNull) return ar;
    ar || width || height || x || y || n;
    ar.raw(const_cast<unsigned char*>(image.runs().data()), n);
    return ar;
  }
  if (isNull) {
    image = vcRLEBuffer();
    return ar;
  }
  ar || width || height || x || y || n;
  if (n < 0) vcArchive::fail("vcRLEBuffer: negative run byte count " + std::to_string(n));
  ar.requireItems(static_cast<std::uint64_t>(n), 1);
  std::vector<unsigned char> runs(static_cast<std::size_t>(n));
  ar.raw(runs.data(), n);
  vcRLEBuffer read;
  std::size_t used = 0;
  try {
    read = vcRLEBuffer::fromRows(width, height, runs.data(), runs.size(), &used);
  } catch (const vcBadArgument& e) {
    vcArchive::fail(e.what());
  }
  if (used != runs.size())
    vcArchive::fail("vcRLEBuffer: " + std::to_string(runs.size() - used) + " bytes follow the last of " +
                    std::to_string(height) + " rows");
  read.offset(vcPair<long>(x, y));
  image = read;
  return ar;
}
