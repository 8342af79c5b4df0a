// vcGraphicProps: how a shape or graphic is drawn — pen color, width, style,
// join and end cap, fill, arrow heads and vertex marks.
#pragma once

#include <vc/color.h>
#include <vc/core/exception.h>
#include <vc/core/persistent.h>

class vcArchive;
class vcUISketch;

class vcGraphicProps : public virtual vcPersistent {
public:
  // Line styles. The scope that draws interprets them; the values are stored
  // and compared as they are.
  enum vePenStyle : int {
    ePenSolid = 0,
    ePenDash = 1,
    ePenDot = 2,
    ePenDashDot = 3,
    ePenDashDotDot = 4,
    ePenNull = 5,
  };
  // How the segments of a path are joined.
  enum vePenJoin : int { eJoinRound = 0, eJoinBevel = 1, eJoinMiter = 2 };
  // How the ends of a path are capped.
  enum vePenEndCap : int { eCapRound = 0, eCapSquare = 1, eCapFlat = 2 };

  // A negative pen width.
  class BadParams : public vcException {
  public:
    BadParams() = default;
    VC_EXCEPTION_LEAF(BadParams);

  protected:
    void dispatchSerialize(vcArchive& ar) override;

  private:
    void serialize_(vcArchive& ar, unsigned char version);
  };

  // The one archive and props-record version.
  static constexpr unsigned char ckGraphicPropsVersion0 = 0;
  // Size of the props record body in a sketch (after the one-byte marker).
  static constexpr long kRecordSize = 21;
  // The widest pen: the largest value of the width's 4-byte field.
  static constexpr long kMaxPenWidth = 0x7FFFFFFF;

  // Cyan, width 1, solid, unfilled, round join and cap, forward arrow heads on, no vertex marks.
  vcGraphicProps();
  // penWidth in pixels of the drawing surface, 0 to 2^31 - 1 (the width's
  // 4-byte field in sketch records and archives); throws BadParams outside.
  vcGraphicProps(const vcColor& color, long penWidth, vePenStyle penStyle = ePenSolid, bool fill = false);
  vcGraphicProps(const vcGraphicProps& other);
  vcGraphicProps& operator=(const vcGraphicProps& other);
  ~vcGraphicProps() override = default;

  const vcColor& penColor() const noexcept { return penColor_; }
  long penWidth() const noexcept { return penWidth_; }
  vePenStyle penStyle() const noexcept { return penStyle_; }
  bool fill() const noexcept { return fill_; }
  vePenJoin penJoin() const noexcept { return penJoin_; }
  vePenEndCap penEndCap() const noexcept { return penEndCap_; }
  // Draw arrow heads on shapes that have a direction.
  bool arrowHead() const noexcept { return arrowHead_; }
  // The arrow heads point forward along the shape's direction.
  bool arrowHeadForward() const noexcept { return arrowHeadForward_; }
  bool showVertex() const noexcept { return showVertex_; }

  // The setters are inline: replaying a sketch applies every props record
  // through them.
  void penColor(const vcColor& c) { set_(penColor_, c); }
  // Throws BadParams for a width outside 0 to 2^31 - 1 and changes nothing.
  void penWidth(long w) {
    if (w < 0 || w > kMaxPenWidth) throw BadParams();
    set_(penWidth_, w);
  }
  void penStyle(vePenStyle s) { set_(penStyle_, s); }
  void fill(bool f) { set_(fill_, f); }
  void penJoin(vePenJoin j) { set_(penJoin_, j); }
  void penEndCap(vePenEndCap c) { set_(penEndCap_, c); }
  void arrowHead(bool on) { set_(arrowHead_, on); }
  void arrowHeadForward(bool on) { set_(arrowHeadForward_, on); }
  void showVertex(bool on) { set_(showVertex_, on); }

  bool operator==(const vcGraphicProps& o) const noexcept {
    return penWidth_ == o.penWidth_ && penStyle_ == o.penStyle_ && fill_ == o.fill_ && penJoin_ == o.penJoin_ &&
           penEndCap_ == o.penEndCap_ && arrowHead_ == o.arrowHead_ && arrowHeadForward_ == o.arrowHeadForward_ &&
           showVertex_ == o.showVertex_ && penColor_ == o.penColor_;
  }
  bool operator!=(const vcGraphicProps& o) const { return !(*this == o); }

  void dispatchSerialize(vcArchive& ar) override;

  // The sketch props record body: 21 bytes, little-endian (version, fill,
  // width, style, join, end cap, arrowHead, arrowHeadForward, showVertex).
  // Writes it to out; the pen color is not part of it.
  static void writeRecord(const vcGraphicProps& props, unsigned char* out);
  // Reads a record body starting just after its version byte (20 bytes) into
  // target through the setters, so a negative width throws BadParams and a
  // flag byte other than 0 or 1 throws vcUIError::InvalidUISketch, leaving
  // target unchanged. The pen color stays as it was.
  static void readRecord(vcGraphicProps& target, const unsigned char* bytes);

private:
  template <class T, class V>
  void set_(T& field, const V& v) {
    notifyMutation_();
    field = v;
  }
  friend class vcUISketch;
  // Appends the record body to sketch; returns 21, or 0 for a null sketch.
  long opcode(vcUISketch* sketch, const vcGraphicProps& props) const;
  // Reads a record body after its version byte into target; returns 20, or 0
  // when target or bytes is null.
  long opcode(vcGraphicProps* target, const unsigned char* bytes) const;

  void serialize_(vcArchive& ar, unsigned char version);
  static vcPersistent* make();
  static const vc_Instantiator sExemplar;

  vcColor penColor_;
  long penWidth_ = 1;
  vePenStyle penStyle_ = ePenSolid;
  bool fill_ = false;
  vePenJoin penJoin_ = eJoinRound;
  vePenEndCap penEndCap_ = eCapRound;
  bool arrowHead_ = true;
  bool arrowHeadForward_ = true;
  bool showVertex_ = false;
};
