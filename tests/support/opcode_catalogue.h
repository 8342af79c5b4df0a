// One tablet operation per record kind: drawn on a recording tablet, each
// entry appends exactly one record of its opcode (with the props record its
// props call for). The record tests pin the bytes of every entry and replay
// every entry; a new opcode gets one entry here.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include <vc/uitablet.h>

struct vcCatalogueEntry {
  int opcode;
  std::string name;  // unique among entries; names the fixture file
  // Draws (and so records) the operation on layer.
  std::function<void(vcUITablet&, vcUITablet::Layers)> draw;
  // What the replayed record should draw, when that differs from draw (a
  // record no tablet operation makes).
  std::function<void(vcUITablet&, vcUITablet::Layers)> direct = {};
};

// Sorted by opcode but for set_all, which comes first.
const std::vector<vcCatalogueEntry>& vfOpcodeCatalogue();

// Draws every entry on t: what the entry draws, and when t records, what it
// records (an entry with a direct drawing draws that instead, unrecorded).
void vfDrawEveryOpcode(vcUITablet& t, vcUITablet::Layers layer);
// What a scopeless recording tablet records for vfDrawEveryOpcode on eImage.
const vcUISketch& vfSketchOfEveryOpcode();

// One record of a sketch as the tests read it: opcode, layer, the head's six
// color bytes, the payload bytes, and whether a props record came right before.
struct vcTestRecord {
  int op, layer;
  std::vector<unsigned char> color, payload;
  bool withProps;
  // Little-endian payload fields at a byte offset.
  double f64(std::size_t at) const;
  long i32(std::size_t at) const;
  std::vector<double> f64s(std::size_t at, int n) const;
};
// The records of s in order, split where the sketch parser ends each record.
std::vector<vcTestRecord> vfTestRecords(const vcUISketch& s);
