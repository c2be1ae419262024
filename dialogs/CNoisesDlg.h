#pragma once
#include "CDialog.h"

class SortedListBox;

// "Add or Delete Noises": every change goes into the library at once.
class CNoisesDlg : public CDialog {
public:
    explicit CNoisesDlg(QWidget* parent = nullptr);

    void OnAddNoise();
    void OnDeleteNoise();

protected:
    BOOL OnInitDialog() override;

private:
    SortedListBox* NoiseList() const;

    DECLARE_MESSAGE_MAP()
};
