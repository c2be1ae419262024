#pragma once
// What the command line asks for: a new document, or the file it names.
#include "CString.h"

class CCommandLineInfo {
public:
    enum ShellCommand { FileNew, FileOpen };

    // Called for each argument after the program's name.  Options (a leading
    // '-') are not the program's and are passed over; the first other
    // argument is the file to open.
    void ParseParam(const char* param)
    {
        if (!param || param[0] == '-' || m_nShellCommand == FileOpen)
            return;
        m_nShellCommand = FileOpen;
        m_strFileName = param;
    }

    ShellCommand m_nShellCommand = FileNew;
    CString m_strFileName;
};
