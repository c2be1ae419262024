#include "CNoisesDlg.h"

#include "CNameEventDlg.h"
#include "DialogControls.h"
#include "DialogResources.h"
#include "DialogText.h"
#include "GuardEvents.h"
#include "GetOpenFileNamePreview.h"
#include "GuardSettings.h"
#include "Messenger.h"

namespace {

// One filter, in the old double-terminated form (the literal adds the last terminator).
constexpr char kSoundsAndMovies[] = "Sounds and Movies(*.avi,*.wav)\0*.wav;*.avi\0";

CString ListLine(const Noise& noise)
{
    return noise.name + "\t" + noise.path;
}

}  // namespace

BEGIN_MESSAGE_MAP(CNoisesDlg, CDialog)
    ON_BN_CLICKED(IDC_ADD_NOISE, OnAddNoise)
    ON_BN_CLICKED(IDC_DELETE_NOISE, OnDeleteNoise)
END_MESSAGE_MAP()

CNoisesDlg::CNoisesDlg(QWidget* parent) : CDialog(IDD_NOISES, parent) {}

SortedListBox* CNoisesDlg::NoiseList() const
{
    return qobject_cast<SortedListBox*>(GetDlgItem(IDC_NOISE_LIST));
}

BOOL CNoisesDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    const NoiseLibrary& library = GuardSettings.library;
    for (int i = 0; i < library.noiseCount; ++i)
        if (!library.noises[i].name.IsEmpty())
            NoiseList()->AddString(ListLine(library.noises[i]));
    return TRUE;
}

void CNoisesDlg::OnAddNoise()
{
    NoiseLibrary& library = GuardSettings.library;
    if (library.noiseCount >= kMaxNoises) {
        platform::InstalledMessenger().ShowMessage(
            "The noise library is full: it holds 100 noises. Delete one before adding another.");
        return;
    }
    // No owner, folder, title or flags: the picker's own defaults.  Any
    // length of path is taken: the settings file stores it whole.
    win::OPENFILENAMEA ofn;
    ofn.lpstrFilter = kSoundsAndMovies;
    if (!win::GetOpenFileNamePreviewA(&ofn))
        return;
    CNameEventDlg nameDlg;
    nameDlg.m_fileName = ofn.file;
    nameDlg.DoModal();
    if (nameDlg.m_eventName.IsEmpty())
        return;
    Noise& added = library.noises[library.noiseCount];
    added.name = nameDlg.m_eventName;
    added.path = ofn.file;
    ++library.noiseCount;
    NoiseList()->AddString(ListLine(added));
    InstalledGuardEvents().LibraryChanged();
}

void CNoisesDlg::OnDeleteNoise()
{
    SortedListBox* list = NoiseList();
    const int selected = list->currentRow();
    if (selected < 0 || !list->item(selected)->isSelected())
        return;
    const CString line = list->BytesAt(selected);
    const int tab = line.Find('\t');
    const CString key = tab < 0 ? line : line.Left(tab);
    NoiseLibrary& library = GuardSettings.library;
    const int found = FindNoise(key);
    if (found >= 0) {
        for (int j = found; j < library.noiseCount - 1; ++j)
            library.noises[j] = library.noises[j + 1];
        --library.noiseCount;
        library.noises[library.noiseCount] = Noise{};
        InstalledGuardEvents().LibraryChanged();
    }
    delete list->takeItem(selected);
    // The old list box selected nothing after a delete: a second press must
    // not take the next noise with it.
    list->setCurrentRow(-1);
    list->clearSelection();
}
