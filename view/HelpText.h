#pragma once
#include "CString.h"

// The help window's text: its lines joined by "\r\n", with one more after the last.
CString HelpText();
