#include "Takes.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>

namespace lifelike {

namespace {

bool Is(const std::string& path, mode_t kind)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == kind;
}

}  // namespace

bool PlaysAsMedia(const std::string& path)
{
    if (path.size() < 3)
        return false;
    const std::string tail = path.substr(path.size() - 3);
    return tail == "wav" || tail == "avi";
}

bool IsFolder(const std::string& path)
{
    return Is(path, S_IFDIR);
}

std::vector<std::string> TakesIn(const std::string& folder)
{
    std::vector<std::string> takes;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir)
        return takes;
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        // A link to a file is a take as the file would be; stat follows it.
        if (name[0] != '.' && PlaysAsMedia(name) && Is(prefix + name, S_IFREG))
            takes.push_back(prefix + name);
    }
    // The folder's own order differs between file systems; the plan and
    // the guard must see the same list.
    std::sort(takes.begin(), takes.end());
    return takes;
}

TakePick PickTake(const std::string& folder, const std::string& lastTake, RealismRandom& random)
{
    const std::vector<std::string> takes = TakesIn(folder);
    if (takes.empty())
        return {{}, "no takes in " + folder};
    const auto last = std::find(takes.begin(), takes.end(), lastTake);
    if (takes.size() < 2 || last == takes.end())
        return {takes[random.Below(takes.size())], {}};
    // Drawn among the others: the last take's place is skipped over.
    std::size_t index = random.Below(takes.size() - 1);
    if (index >= static_cast<std::size_t>(last - takes.begin()))
        ++index;
    return {takes[index], {}};
}

TakePick TakeMemory::Pick(const std::string& folder, RealismRandom& random)
{
    const auto last = last_.find(folder);
    TakePick pick = PickTake(folder, last == last_.end() ? std::string() : last->second, random);
    if (!pick.take.empty())
        last_[folder] = pick.take;
    return pick;
}

}  // namespace lifelike
