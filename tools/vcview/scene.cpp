#include "scene.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>

#include <QImage>
#include <QImageReader>

#include <vc/core/archive.h>
#include <vc/core/exception.h>
#include <vc/graphic.h>
#include <vc/uiscope_adapter.h>
#include <vc/wrfm/smdgd.h>
#include <vc/wrfm/smdpoly.h>

namespace {

constexpr double kModelPixels = 480.0;  // the longer side of a model's box, in image pixels
constexpr double kModelMargin = 40.0;
constexpr double kArrowSize = 2.0;  // model units, as the model draws them
constexpr long kMaxImageSide = 32767;

bool endsWith(const std::string& s, const char* tail) {
  const std::string t(tail);
  return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

// Loads an archive that must hold exactly what read takes.
template <class Read>
void loadArchive(const std::string& path, const char* kind, Read read) {
  std::error_code ec;
  const auto type = std::filesystem::status(path, ec).type();
  if (type == std::filesystem::file_type::not_found) throw std::runtime_error(path + ": no such file");
  if (type == std::filesystem::file_type::directory) throw std::runtime_error(path + ": is a folder");
  try {
    vcFileArchive in(path, vcArchive::eLoad);
    read(in);
    if (in.remaining() != 0)
      throw std::runtime_error(path + ": " + std::to_string(in.remaining()) + " bytes after the " + kind);
  } catch (const vcException& e) {
    throw std::runtime_error(path + ": not a readable " + kind + " file (" + e.what() + ")");
  }
}

// A surface without pixels wide enough for any sketch, to measure sketches
// on (text has no extent on it).
class MeasureScope : public vcUIScopeAdapter {
public:
  MeasureScope() : vcUIScopeAdapter(vcPair<long>(-16383, -16383), vcPair<long>(32767, 32767)) {}
  vcUIScope* newChild(const vcUIRect& r, bool clipOnly) override {
    auto child = std::make_unique<MeasureScope>();
    if (clipOnly)
      child->subset(*this, r);
    else
      child->move(*this, r);
    return child.release();
  }
};

vcRect unite(const vcRect& a, const vcRect& b) {
  const double x0 = std::min(a.x(), b.x()), y0 = std::min(a.y(), b.y());
  const double x1 = std::max(a.x() + a.width(), b.x() + b.width()),
               y1 = std::max(a.y() + a.height(), b.y() + b.height());
  return vcRect(x0, y0, x1 - x0, y1 - y0);
}

}  // namespace

long vfNearestGraphic(const vcGraphicList& list, const vcVector<2>& p, double within) {
  // The list's pick index: built on the first pick, exact distances.
  const std::optional<vcGraphicPick> pick = list.nearest(p, within);
  return pick ? pick->index : -1;
}

void vcviewScene::open(const std::string& path) {
  vcRect added;
  if (endsWith(path, ".vcs")) {
    vcUISketch sketch;
    loadArchive(path, "sketch", [&](vcArchive& in) { in || sketch; });
    MeasureScope image, overlay;
    vcUITablet measure(&image, &overlay);
    const vcUIRect r = measure.encloseRect(sketch, vcPoint(0, 0), vcUITablet::eImage) |
                       measure.encloseRect(sketch, vcPoint(0, 0), vcUITablet::eOverlay);
    added = vcRect(static_cast<double>(r.left()), static_cast<double>(r.top()), static_cast<double>(r.width()),
                   static_cast<double>(r.height()));
    sketches_.push_back(std::move(sketch));
  } else if (endsWith(path, ".vcm")) {
    Model m;
    m.name = path;
    loadArchive(path, "model", [&](vcArchive& in) { in || m.model; });
    if (m.model.numPolys() == 0) throw std::runtime_error(path + ": the model has no polys");
    const vcRect box = m.model.boundingBox();
    const double side = std::max(box.width(), box.height());
    if (!(side > 0 && side < 1e12)) throw std::runtime_error(path + ": the model has no extent");
    if (placed_) {
      m.place = place_;
      added = m.model.boundingBox(place_);
    } else {
      const double s = kModelPixels / side;
      m.place = vcXform<2>::translation(vcVector<2>(kModelMargin - box.x() * s, kModelMargin - box.y() * s)) *
                vcXform<2>::scale(s, s);
      m.synthetic = vcPelBuffer<unsigned char>(static_cast<long>(box.width() * s + 2 * kModelMargin),
                                               static_cast<long>(box.height() * s + 2 * kModelMargin));
      m.synthetic.fill(static_cast<unsigned char>(
          vcSMDColors::colorToGrayScale(m.model.poly(0).colors().syntheticBackgroundColor())));
      m.model.drawSynthetic(m.place, m.synthetic);
      added = vcRect(0, 0, static_cast<double>(m.synthetic.width()), static_cast<double>(m.synthetic.height()));
    }
    for (int k = 0; k < m.model.numPolys(); ++k) {
      m.model.poly(k).drawDirectionArrows(m.place, m.arrows, kArrowSize);
      m.polyOfArrow.resize(m.arrows.items().size(), k);
    }
    models_.push_back(std::move(m));
  } else {
    QImageReader reader(QString::fromStdString(path));
    QImage q = reader.read();
    if (q.isNull()) throw std::runtime_error(path + ": " + reader.errorString().toStdString());
    if (q.width() > kMaxImageSide || q.height() > kMaxImageSide) throw std::runtime_error(path + ": image too large");
    Image img;
    img.isGrey = q.isGrayscale();
    if (img.isGrey) {
      q = q.convertToFormat(QImage::Format_Grayscale8);
      img.grey = vcPelBuffer<unsigned char>(q.width(), q.height());
      for (int y = 0; y < q.height(); ++y) std::copy_n(q.constScanLine(y), q.width(), img.grey.pointToPel(0, y));
    } else {
      q = q.convertToFormat(QImage::Format_RGB32);
      img.rgb = vcPelBuffer<vcPackedRGB32Pel>(q.width(), q.height());
      for (int y = 0; y < q.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(q.constScanLine(y));
        vcPackedRGB32Pel* out = img.rgb.pointToPel(0, y);
        for (int x = 0; x < q.width(); ++x)
          out[x] = vcPackedRGB32Pel(static_cast<unsigned char>(qRed(in[x])), static_cast<unsigned char>(qGreen(in[x])),
                                    static_cast<unsigned char>(qBlue(in[x])));
      }
    }
    added = vcRect(0, 0, q.width(), q.height());
    images_.push_back(std::move(img));
  }
  // A sketch that draws nothing adds nothing to the extent.
  if (!(added.width() > 0 && added.height() > 0)) return;
  bounds_ = empty_ ? added : unite(bounds_, added);
  empty_ = false;
}

vcRect vcviewScene::bounds() const { return empty_ ? vcRect(0, 0, 640, 480) : bounds_; }

void vcviewScene::draw(vcUITablet& t, vcUITablet::Layers layers) const {
  const vcPoint origin(0, 0);
  if (layers != vcUITablet::eOverlay) {
    for (const Image& img : images_) {
      if (img.isGrey)
        t.draw(vcPelBuffer_const<unsigned char>(img.grey), origin, false, 0, false, vcUITablet::eImage);
      else
        t.draw(vcPelBuffer_const<vcPackedRGB32Pel>(img.rgb), origin, false, 0, vcUITablet::eImage);
    }
    // The model's drawing is on the image layer.
    for (const Model& m : models_) {
      if (m.synthetic.width() > 0)
        t.draw(vcPelBuffer_const<unsigned char>(m.synthetic), origin, false, 0, false, vcUITablet::eImage);
      m.model.drawWireframe(m.place, t);
      m.model.drawDirectionArrows(m.place, t);
    }
  }
  for (const vcUISketch& s : sketches_) t.draw(s, origin, layers);
}

std::string vcviewScene::valueAt(const vcPoint& p) const {
  const auto x = static_cast<long>(std::floor(p.x())), y = static_cast<long>(std::floor(p.y()));
  char buf[48];
  for (auto m = models_.rbegin(); m != models_.rend(); ++m)
    if (m->synthetic.width() > 0 && x >= 0 && y >= 0 && x < m->synthetic.width() && y < m->synthetic.height()) {
      std::snprintf(buf, sizeof buf, "value %u", *m->synthetic.pointToPel(x, y));
      return buf;
    }
  for (auto i = images_.rbegin(); i != images_.rend(); ++i) {
    const long w = i->isGrey ? i->grey.width() : i->rgb.width(), h = i->isGrey ? i->grey.height() : i->rgb.height();
    if (x < 0 || y < 0 || x >= w || y >= h) continue;
    if (i->isGrey) {
      std::snprintf(buf, sizeof buf, "value %u", *i->grey.pointToPel(x, y));
    } else {
      const vcPackedRGB32Pel v = *i->rgb.pointToPel(x, y);
      std::snprintf(buf, sizeof buf, "RGB %u %u %u", v.r(), v.g(), v.b());
    }
    return buf;
  }
  return "";
}

vcviewScene::Pick vcviewScene::pick(const vcPoint& p, double within) const {
  Pick best;
  for (const Model& m : models_) {
    const long i = vfNearestGraphic(m.arrows, vcVector<2>(p.x(), p.y()), within);
    if (i < 0) continue;
    const long k = m.polyOfArrow[static_cast<std::size_t>(i)];
    const vcSMDGDPoly& poly = m.model.poly(static_cast<int>(k));
    best.found = true;
    best.text = "poly " + std::to_string(k) + (poly.name().empty() ? "" : " '" + poly.name() + "'");
    best.box = poly.boundingBox(m.place);
  }
  return best;
}
