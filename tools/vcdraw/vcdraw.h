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

// Reads the archive form of a sketch from a .vcs file.
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
