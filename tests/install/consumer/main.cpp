#include <vc/display.h>

#include <cstdio>

int main() {
  vcUISketch sketch;
  sketch.opcode(40, vcGraphicProps(vcColor::redColor(), 3));
  const vcUIRect r = vcUIRect(0, 0, 4, 4) & vcUIRect(2, 2, 4, 4);
  std::printf("sketch %ld bytes, rect %ldx%ld\n", sketch.size(), r.width(), r.height());
  return sketch.size() == 22 && r.width() == 2 ? 0 : 1;
}
