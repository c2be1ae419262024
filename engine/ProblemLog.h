#pragma once
// The lines the problem report shows: failed plays and quiet-window holds.
#include "CString.h"

inline constexpr int kProblemLineCapacity = 100;
inline constexpr int kProblemLinesShown = 95;

struct ProblemLogRecord {
    CString problemLines[kProblemLineCapacity];
    int problemCount = 0;

    // Once 95 lines are held, each further line overwrites the one just after
    // them, which the report never shows.
    void Append(const CString& line);
    // The old texts stay in the array; they are simply no longer counted.
    void Empty() { problemCount = 0; }
};

extern ProblemLogRecord ProblemLog;
