// vcdraw: shows what the display library draws. Subcommands:
//   vcdraw demo OUTDIR
//   vcdraw dump FILE.vcs
//   vcdraw render FILE.vcs -o OUT.png|OUT.svg|OUT.pdf [options]
// Bad input is reported on one line with exit code 2.
#include <cstdio>
#include <exception>
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
    "\n"
    "demo    draws a showcase of every shape kind on built-in data, records it into a sketch,\n"
    "        archives the sketch to OUTDIR/showcase.vcs, replays it and writes PNG and SVG files\n"
    "dump    lists the records of a sketch file: offset, opcode, layer, color, props, payload\n"
    "render  replays a sketch file onto an image and writes it as PNG, SVG or PDF\n"
    "COLOR   a stock color name (black, dkGrey, grey, ltGrey, white, red, dkRed, orange, yellow,\n"
    "        green, dkGreen, cyan, blue, purple, magenta) or #RRGGBB\n";

// One line, no trailing newline in the message itself.
std::string oneLine(std::string s) {
  for (char& c : s)
    if (c == '\n' || c == '\r') c = ' ';
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    std::fputs(kUsage, args.empty() ? stderr : stdout);
    return args.empty() ? 2 : 0;
  }
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  try {
    if (args[0] == "demo") return vcdrawDemo(rest);
    if (args[0] == "dump") return vcdrawDump(rest);
    if (args[0] == "render") return vcdrawRender(rest);
    throw vcdrawUsageError("unknown command '" + args[0] + "' (try vcdraw --help)");
  } catch (const vcdrawUsageError& e) {
    std::fprintf(stderr, "vcdraw: %s\n", oneLine(e.what()).c_str());
  } catch (const vcException& e) {
    // Malformed sketch files, unreadable files, bad archive versions.
    std::fprintf(stderr, "vcdraw: %s\n", oneLine(e.what()).c_str());
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "vcdraw: out of memory\n");
    return 1;
  }
  return 2;
}
