// Shared pieces of the vcdraw subcommands.
#pragma once

#include <functional>
#include <stdexcept>
#include <utility>
#include <string>
#include <vector>

#include <vc/color.h>
#include <vc/core/archive.h>
#include <vc/core/pelbuffer.h>
#include <vc/uisketch.h>

// A usage or input error: reported on one line, exit code 2.
class vcdrawUsageError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// text with every byte outside printable ASCII written as \xNN and "\" as
// "\\": safe to show on a terminal whatever a file held.
std::string vcdrawEscape(const std::string& text);
// The whole text as a finite decimal number, or vcdrawUsageError naming
// what it was for.
double vcdrawNumber(const std::string& text, const char* what);
// The whole text as a whole number from lo to hi, or vcdrawUsageError.
long vcdrawInteger(const std::string& text, const char* what, long lo, long hi);
// "A,B" (sep ',') into two finite numbers.
std::pair<double, double> vcdrawPair(const std::string& text, char sep, const char* what);
// Reads the file (a regular file of at most vcFileArchive::kMaxLoadBytes)
// and hands its archive to read, which must consume it whole. Failures throw
// vcdrawUsageError naming the path: a missing file or one that is not a
// regular file; a file of another kind, named with what verb ("synth") needs
// (kind: "sketch" or "model"); a malformed file or bytes left over.
void vcdrawLoad(const std::string& path, const char* kind, const char* verb,
                const std::function<void(vcArchive&)>& read);
// The sketch archived in a .vcs file, read as vcdrawLoad reads.
vcUISketch vcdrawLoadSketch(const std::string& path, const char* verb);
// Writes the archive form of a sketch to a .vcs file.
void vcdrawSaveSketch(const vcUISketch& sketch, const std::string& path);
// A stock color name ("red", "ltGrey") or #RRGGBB.
vcColor vcdrawParseColor(const std::string& text);
std::string vcdrawColorText(const vcColor& c);

// What render and synth share: one input file, -o OUT, --size WxH (1 to
// 16384 each), --scale S (above 0, at most 1000) and --offset X,Y.
struct vcdrawImageOptions {
  std::string in, out;
  long width = 640, height = 480;
  double scale = 1.0;
  bool offsetGiven = false;
  double offsetX = 0.0, offsetY = 0.0;
};
// Walks args: the shared options go into o; any other option is offered to
// extra(option, value), where value() takes the option's argument, and must
// return true when extra knows it. verb ("render"), kind ("sketch") and
// outputs ("OUT.png or OUT.pgm") word the messages.
void vcdrawParseImageOptions(const std::vector<std::string>& args, const char* verb, const char* kind,
                             const char* outputs,
                             vcdrawImageOptions& o,
                             const std::function<bool(const std::string&, const std::function<const std::string&()>&)>& extra);

// Writes an 8-bit grey image as PNG or PGM (by the path's ending), every value
// exactly as it is; vcdrawUsageError when the path has another ending or
// cannot be written.
void vcdrawWriteGray(const vcPelBuffer_const<unsigned char>& image, const std::string& path);

int vcdrawDemo(const std::vector<std::string>& args);
int vcdrawDump(const std::vector<std::string>& args);
int vcdrawRender(const std::vector<std::string>& args);
int vcdrawSynth(const std::vector<std::string>& args);
