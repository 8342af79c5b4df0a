// vcRLEBuffer: a run-length encoded 8-bit image.
//
// Each row is a sequence of 2-byte runs (value, length), length 1..255, whose
// lengths add up to the width, ended by the terminator run (0, 0). Rows are
// stored back to back. The encoded bytes are shared and never change, so
// copies are cheap; only the offset belongs to each copy.
#pragma once

#include <cstddef>
#include <vector>

#include <vc/core/handle.h>
#include <vc/core/pair.h>
#include <vc/core/pelbuffer.h>

class vcArchive;

class vcRLEBuffer {
public:
  // The null image: no rows, isNull().
  vcRLEBuffer() = default;
  // An image of width x height pixels (each >= 0) from runs, all of its rows
  // back to back, validated as fromRows() does; bytes left over after the
  // last row are an error too. The first byte of each terminator is stored
  // as 0 whatever it was. Throws vcBadArgument for malformed runs.
  vcRLEBuffer(long width, long height, std::vector<unsigned char> runs);

  // The window of src, encoded row by row with the longest runs possible;
  // offset() is the window's upper-left corner. A null src gives the null image.
  static vcRLEBuffer encode(const vcPelBuffer_const<unsigned char>& src);

  // Reads height rows of width pixels from the n untrusted bytes at runs.
  // Every run is checked against n, each row's lengths must add up to exactly
  // width, and each row must end with a terminator (length 0; its first byte
  // is stored as 0). Sizes that n bytes cannot hold are refused before
  // anything is allocated. When consumed is not null it receives the number
  // of bytes read. Throws vcBadArgument with the reason on malformed input.
  static vcRLEBuffer fromRows(long width, long height, const unsigned char* runs, std::size_t n,
                              std::size_t* consumed);
  // The same, read into this image (offset (0, 0)): when no other image shares
  // its runs, their storage is reused, so a reader refilling one image again
  // and again allocates nothing once it has held the largest; runs that begin
  // with the very bytes this image holds, at its size, are taken as they are
  // without another check or copy. Malformed input throws as fromRows does
  // and leaves this image unchanged.
  void assignRows(long width, long height, const unsigned char* runs, std::size_t n, std::size_t* consumed);

  // The pixels in a fresh buffer whose storage and window are the image's
  // rectangle: (offset(), width() x height()) in image coordinates. The null
  // image decodes to the null buffer.
  vcPelBuffer<unsigned char> decode() const;

  bool isNull() const noexcept { return !rep_; }
  // Size in pixels.
  long width() const noexcept { return width_; }
  long height() const noexcept { return height_; }
  // Image coordinates of the upper-left pixel.
  const vcPair<long>& offset() const noexcept { return offset_; }
  void offset(const vcPair<long>& o) noexcept { offset_ = o; }
  // The number of runs in all rows, terminators not counted.
  long numRuns() const noexcept { return numRuns_; }

  // The runs of row y, counted from the first row (0 .. height() - 1, not
  // image coordinates); rowBytes(y) bytes including the terminator. Both
  // throw vcBadArgument for any other y.
  const unsigned char* pointToRow(long y) const;
  long rowBytes(long y) const;
  // All rows back to back, as fromRows() reads them.
  const std::vector<unsigned char>& runs() const noexcept;

  // Equal when size and offset are equal and every pixel has the same value,
  // however the runs are split.
  bool operator==(const vcRLEBuffer& o) const;

private:
  struct Rep : vcRepBase {
    std::vector<unsigned char> bytes;
    // Byte index where each row starts, plus the end of the last row.
    std::vector<std::size_t> rowStart;
  };

  static vcRLEBuffer make_(long width, long height, std::vector<unsigned char> bytes,
                           std::vector<std::size_t> rowStart, long numRuns);
  void checkRow_(long y) const;

  vcPtrHandle_const<Rep> rep_;
  long width_ = 0;
  long height_ = 0;
  long numRuns_ = 0;
  vcPair<long> offset_;
};

// Archive form: version byte 0, a null flag, then for a non-null image its
// width, height and offset (32-bit each), the byte count of its runs and the
// runs. Loading validates the runs as fromRows() does (a bad image or a count
// the archive cannot hold throws vcArchive::BadData before anything is
// allocated); another version throws vcArchive::UnknownVersion. A failed load
// leaves image unchanged.
vcArchive& operator||(vcArchive& ar, vcRLEBuffer& image);
