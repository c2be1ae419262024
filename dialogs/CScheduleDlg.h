#pragma once
// FIXME: the schedule dialog (five rows, quiet window, Preview, Edit Noises)
// is not built yet; this opens an empty dialog with the right caption so the
// command and its save after closing already work.
#include "CDialog.h"

class CScheduleDlg : public CDialog {
public:
    explicit CScheduleDlg(QWidget* parent = nullptr);
};
