#pragma once
// The one process-wide configuration record, its constants and the name lookup.
#include <cstdint>

#include "CString.h"
#include "CTime.h"

inline constexpr int kMaxNoises = 100;
inline constexpr int kSlotCount = 5;
// The noise name of a row without a noise, and the path of a row whose name is not in the library.
inline constexpr char kNothing[] = "NOTHING";
inline constexpr char kNone[] = "None";
// What the guard plays as it goes on duty: the view, and the plan that works
// out what it will do, play the same.
inline constexpr char kGuardOnSound[] = "c:\\qwendrik\\thanks.wav";
inline constexpr std::int32_t kModeRandom = 0;
inline constexpr std::int32_t kModeExact = 1;

struct Noise {
    CString name;
    CString path;
};

struct NoiseLibrary {
    std::int32_t noiseCount = 0;
    Noise noises[kMaxNoises];
};

struct NoiseSlot {
    CString noiseName;
    CString filePath;
    std::int32_t intervalMinutes = 0;
    std::int32_t mode = kModeRandom;
    std::int32_t repeatCount = 0;
    CTime nextDue;
};

struct QuietWindow {
    std::int32_t quietFromHour = 0;
    std::int32_t quietToHour = 0;
};

struct GuardSettingsRecord {
    NoiseLibrary library;
    NoiseSlot slots[kSlotCount];
    QuietWindow quietWindow;
};

extern GuardSettingsRecord GuardSettings;

// Local 1 January 2020, 01:01:01: a slot whose nextDue equals it has no due time yet.
extern const CTime unscheduledMark;

// "c:\qwendrik\noises.hwt": the settings file.
extern const char SettingsPath[];

// Index of the last library entry named exactly `name`, or -1.
int FindNoise(const CString& name);
