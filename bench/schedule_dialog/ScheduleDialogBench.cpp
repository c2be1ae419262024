// Prints, for an empty library and for a full one (100 noises), the median
// time from DoModal to the end of the dialog's first paint, the refills seen
// in the first 300 ms the dialog is open, and the time of one refill.
#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "CScheduleDlg.h"
#include "DialogResources.h"
#include "GuardSettings.h"

namespace {

constexpr int kSettleMs = 300;

void FillSettings(int noises)
{
    GuardSettings = GuardSettingsRecord{};
    std::srand(7);
    for (int i = 0; i < noises; ++i) {
        const std::string name = "Noise " + std::to_string(std::rand() % 1000) + " of the house";
        GuardSettings.library.noises[i] = Noise{name, "/home/someone/Sounds/" + name + ".wav"};
    }
    GuardSettings.library.noiseCount = noises;
    for (int r = 0; r < kSlotCount; ++r) {
        const CString name = noises > r ? GuardSettings.library.noises[r * 17 % noises].name : CString(kNothing);
        GuardSettings.slots[r] = NoiseSlot{name, kNone, 45 + r * 30, kModeRandom, 2, CTime()};
    }
    GuardSettings.quietWindow = {23, 6};
}

struct Opening {
    double firstPaintMs = 0;
    int refills = 0;
    double refillMs = 0;
};

// Watches the application for the schedule dialog's first paint.
class FirstPaintWatch : public QObject {
public:
    std::function<void(QWidget*)> onFirstPaint;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (event->type() == QEvent::Paint && dialog && !seen_) {
            seen_ = true;
            // After this paint and the controls painted with it.
            QTimer::singleShot(0, dialog, [this, dialog] { onFirstPaint(dialog); });
        }
        return false;
    }

private:
    bool seen_ = false;
};

Opening OpenOnce(int noises, bool timeRefill)
{
    FillSettings(noises);
    Opening opening;
    CScheduleDlg dlg;
    FirstPaintWatch watch;
    QElapsedTimer clock;
    watch.onFirstPaint = [&](QWidget*) {
        opening.firstPaintMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        auto* list = qobject_cast<QComboBox*>(dlg.GetDlgItem(kScheduleRows[0].noiseList));
        // Every refill ends each list with its "NOTHING".
        QObject::connect(list->model(), &QAbstractItemModel::rowsInserted, list, [&opening, list](const QModelIndex&, int first) {
            opening.refills += list->itemText(first) == kNothing;
        });
        opening.refills = 1;
        QTimer::singleShot(kSettleMs, dlg.Window(), [&] {
            if (timeRefill) {
                QElapsedTimer refill;
                refill.start();
                const int calls = 20;
                for (int i = 0; i < calls; ++i)
                    dlg.RefillNoiseLists();
                opening.refillMs = static_cast<double>(refill.nsecsElapsed()) / 1e6 / calls;
            }
            dlg.Window()->reject();
        });
    };
    qApp->installEventFilter(&watch);
    clock.start();
    dlg.DoModal();
    qApp->removeEventFilter(&watch);
    return opening;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 15;
    OpenOnce(0, false);
    OpenOnce(kMaxNoises, false);
    std::vector<double> empty, full;
    int emptyRefills = 0, fullRefills = 0;
    for (int i = 0; i < runs; ++i) {
        // Taking turns at going first, so neither pays for the other's close.
        Opening e, f;
        if (i % 2) {
            f = OpenOnce(kMaxNoises, false);
            e = OpenOnce(0, false);
        } else {
            e = OpenOnce(0, false);
            f = OpenOnce(kMaxNoises, false);
        }
        empty.push_back(e.firstPaintMs);
        full.push_back(f.firstPaintMs);
        emptyRefills = std::max(emptyRefills, e.refills);
        fullRefills = std::max(fullRefills, f.refills);
    }
    const Opening timed = OpenOnce(kMaxNoises, true);
    const double e = Median(empty), f = Median(full);
    std::printf("platform: %s, median of %d openings each\n", qPrintable(QApplication::platformName()), runs);
    std::printf("open to first paint: 100 noises %.1f ms, empty library %.1f ms, ratio %.2f\n", f, e, f / e);
    std::printf("refills in the first %d ms open (most in any opening): 100 noises %d, empty library %d\n", kSettleMs,
                fullRefills, emptyRefills);
    std::printf("one refill of the five lists with 100 noises: %.2f ms\n", timed.refillMs);
    return 0;
}
