// vcdraw: shows what the display library draws. Subcommands:
//   vcdraw demo OUTDIR
//   vcdraw dump FILE.vcs
//   vcdraw render FILE.vcs -o OUT.png|OUT.svg|OUT.pdf [options]
//   vcdraw synth MODEL.vcm -o OUT.png|OUT.pgm [options]
// Every failure is reported on one line of stderr with exit code 2.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include <vc/core/archive.h>
#include <vc/core/exception.h>

#include "vcdraw.h"

namespace {

const char* kUsage =
    "usage: vcdraw demo OUTDIR\n"
    "       vcdraw dump FILE.vcs\n"
    "       vcdraw render FILE.vcs -o OUT.png|OUT.svg|OUT.pdf [--size WxH] [--scale S]\n"
    "                     [--offset X,Y] [--layer image|overlay|both] [--background COLOR]\n"
    "       vcdraw synth MODEL.vcm -o OUT.png|OUT.pgm [--size WxH] [--scale S] [--rotate DEG]\n"
    "                    [--offset X,Y] [--background G] [--grow D]\n"
    "\n"
    "demo    draws a showcase of every shape kind on built-in data, records it into a sketch,\n"
    "        archives the sketch to OUTDIR/showcase.vcs, replays it and writes PNG and SVG files;\n"
    "        also archives its SMD model to OUTDIR/showcase-model.vcm and renders it synthetically\n"
    "dump    lists the records of a sketch file: offset, opcode, layer, color, props, payload\n"
    "render  replays a sketch file onto an image and writes it as PNG, SVG or PDF\n"
    "synth   renders an SMD model file into an 8-bit synthetic image: the model's origin at X,Y\n"
    "        (default the image centre), scaled by S and turned by DEG degrees; G is the\n"
    "        background grey level (default the model's own); D offsets every poly exactly by D\n"
    "        model units first (grows, or shrinks when negative)\n"
    "COLOR   a stock color name (black, dkGrey, grey, ltGrey, white, red, dkRed, orange, yellow,\n"
    "        green, dkGreen, cyan, blue, purple, magenta) or #RRGGBB\n";

// The message for one line on stderr: control and non-ASCII bytes escaped,
// so that bytes quoted from a corrupt file cannot garble the terminal.
void report(const std::string& what) { std::fprintf(stderr, "vcdraw: %s\n", vcdrawEscape(what).c_str()); }

int run(const std::vector<std::string>& args) {
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (args[0] == "demo") return vcdrawDemo(rest);
  if (args[0] == "dump") return vcdrawDump(rest);
  if (args[0] == "render") return vcdrawRender(rest);
  if (args[0] == "synth") return vcdrawSynth(rest);
  throw vcdrawUsageError("unknown command '" + args[0] + "' (try vcdraw --help)");
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    report("no command given (vcdraw demo|dump|render|synth ...; try vcdraw --help)");
    return 2;
  }
  try {
    const int rc = run(args);
    // Output that never arrived (a full disk, a closed pipe) is a failure too.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
      report(std::string("cannot write to standard output: ") + std::strerror(errno));
      return 2;
    }
    return rc;
  } catch (const vcdrawUsageError& e) {
    report(e.what());
  } catch (const vcException& e) {
    // Malformed sketch files, unreadable or unwritable files, bad archive versions.
    report(e.what());
  } catch (const std::bad_alloc&) {
    report("out of memory");
  } catch (const std::exception& e) {
    // File system errors and whatever else the standard library reports.
    report(e.what());
  } catch (...) {
    report("unexpected error");
  }
  return 2;
}
