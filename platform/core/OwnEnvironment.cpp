#include "OwnEnvironment.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>

extern char** environ;

namespace platform {

namespace {

// What each variable held before the program set it; nullopt: unset.
std::map<std::string, std::optional<std::string>>& Originals()
{
    static std::map<std::string, std::optional<std::string>> originals;
    return originals;
}

}  // namespace

void SetOwnVariable(const std::string& name, const std::string& value)
{
    if (!Originals().contains(name)) {
        const char* before = std::getenv(name.c_str());
        Originals()[name] = before ? std::optional<std::string>(before) : std::nullopt;
    }
    ::setenv(name.c_str(), value.c_str(), 1);
}

std::vector<std::string> EnvironmentForOthers()
{
    std::vector<std::string> result;
    for (char** entry = environ; entry && *entry; ++entry) {
        const char* equals = std::strchr(*entry, '=');
        const std::string name = equals ? std::string(*entry, static_cast<std::size_t>(equals - *entry)) : std::string(*entry);
        if (!Originals().contains(name))
            result.emplace_back(*entry);
    }
    for (const auto& [name, value] : Originals())
        if (value)
            result.push_back(name + "=" + *value);
    return result;
}

}  // namespace platform
