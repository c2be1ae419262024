#pragma once
// The file picker for sounds and movies: one filter, no owner, and it starts
// where it was last left (the first time in the sample-noises folder), and a
// preview pane plays the highlighted file.
#include <functional>
#include <optional>

#include "CString.h"

class FilePicker {
public:
    // The chosen path, any length; nothing when the user cancelled.
    static std::optional<CString> PickSoundOrMovie();

    // Lets tests answer in the picker's place (an empty function restores it).
    static void ReplaceForTests(std::function<std::optional<CString>()> picker);
};
