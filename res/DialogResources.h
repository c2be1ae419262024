#pragma once
// Dialog template ids and the ids of their controls.
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_HELP = 139;
inline constexpr int IDD_PROBLEMS = 140;

inline constexpr int IDC_TEXT = 1006;

inline constexpr int IDD_NOISES = 133;
inline constexpr int IDD_SCHEDULE = 134;
inline constexpr int IDD_NAME_EVENT = 137;

// "Add or Delete Noises"
inline constexpr int IDC_ADD_NOISE = 1001;
inline constexpr int IDC_DELETE_NOISE = 1002;
inline constexpr int IDC_NOISE_LIST = 1003;
// "Name the Event"
inline constexpr int IDC_FILE_NAME = 1004;
inline constexpr int IDC_EVENT_NAME = 1005;

// The schedule dialog: one row of controls per slot.
struct ScheduleRowIds {
    int noiseList, slider, hours, minutes, repeat, random, exact, top;
};
inline constexpr ScheduleRowIds kScheduleRows[5] = {
    {1007, 1017, 1010, 1016, 1011, 1013, 1014, 18},
    {1008, 1018, 1012, 1019, 1020, 1021, 1022, 60},
    {1009, 1023, 1024, 1025, 1026, 1027, 1028, 103},
    {1029, 1030, 1031, 1032, 1033, 1034, 1035, 148},
    {1036, 1037, 1038, 1039, 1040, 1041, 1042, 190},
};
inline constexpr int IDC_QUIET_FROM = 1043;
inline constexpr int IDC_QUIET_FROM_AM = 1048;
inline constexpr int IDC_QUIET_FROM_PM = 1044;
inline constexpr int IDC_QUIET_TO = 1045;
inline constexpr int IDC_QUIET_TO_AM = 1049;
inline constexpr int IDC_QUIET_TO_PM = 1046;
inline constexpr int IDC_EDIT_NOISES = 1000;
inline constexpr int IDC_PREVIEW = 1015;
inline constexpr int IDC_SCHEDULE_DUMMY = 1047;
