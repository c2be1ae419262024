#pragma once
// "Away from ... until ...": the day and time the person leaves and the day
// and time they are back; Clear forgets them.
#include <QDialog>
#include <optional>

#include "AwaySpan.h"

class QDateTimeEdit;
class QLabel;

namespace trip {

class AwayDialog final : public QDialog {
    Q_OBJECT
public:
    // `span`: the one set now, if any.
    AwayDialog(std::optional<AwaySpan> span, QWidget* parent = nullptr);

    // After OK: the span chosen, or none when Clear was pressed.
    std::optional<AwaySpan> Chosen() const { return chosen_; }

    QDateTimeEdit* FromField() const { return from_; }
    QDateTimeEdit* UntilField() const { return until_; }

private:
    void Accept();

    QDateTimeEdit* from_;
    QDateTimeEdit* until_;
    QLabel* error_;
    std::optional<AwaySpan> chosen_;
};

}  // namespace trip
