#pragma once
// "Hours, Levels and Excerpts": for each schedule row the part of the day it
// keeps to, the range its loudness varies in and the length of the excerpt
// it plays of a long recording; and the place whose sunrise and sunset
// count.  OK writes noises.hwt.ini anew, beside the settings file.
#include <QDialog>
#include <array>

#include "ExtrasFile.h"
#include "GuardEvents.h"

class GuardAccess;
class QLabel;
class QLineEdit;

namespace lifelike {

class ExtrasDialog final : public QDialog {
    Q_OBJECT
public:
    ExtrasDialog(GuardAccess& guard, const std::string& path, QWidget* parent = nullptr);

    void accept() override;

private:
    struct RowFields {
        QLineEdit* from;
        QLineEdit* until;
        QLineEdit* level;
        QLineEdit* excerpt;
    };

    void Fill(const ScheduleExtras& extras);
    void ShowSunTimes();
    // What the fields say; the first field that does not parse is focused,
    // with why, and nothing is returned.
    std::optional<ScheduleExtras> Read();

    GuardAccess& guard_;
    std::string path_;
    GuardSnapshot snapshot_;
    QLineEdit* latitude_;
    QLineEdit* longitude_;
    QLabel* sun_;
    QLabel* error_;
    std::array<RowFields, kExtrasRows> rows_{};
};

}  // namespace lifelike
