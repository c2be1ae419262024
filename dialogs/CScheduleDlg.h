#pragma once
// "So, What Do You Want the Vorn to do?": the five rows and the quiet window.
// It works on GuardSettings directly: OK and Preview store the rows, OK the
// quiet window too; the noise lists are refilled from the library at every paint.
#include "CDialog.h"
#include "CString.h"

class CScheduleDlg : public CDialog {
public:
    explicit CScheduleDlg(QWidget* parent = nullptr);

    struct ScheduleRow {
        CString noiseName;
        int repeatCount = 0;
        int hours = 0;
        int minutes = 0;
        int mode = 0;
    };
    ScheduleRow rows[5];
    int fromHour12 = 0;
    int toHour12 = 0;
    int fromPm = 0;
    int toPm = 0;

    void RefillNoiseLists();
    void StoreSlots();
    void OnPaint();
    void OnHScroll(UINT code, int position, void* control);
    void OnNoiseSelChange();
    void OnPreview();
    void OnEditNoises();
    void OnOK() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

private:
    DECLARE_MESSAGE_MAP()
};
