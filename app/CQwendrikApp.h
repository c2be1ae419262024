#pragma once
#include "CWinApp.h"

class CQwendrikApp : public CWinApp {
public:
    CQwendrikApp();

    BOOL InitInstance() override;
    void OnAppAbout();

    DECLARE_MESSAGE_MAP()
};
