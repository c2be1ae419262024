#include "ProblemLog.h"

ProblemLogRecord ProblemLog;

void ProblemLogRecord::Append(const CString& line)
{
    problemLines[problemCount] = line;
    if (problemCount < kProblemLinesShown)
        ++problemCount;
}
