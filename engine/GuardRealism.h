#pragma once
// What keeps the guard from sounding like a loop: a folder noise's takes, a
// row's loudness and excerpt, and the part of the day a row keeps to, read
// from the file beside the settings file.  The scheduler and the player ask
// here; the plan copies this record with the rest of the guard's state, so
// it foresees the very takes, levels and excerpts the guard will play.
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "CString.h"
#include "CTime.h"
#include "ExtrasFile.h"
#include "GuardSettings.h"
#include "LocalDay.h"
#include "PlayShape.h"
#include "RealismRandom.h"
#include "Takes.h"

struct GuardRealismRecord {
    lifelike::ScheduleExtras extras;
    // Where sun times are worked out: the file's place, else the time zone's.
    std::optional<lifelike::Place> place;
    // What of the file was ignored, for the person (writing the file anew
    // drops it), and why sun times have no place to be worked out at.
    std::vector<std::string> problems;
    std::string placeProblem;
    lifelike::RealismRandom random = lifelike::RealismRandom::FromEntropy();
    lifelike::TakeMemory takes;
    // Days already told to have no sunrise or sunset for a row.
    std::set<std::pair<int, lifelike::LocalDate>> sunlessTold;
};

extern GuardRealismRecord GuardRealism;

// noises.hwt.ini in the home folder, beside the settings file.
std::string ExtrasPath();

// Reads the file anew (a missing one means no extras) and finds the place;
// the problem lines are kept in GuardRealism.
void LoadGuardRealism();
// Every line the person is to read of it: the file's, then the place's.
std::vector<std::string> RealismProblems();
// Takes extras the person just set (the file already written).
void SetScheduleExtras(const lifelike::ScheduleExtras& extras);

// The row's due moment kept to its hours: `due` itself inside them (or for
// a row without hours), else the next start of them, and for a Random row a
// random delay of up to half its interval after it.
CTime KeepToHours(int row, const NoiseSlot& slot, CTime due);
bool OutsideHours(int row, CTime moment);
// Whether any row keeps to hours: its due time may then lie a day or more
// ahead, and must not carry the guard past the other rows'.
bool AnyRowKeepsHours();

// One play of a library noise: the file (a take, for a folder), or why there
// is none, and how it is shaped (a row's level and excerpt; a row of -1 is a
// press from elsewhere, played as recorded).
struct ShapedPlay {
    CString path;
    std::string failure;  // "no takes in <folder>"
    platform::PlayShape shape;
};
ShapedPlay ShapePlay(const CString& path, int row);

// Whether the noise shows a picture: a movie, or a folder with a movie among
// its takes.
bool ShowsMovie(const CString& path);

// "from 1:12:40 for 30:00"; empty for a whole play.
std::string ExcerptText(const std::optional<platform::PlayedPart>& part);
