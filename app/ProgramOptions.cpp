#include "ProgramOptions.h"

#include <cstring>

ProgramOptions ParseProgramOptions(int argc, const char* const* argv)
{
    ProgramOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--resume") {
            options.resume = true;
        } else if (argument == "--plan") {
            if (i + 1 >= argc) {
                options.error = "--plan needs a duration, such as 90m, 12h or 3d";
                return options;
            }
            options.plan = argv[++i];
        } else if (argument.rfind("--plan=", 0) == 0) {
            options.plan = argument.substr(std::strlen("--plan="));
        } else if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--version") {
            options.version = true;
        } else if (argument == "--") {
            for (++i; i < argc; ++i)
                options.rest.emplace_back(argv[i]);
        } else if (argument.size() > 1 && argument[0] == '-') {
            // Qt takes options of its own (-platform, -display, ...): left for it.
            options.rest.emplace_back(argument);
        } else {
            options.rest.emplace_back(argument);
        }
    }
    return options;
}

std::string ProgramUsage()
{
    return "Usage: hauntwatch [OPTION]... [SETTINGS-FILE]\n"
           "Makes an empty house sound lived in: plays sounds and movie clips, or opens\n"
           "files, on a schedule while you are away.\n"
           "\n"
           "  --resume         start the guard again if it was on duty when the program\n"
           "                   last ended (a restart, a power cut)\n"
           "  --plan DURATION  print what the guard would do over DURATION (90m, 12h, 3d;\n"
           "                   at most 14d) if it were started now, without a window\n"
           "  --help           print this help and exit\n"
           "  --version        print the version and exit\n";
}
