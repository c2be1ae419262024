#include "ExtrasDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

#include "GuardAccess.h"
#include "LocalDay.h"
#include "RowHours.h"
#include "SunTimes.h"
#include "ZonePlace.h"

namespace lifelike {

namespace {

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

QString ClockText(const std::optional<CTime>& at)
{
    return at ? Q(at->Format("%H:%M").str()) : QStringLiteral("none");
}

}  // namespace

ExtrasDialog::ExtrasDialog(GuardAccess& guard, const std::string& path, QWidget* parent)
    : QDialog(parent),
      guard_(guard),
      path_(path),
      snapshot_(guard.Snapshot()),
      latitude_(new QLineEdit(this)),
      longitude_(new QLineEdit(this)),
      sun_(new QLabel(this)),
      error_(new QLabel(this))
{
    setWindowTitle(QStringLiteral("Hours, Levels and Excerpts"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    auto* layout = new QVBoxLayout(this);

    // The zone's own place stands in for an empty field, and says so.
    const ZoneSources zone = ZoneSources::OfThisProcess();
    const std::optional<Place> zonePlace = PlaceOfLocalZone(zone);
    const QString zoneName = Q(LocalZoneName(zone).value_or("the time zone"));
    latitude_->setPlaceholderText(zonePlace ? QStringLiteral("%1 (%2)").arg(Q(FormatDegrees(zonePlace->latitude)), zoneName)
                                            : QStringLiteral("north positive"));
    longitude_->setPlaceholderText(zonePlace ? QStringLiteral("%1 (%2)").arg(Q(FormatDegrees(zonePlace->longitude)), zoneName)
                                             : QStringLiteral("east positive"));
    auto* place = new QGroupBox(QStringLiteral("Where the sun rises and sets"), this);
    auto* placeGrid = new QGridLayout(place);
    auto* latitudeLabel = new QLabel(QStringLiteral("L&atitude:"), place);
    latitudeLabel->setBuddy(latitude_);
    auto* longitudeLabel = new QLabel(QStringLiteral("L&ongitude:"), place);
    longitudeLabel->setBuddy(longitude_);
    placeGrid->addWidget(latitudeLabel, 0, 0);
    placeGrid->addWidget(latitude_, 0, 1);
    placeGrid->addWidget(longitudeLabel, 0, 2);
    placeGrid->addWidget(longitude_, 0, 3);
    sun_->setObjectName(QStringLiteral("sun"));
    placeGrid->addWidget(sun_, 1, 0, 1, 4);
    layout->addWidget(place);

    auto* grid = new QGridLayout;
    const char* headings[] = {"Row", "&From", "&Until", "&Level (dB)", "&Excerpt"};
    for (int column = 0; column < 5; ++column)
        grid->addWidget(new QLabel(QString::fromUtf8(headings[column]), this), 0, column);
    for (int row = 0; row < kExtrasRows; ++row) {
        const NoiseSlot& slot = snapshot_.slots[row];
        const QString noise = slot.noiseName == kNothing || slot.noiseName.IsEmpty() ? QStringLiteral("(nothing)")
                                                                                      : Q(slot.noiseName.str());
        grid->addWidget(new QLabel(QStringLiteral("%1. %2").arg(row + 1).arg(noise), this), row + 1, 0);
        RowFields& fields = rows_[static_cast<size_t>(row)];
        fields = {new QLineEdit(this), new QLineEdit(this), new QLineEdit(this), new QLineEdit(this)};
        fields.from->setPlaceholderText(QStringLiteral("any time"));
        fields.until->setPlaceholderText(QStringLiteral("any time"));
        fields.level->setPlaceholderText(QStringLiteral("as recorded"));
        fields.excerpt->setPlaceholderText(QStringLiteral("whole"));
        int column = 1;
        for (QLineEdit* field : {fields.from, fields.until, fields.level, fields.excerpt}) {
            field->setObjectName(QStringLiteral("row%1.%2").arg(row + 1).arg(column));
            grid->addWidget(field, row + 1, column++);
        }
        if (row == 0)
            for (int column2 = 1; column2 < 5; ++column2)
                static_cast<QLabel*>(grid->itemAtPosition(0, column2)->widget())
                    ->setBuddy(grid->itemAtPosition(1, column2)->widget());
    }
    layout->addLayout(grid);
    auto* hint = new QLabel(QStringLiteral("From and until: a clock time (18:30), or sunrise or sunset with minutes "
                                           "(sunset+20). Level: the range a play's loudness is drawn from (-9..0). "
                                           "Excerpt: how long a part of a longer recording plays (30m, 1h)."),
                            this);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    error_->setObjectName(QStringLiteral("error"));
    error_->setWordWrap(true);
    error_->setStyleSheet(QStringLiteral("color: #a00000"));
    error_->hide();
    layout->addWidget(error_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    Fill(snapshot_.extras);
    connect(latitude_, &QLineEdit::textChanged, this, &ExtrasDialog::ShowSunTimes);
    connect(longitude_, &QLineEdit::textChanged, this, &ExtrasDialog::ShowSunTimes);
    ShowSunTimes();
}

void ExtrasDialog::Fill(const ScheduleExtras& extras)
{
    if (extras.place) {
        latitude_->setText(Q(FormatDegrees(extras.place->latitude)));
        longitude_->setText(Q(FormatDegrees(extras.place->longitude)));
    }
    for (int row = 0; row < kExtrasRows; ++row) {
        const RowExtras& r = extras.rows[static_cast<size_t>(row)];
        const RowFields& fields = rows_[static_cast<size_t>(row)];
        fields.from->setText(r.hours.from ? Q(FormatDayTime(*r.hours.from)) : QString());
        fields.until->setText(r.hours.until ? Q(FormatDayTime(*r.hours.until)) : QString());
        fields.level->setText(r.level ? Q(FormatLevel(*r.level)) : QString());
        fields.excerpt->setText(r.excerptSeconds ? Q(FormatExcerpt(*r.excerptSeconds)) : QString());
    }
}

void ExtrasDialog::ShowSunTimes()
{
    const std::optional<double> latitude = ParseDegrees(latitude_->text().toStdString(), 90);
    const std::optional<double> longitude = ParseDegrees(longitude_->text().toStdString(), 180);
    std::optional<Place> place;
    if (latitude && longitude)
        place = Place{*latitude, *longitude};
    else if (latitude_->text().trimmed().isEmpty() && longitude_->text().trimmed().isEmpty())
        place = PlaceOfLocalZone(ZoneSources::OfThisProcess());
    if (!place) {
        sun_->setText(QStringLiteral("Today's sunrise and sunset: unknown without a place."));
        return;
    }
    const LocalDate today = DateOf(CTime::GetCurrentTime());
    const SunDay sun = SunOn(*place, today.year, today.month, today.day);
    sun_->setText(QStringLiteral("Today there: sunrise %1, sunset %2.").arg(ClockText(sun.sunrise), ClockText(sun.sunset)));
}

std::optional<ScheduleExtras> ExtrasDialog::Read()
{
    ScheduleExtras extras;
    const auto refuse = [this](QLineEdit* field, const QString& why) {
        error_->setText(why);
        error_->show();
        field->setFocus();
        field->selectAll();
        return std::nullopt;
    };
    const QString lat = latitude_->text().trimmed(), lon = longitude_->text().trimmed();
    if (!lat.isEmpty() || !lon.isEmpty()) {
        const std::optional<double> latitude = ParseDegrees(lat.toStdString(), 90);
        if (!latitude)
            return refuse(latitude_, QStringLiteral("The latitude is a number from -90 to 90, north positive (52.52)."));
        const std::optional<double> longitude = ParseDegrees(lon.toStdString(), 180);
        if (!longitude)
            return refuse(longitude_, QStringLiteral("The longitude is a number from -180 to 180, east positive (13.41)."));
        extras.place = Place{*latitude, *longitude};
    }
    for (int row = 0; row < kExtrasRows; ++row) {
        const RowFields& fields = rows_[static_cast<size_t>(row)];
        RowExtras& r = extras.rows[static_cast<size_t>(row)];
        const QString where = QStringLiteral("Row %1: ").arg(row + 1);
        for (auto [field, time] : {std::pair{fields.from, &r.hours.from}, std::pair{fields.until, &r.hours.until}}) {
            const QString text = field->text().trimmed();
            if (text.isEmpty())
                continue;
            *time = ParseDayTime(text.toStdString());
            if (!*time)
                return refuse(field, where + QStringLiteral("a time is 18:30, sunrise, sunset, or one of them with "
                                                            "minutes added or taken (sunset+20, sunrise-30)."));
        }
        if (r.hours.from && r.hours.until && *r.hours.from == *r.hours.until)
            return refuse(fields.until, where + QStringLiteral("from and until are the same: the row would have no hours."));
        if (NeverOpen(r.hours))
            return refuse(fields.until, where + QStringLiteral("these hours end before they begin on every day, so the "
                                                               "row would never play (for hours past midnight, until "
                                                               "is a morning time and from is not)."));
        if (const QString text = fields.level->text().trimmed(); !text.isEmpty()) {
            r.level = ParseLevel(text.toStdString());
            if (!r.level)
                return refuse(fields.level, where + QStringLiteral("a level is LOW..HIGH in dB, from -30 to 0, the "
                                                                   "lower first (-9..0)."));
        }
        if (const QString text = fields.excerpt->text().trimmed(); !text.isEmpty()) {
            r.excerptSeconds = ParseExcerpt(text.toStdString());
            if (!r.excerptSeconds)
                return refuse(fields.excerpt, where + QStringLiteral("an excerpt is a whole number of seconds, minutes "
                                                                     "or hours, at least 10 s (45s, 30m, 1h)."));
        }
    }
    return extras;
}

void ExtrasDialog::accept()
{
    const std::optional<ScheduleExtras> extras = Read();
    if (!extras)
        return;
    // The file is written anew: what it held that could not be read is lost.
    if (!snapshot_.extrasProblems.empty()) {
        QString lines;
        for (const std::string& problem : snapshot_.extrasProblems)
            lines += QStringLiteral("\n") + Q(problem);
        if (QMessageBox::question(this, windowTitle(),
                                  QStringLiteral("%1 holds lines that could not be read; writing it anew drops them:\n%2"
                                                 "\n\nWrite it anew?")
                                      .arg(Q(path_), lines)) != QMessageBox::Yes)
            return;
    }
    std::string error;
    if (!WriteExtras(path_, *extras, &error)) {
        QMessageBox::warning(this, windowTitle(), QStringLiteral("%1 could not be written: %2").arg(Q(path_), Q(error)));
        return;
    }
    guard_.SetScheduleExtras(*extras);
    QDialog::accept();
}

}  // namespace lifelike
