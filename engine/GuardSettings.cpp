#include "GuardSettings.h"

GuardSettingsRecord GuardSettings;

const CTime unscheduledMark(2020, 1, 1, 1, 1, 1, -1);

const char SettingsPath[] = "c:\\qwendrik\\noises.hwt";

int FindNoise(const CString& name)
{
    const NoiseLibrary& library = GuardSettings.library;
    int result = -1;
    for (int i = 0; i < library.noiseCount && i < kMaxNoises; ++i)
        if (win::_mbscmp(library.noises[i].name, name) == 0)
            result = i;
    return result;
}
