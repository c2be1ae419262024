#include "CScheduleDlg.h"

#include <QSlider>

#include "CNoisesDlg.h"
#include "DialogControls.h"
#include "DialogResources.h"
#include "DialogText.h"
#include "GuardSettings.h"
#include "NoisePlayer.h"

namespace {

constexpr int kSliderMaximum = 240;
constexpr int kSliderPage = 30;
constexpr int kShortestInterval = 5;
constexpr int kDefaultInterval = 60;

// Stored 1..24; shown on a 12-hour dial with am (0) or pm (1).
void ToDial(int stored, int& hour12, int& pm)
{
    hour12 = stored > 12 ? stored - 12 : stored;
    pm = stored > 12 ? 1 : 0;
}

int FromDial(int hour12, int pm)
{
    return hour12 + (pm == 1 ? 12 : 0);
}

// Names the locale cannot decode all show alike; the entry with the very
// bytes of the stored name is the one it means.
int SameBytes(const SortedComboBox& list, const CString& name)
{
    for (int i = 0; i < list.count(); ++i)
        if (list.BytesAt(i) == name)
            return i;
    return -1;
}

}  // namespace

BEGIN_MESSAGE_MAP(CScheduleDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_HSCROLL()
    ON_BN_CLICKED(IDC_EDIT_NOISES, OnEditNoises)
    ON_BN_CLICKED(IDC_PREVIEW, OnPreview)
    ON_CBN_SELCHANGE(1007, OnNoiseSelChange)
    ON_CBN_SELCHANGE(1008, OnNoiseSelChange)
    ON_CBN_SELCHANGE(1009, OnNoiseSelChange)
    ON_CBN_SELCHANGE(1029, OnNoiseSelChange)
    ON_CBN_SELCHANGE(1036, OnNoiseSelChange)
END_MESSAGE_MAP()

CScheduleDlg::CScheduleDlg(QWidget* parent) : CDialog(IDD_SCHEDULE, parent) {}

void CScheduleDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    const ScheduleRowIds& first = kScheduleRows[0];
    DDX_CBString(pDX, first.noiseList, rows[0].noiseName);
    DDX_Text(pDX, first.repeat, rows[0].repeatCount);
    DDV_MinMaxInt(pDX, first.repeat, rows[0].repeatCount, 1, 9);
    DDX_Text(pDX, first.hours, rows[0].hours);
    DDV_MinMaxInt(pDX, first.hours, rows[0].hours, 0, 24);
    DDX_Text(pDX, first.minutes, rows[0].minutes);
    DDV_MinMaxInt(pDX, first.minutes, rows[0].minutes, 0, 59);
    DDX_Radio(pDX, first.random, rows[0].mode);
    for (int r = 1; r < 5; ++r)
        DDX_CBString(pDX, kScheduleRows[r].noiseList, rows[r].noiseName);
    for (int r = 1; r < 5; ++r) {
        DDX_Text(pDX, kScheduleRows[r].repeat, rows[r].repeatCount);
        DDV_MinMaxInt(pDX, kScheduleRows[r].repeat, rows[r].repeatCount, 1, 9);
    }
    for (int r = 1; r < 5; ++r) {
        DDX_Text(pDX, kScheduleRows[r].hours, rows[r].hours);
        DDV_MinMaxInt(pDX, kScheduleRows[r].hours, rows[r].hours, 0, 24);
    }
    for (int r = 1; r < 5; ++r) {
        DDX_Text(pDX, kScheduleRows[r].minutes, rows[r].minutes);
        DDV_MinMaxInt(pDX, kScheduleRows[r].minutes, rows[r].minutes, 0, 59);
    }
    for (int r = 1; r < 5; ++r)
        DDX_Radio(pDX, kScheduleRows[r].random, rows[r].mode);
    DDX_Text(pDX, IDC_QUIET_TO, toHour12);
    DDV_MinMaxInt(pDX, IDC_QUIET_TO, toHour12, 1, 12);
    DDX_Text(pDX, IDC_QUIET_FROM, fromHour12);
    DDV_MinMaxInt(pDX, IDC_QUIET_FROM, fromHour12, 1, 12);
    DDX_Radio(pDX, IDC_QUIET_TO_AM, toPm);
    DDX_Radio(pDX, IDC_QUIET_FROM_AM, fromPm);
}

BOOL CScheduleDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    for (int r = 0; r < 5; ++r) {
        const NoiseSlot& slot = GuardSettings.slots[r];
        auto* slider = qobject_cast<QSlider*>(GetDlgItem(kScheduleRows[r].slider));
        int minutes = slot.intervalMinutes < kShortestInterval ? kDefaultInterval : slot.intervalMinutes;
        const QSignalBlocker quiet(slider);
        slider->setPageStep(kSliderPage);
        slider->setRange(0, kSliderMaximum);
        slider->setValue(minutes);
        rows[r].hours = minutes / 60;
        rows[r].minutes = minutes % 60;
        rows[r].mode = slot.mode;
        rows[r].repeatCount = slot.repeatCount < 1 || slot.repeatCount > 9 ? 1 : slot.repeatCount;
    }
    ToDial(GuardSettings.quietWindow.quietFromHour, fromHour12, fromPm);
    ToDial(GuardSettings.quietWindow.quietToHour, toHour12, toPm);
    UpdateData(FALSE);
    GetDlgItem(kScheduleRows[0].noiseList)->setFocus();
    return TRUE;
}

void CScheduleDlg::RefillNoiseLists()
{
    for (int r = 0; r < 5; ++r) {
        auto* list = qobject_cast<SortedComboBox*>(GetDlgItem(kScheduleRows[r].noiseList));
        const QSignalBlocker quiet(list);
        list->clear();
        for (int i = 0; i < GuardSettings.library.noiseCount; ++i)
            list->AddString(GuardSettings.library.noises[i].name);
        list->AddString(kNothing);
        rows[r].noiseName = GuardSettings.slots[r].noiseName;
        int index = SameBytes(*list, rows[r].noiseName);
        if (index < 0)
            index = list->FindStringExact(ToQString(rows[r].noiseName));
        if (index < 0)
            index = list->FindStringExact(kNothing);
        list->setCurrentIndex(index < 0 ? 0 : index);
    }
}

void CScheduleDlg::OnPaint()
{
    RefillNoiseLists();
}

void CScheduleDlg::OnHScroll(UINT, int position, void* control)
{
    for (int r = 0; r < 5; ++r) {
        if (GetDlgItem(kScheduleRows[r].slider) != control)
            continue;
        rows[r].hours = position / 60;
        rows[r].minutes = position % 60;
        UpdateData(FALSE);
    }
}

void CScheduleDlg::OnNoiseSelChange()
{
    UpdateData(TRUE);
}

void CScheduleDlg::StoreSlots()
{
    for (int r = 0; r < 5; ++r) {
        NoiseSlot& slot = GuardSettings.slots[r];
        slot.noiseName = rows[r].noiseName;
        slot.intervalMinutes = rows[r].hours * 60 + rows[r].minutes;
        slot.mode = rows[r].mode;
        slot.repeatCount = rows[r].repeatCount;
        const int found = FindNoise(slot.noiseName);
        slot.filePath = found >= 0 ? GuardSettings.library.noises[found].path : CString(kNone);
        slot.nextDue = unscheduledMark;
    }
}

void CScheduleDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    GuardSettings.quietWindow.quietFromHour = FromDial(fromHour12, fromPm);
    GuardSettings.quietWindow.quietToHour = FromDial(toHour12, toPm);
    StoreSlots();
    EndDialog(IDOK);
}

void CScheduleDlg::OnPreview()
{
    if (!UpdateData(TRUE))
        return;
    StoreSlots();
    for (int s = 0; s < kSlotCount; ++s) {
        const NoiseSlot& slot = GuardSettings.slots[s];
        if (!(slot.filePath == kNone))
            PlayNoise(CString(slot.filePath), slot.repeatCount, s, slot.noiseName);
    }
}

void CScheduleDlg::OnEditNoises()
{
    CNoisesDlg noises;
    noises.DoModal();
    RefillNoiseLists();
}
