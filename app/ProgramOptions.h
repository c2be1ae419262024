#pragma once
// The program's own options, taken off the command line before the window
// framework sees the rest (which names at most a settings file to open).
#include <optional>
#include <string>
#include <vector>

#include "CString.h"

struct ProgramOptions {
    // --resume: start the guard again if it was on duty when the program ended.
    bool resume = false;
    // --plan DURATION: print what the guard would do, without a window.
    std::optional<std::string> plan;
    bool help = false;
    bool version = false;
    // Whatever is left, for the framework's command line.
    std::vector<CString> rest;
    // Set when the command line cannot be understood.
    std::string error;
};

ProgramOptions ParseProgramOptions(int argc, const char* const* argv);

// The text --help prints.
std::string ProgramUsage();
