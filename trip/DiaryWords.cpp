#include "DiaryWords.h"

#include "Diary.h"

namespace trip::words {

std::vector<std::string> WritePlayFields(const PlayFields& play)
{
    std::vector<std::string> fields{play.path, play.noise, play.excerpt, play.reason};
    if (play.fromTheBroker)
        fields.emplace_back(kFromTheBroker);
    return fields;
}

// Lines of this shape have at least four fields; the older ones at most three.
PlayFields ReadPlayFields(const std::vector<std::string>& fields)
{
    PlayFields play;
    std::vector<std::string> rest = fields;
    if (!rest.empty() && rest.back() == kFromTheBroker) {
        play.fromTheBroker = true;
        rest.pop_back();
    }
    if (!rest.empty())
        play.path = rest[0];
    if (fields.size() >= 4) {
        play.noise = rest.size() > 1 ? rest[1] : "";
        play.excerpt = rest.size() > 2 ? rest[2] : "";
        play.reason = rest.size() > 3 ? rest[3] : "";
    } else if (rest.size() > 1) {
        play.reason = rest[1];
    }
    return play;
}

}  // namespace trip::words
