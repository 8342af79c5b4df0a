// A tour of the library's base types: colors, UI rectangles, text formats,
// flag stacks, pen properties and the sketch display list, with their archive
// forms. Usage: vcshowcase OUTDIR — writes OUTDIR/showcase.vca (an archive of
// the values shown) and prints what it did.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include <vc/core/archive.h>
#include <vc/display.h>

namespace {

void showColors() {
  std::printf("Stock colors (palette index, RGB, graphics-list code):\n");
  for (int code = 0; code < vcColor::kNumStockColors; ++code) {
    const vcColor& c = vcColor::stockColor(code);
    std::printf("  %2d  index %3u  rgb #%06lX\n", static_cast<int>(vfColor(c)), static_cast<unsigned>(c.index()),
                c.rgb());
  }
  std::printf("  vcColor(255, 0, 0) == red: %s; vcColor(249) == red: %s; vcColor(249) == vcColor(255, 0, 0): %s\n",
              vcColor(255, 0, 0) == vcColor::redColor() ? "yes" : "no",
              vcColor(249) == vcColor::redColor() ? "yes" : "no",
              vcColor(249) == vcColor(255, 0, 0) ? "yes" : "no");
}

void printRect(const char* what, const vcUIRect& r) {
  std::printf("  %-34s (%ld, %ld, %ld x %ld)%s\n", what, r.left(), r.top(), r.width(), r.height(),
              r.isNull() ? " null" : "");
}

void showRects() {
  std::printf("UI rectangles:\n");
  const vcUIRect a(0, 0, 10, 10), b(5, 5, 10, 10);
  printRect("a", a);
  printRect("b", b);
  printRect("a & b", a & b);
  printRect("a | b", a | b);
  printRect("a & (10, 0, 5, 5)", a & vcUIRect(10, 0, 5, 5));
  const vcUIFormat centered(vcUIFormat::eCenter), bottomRight(vcUIFormat::eBottomRight);
  printRect("text (100, 50, 7x5) centred", centered.alignRect(vcUIRect(100, 50, 7, 5)));
  printRect("text (100, 50, 7x5) bottom-right", bottomRight.alignRect(vcUIRect(100, 50, 7, 5)));
}

void showFlagStack() {
  vcFlagStack recordOn(true);
  recordOn.push(false);  // a nested drawing is not recorded
  std::printf("Flag stack: depth %ld, top %s", recordOn.depth(), recordOn ? "on" : "off");
  recordOn.pop();
  std::printf(", after pop %s\n", recordOn ? "on" : "off");
}

vcUISketch showSketch() {
  std::printf("Sketch display list:\n");
  vcUISketch sketch;
  const vcGraphicProps thick(vcColor::redColor(), 3, vcGraphicProps::ePenDash);
  sketch.opcode(40, thick);
  sketch.opcode(2, 1, thick.penColor());
  sketch.append(32);  // payload of a segment record
  const vcUISketchMark middle = sketch.mark();
  sketch.opcode(40, thick);  // same props: no record
  sketch.opcode(0, 1, vcColor::greenColor());
  sketch.append(16);
  std::printf("  %ld bytes, capacity %ld; the second record starts at byte %ld\n", sketch.size(), sketch.capacity(),
              middle.offset());
  const vcUISketch tail = sketch.subSketch(middle, sketch.mark());
  const vcUISketch both = tail + sketch;
  std::printf("  tail: %ld bytes; tail + whole: %ld bytes\n", tail.size(), both.size());
  return sketch;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vcshowcase OUTDIR\n");
    return 2;
  }
  try {
    std::filesystem::create_directories(argv[1]);
    showColors();
    showRects();
    showFlagStack();
    const vcUISketch sketch = showSketch();

    const std::string path = (std::filesystem::path(argv[1]) / "showcase.vca").string();
    {
      vcFileArchive out(path, vcArchive::eStore);
      vcGraphicProps props(vcColor::blueColor(), 2, vcGraphicProps::ePenSolid, true);
      vcUIRect rect(1, 2, 3, 4);
      vcUISketchMark mark = sketch.mark();
      out || props || rect || mark;
      out.close();
    }
    vcFileArchive in(path, vcArchive::eLoad);
    vcGraphicProps props;
    vcUIRect rect;
    vcUISketchMark mark;
    in || props || rect || mark;
    std::printf("Wrote %s and read it back: props width %ld%s, rect (%ld, %ld, %ld x %ld), mark %ld\n",
                path.c_str(), props.penWidth(), props.fill() ? " filled" : "", rect.left(), rect.top(), rect.width(),
                rect.height(), mark.offset());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vcshowcase: %s\n", e.what());
    return 1;
  }
  return 0;
}
