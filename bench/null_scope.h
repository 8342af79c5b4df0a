// A surface that does nothing, so benchmarks measure the tablet alone.
#pragma once

#include <vc/uiscope.h>

class vcNullScope : public vcUIScope {
public:
  explicit vcNullScope(const vcPair<long>& size) : vcUIScope(vcPair<long>(0, 0)), size_(size) {}

  void attached(const vcUIScope&, const vcUIRect&) override {}
  vcUIScope* newChild(const vcUIRect& r, bool clipOnly) override;
  void dragStart() override {}
  void dragStop() override {}
  void dragErase() override {}
  void dragAnimate(bool) override {}
  void draw(const vcEllipseArc&, const vcGraphicProps&) override {}
  void draw(const vcEllipse&, const vcGraphicProps&) override {}
  void draw(const vcPolygon&, const vcGraphicProps&) override {}
  void draw(const vcRLEBuffer&, const vcPoint&, const std::vector<vcColor>&, bool, unsigned char) override {}
  void draw(const vcRLEBuffer&, const vcPoint&, const std::vector<unsigned char>&, bool, unsigned char) override {}
  void draw(const vcPelBuffer_const<vcPackedRGB32Pel>&, const vcPoint&, bool, unsigned long) override {}
  void draw(const vcPelBuffer_const<vcPackedRGB16Pel>&, const vcPoint&, bool, unsigned short) override {}
  void draw(const vcPelBuffer_const<unsigned short>&, const vcPoint&, bool, unsigned short) override {}
  void draw(const vcPelBuffer_const<unsigned char>&, const vcPoint&, bool, unsigned char, bool) override {}
  void draw(const std::string&, const vcPoint&, const vcColor&, const vcColor&, const vcUIFormat&) override {}
  void draw(const vcPolyline&, const vcGraphicProps&) override {}
  void draw(const vcGenRect&, const vcGraphicProps&) override {}
  void draw(const vcEllipseArc2&, const vcGraphicProps&) override {}
  void draw(const vcEllipse2&, const vcGraphicProps&) override {}
  void draw(const vcLineSeg&, const vcGraphicProps&) override {}
  void draw(const vcPoint&, const vcGraphicProps&) override {}
  vcUIRect textRect(const std::string&, const vcPoint&, const vcUIFormat&, vcUIRect& r) override { return r; }
  using vcUIScope::expand;
  using vcUIScope::sample;
  void sample(const vcPelBuffer_const<vcPackedRGB32Pel>&, const vcPoint&, const vcPair<double>&, bool,
              unsigned long) override {}
  void sample(const vcPelBuffer_const<vcPackedRGB16Pel>&, const vcPoint&, const vcPair<double>&, bool,
              unsigned short) override {}
  void sample(const vcPelBuffer_const<unsigned short>&, const vcPoint&, const vcPair<double>&, bool,
              unsigned short) override {}
  void sample(const vcPelBuffer_const<unsigned char>&, const vcPoint&, const vcPair<double>&, bool, unsigned char,
              bool) override {}
  void expand(const vcPelBuffer_const<vcPackedRGB32Pel>&, const vcPoint&, const vcPair<double>&, bool, unsigned long,
              InterpolationModes) override {}
  void expand(const vcPelBuffer_const<vcPackedRGB16Pel>&, const vcPoint&, const vcPair<double>&, bool,
              unsigned short, InterpolationModes) override {}
  void expand(const vcPelBuffer_const<unsigned short>&, const vcPoint&, const vcPair<double>&, bool, unsigned short,
              InterpolationModes) override {}
  void expand(const vcPelBuffer_const<unsigned char>&, const vcPoint&, const vcPair<double>&, bool, unsigned char,
              bool, InterpolationModes) override {}
  void set(const vcUIRect&, const vcColor&) override {}
  void set(const vcColor&) override {}
  void fill(const vcPair<long>&, const vcColor&, const vcColor&, FillType) override {}
  void drawTo(const vcPoint& p, const vcGraphicProps&) override { drawStart(vcPoint(p)); }
  void drawToRelPels(long dx, long dy, const vcGraphicProps&) override { moveToRel(dx, dy); }
  bool isNull() const override { return false; }
  vcPair<long> size() const override { return size_; }

private:
  vcPair<long> size_;
};
