#include "HomeFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cctype>
#include <cstring>

namespace platform {
namespace {
constexpr char kWindowsHome[] = "c:\\qwendrik\\";

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

bool Exists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// The rest of the path after "c:\qwendrik\", with Linux slashes, or nothing.
bool UnderWindowsHome(const std::string& path, std::string* rest)
{
    const size_t prefix = sizeof kWindowsHome - 1;
    if (path.size() < prefix)
        return false;
    for (size_t i = 0; i < prefix; ++i) {
        char c = path[i];
        if (c == '/')
            c = '\\';
        if (std::tolower(static_cast<unsigned char>(c)) != kWindowsHome[i])
            return false;
    }
    *rest = path.substr(prefix);
    for (char& c : *rest)
        if (c == '\\')
            c = '/';
    return true;
}

// The folder the running binary lies in, symbolic links resolved, so that a
// link to it elsewhere (or the build tree's ./hauntwatch) leads to the real one.
std::string ProgramFolder()
{
    char target[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", target, sizeof target - 1);
    if (length <= 0)
        return std::string();
    const std::string program(target, static_cast<size_t>(length));
    const size_t slash = program.find_last_of('/');
    return slash == std::string::npos ? std::string() : program.substr(0, slash);
}

// <prefix>/bin/hauntwatch has its data in <prefix>/share/hauntwatch wherever
// the prefix is: /usr, /usr/local, a folder a package was unpacked into, or a
// build tree, which stages its data the same way.
std::string DataFolderBesideProgram()
{
    const std::string bin = ProgramFolder();
    const size_t slash = bin.find_last_of('/');
    if (slash == std::string::npos)
        return std::string();
    return bin.substr(0, slash) + "/share/hauntwatch";
}
}  // namespace

std::string HomeFolder()
{
    if (const std::string home = Env("HAUNTWATCH_HOME"); !home.empty())
        return home;
    if (const std::string data = Env("XDG_DATA_HOME"); !data.empty())
        return data + "/qwendrik";
    return Env("HOME") + "/.local/share/qwendrik";
}

std::string DataFolder()
{
    if (const std::string data = Env("HAUNTWATCH_DATA_DIR"); !data.empty())
        return data;
    // The binary does not move while it runs.
    static const std::string besideProgram = DataFolderBesideProgram();
    return besideProgram;
}

std::string HomePath(const std::string& path)
{
    std::string rest;
    if (!UnderWindowsHome(path, &rest))
        return path;
    return HomeFolder() + "/" + rest;
}

std::string ProgramFilePath(const std::string& path)
{
    std::string rest;
    if (!UnderWindowsHome(path, &rest))
        return path;
    const std::string home = HomeFolder() + "/" + rest;
    if (Exists(home))
        return home;
    const std::string shipped = DataFolder() + "/" + rest;
    return Exists(shipped) ? shipped : home;
}

bool EnsureFolder(const std::string& folder, std::string* error)
{
    if (folder.empty() || Exists(folder))
        return true;
    const size_t slash = folder.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !EnsureFolder(folder.substr(0, slash), error))
        return false;
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        if (error)
            *error = "cannot create the folder " + folder + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace platform
