// Shared pieces of the vcdraw subcommands.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include <vc/color.h>
#include <vc/uisketch.h>

// A usage or input error: reported on one line, exit code 2.
class vcdrawUsageError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// text with every byte outside printable ASCII written as \xNN and "\" as
// "\\": safe to show on a terminal whatever a file held.
std::string vcdrawEscape(const std::string& text);
// Reads the archive form of a sketch from a .vcs file; a missing file, a
// folder or a malformed file throws vcdrawUsageError naming the path.
vcUISketch vcdrawLoadSketch(const std::string& path);
// Writes the archive form of a sketch to a .vcs file.
void vcdrawSaveSketch(const vcUISketch& sketch, const std::string& path);
// The record name of an opcode ("LineSeg"), or "?" for one without a record class.
// A stock color name ("red", "ltGrey") or #RRGGBB.
vcColor vcdrawParseColor(const std::string& text);
std::string vcdrawColorText(const vcColor& c);

int vcdrawDemo(const std::vector<std::string>& args);
int vcdrawDump(const std::vector<std::string>& args);
int vcdrawRender(const std::vector<std::string>& args);
