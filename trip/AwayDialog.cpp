#include "AwayDialog.h"

#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace trip {

namespace {

QDateTime ToQt(CTime at)
{
    return QDateTime::fromSecsSinceEpoch(at.GetTime());
}

// The fields show minutes: the span is what they show, not the seconds of
// the moment the dialog opened.
CTime FromQt(QDateTime at)
{
    at.setTime(QTime(at.time().hour(), at.time().minute()));
    return CTime(at.toSecsSinceEpoch());
}

}  // namespace

AwayDialog::AwayDialog(std::optional<AwaySpan> span, QWidget* parent)
    : QDialog(parent), from_(new QDateTimeEdit(this)), until_(new QDateTimeEdit(this)), error_(new QLabel(this))
{
    setWindowTitle(QStringLiteral("Away"));
    const CTime now = CTime::GetCurrentTime();
    // None set yet: from now until the same time a week later.
    const AwaySpan shown = span.value_or(AwaySpan{now, now + CTimeSpan(7 * 86400)});
    for (QDateTimeEdit* field : {from_, until_}) {
        field->setCalendarPopup(true);
        field->setDisplayFormat(QStringLiteral("ddd d MMM yyyy  HH:mm"));
    }
    from_->setDateTime(ToQt(shown.from));
    until_->setDateTime(ToQt(shown.until));
    error_->setObjectName(QStringLiteral("error"));
    error_->setStyleSheet(QStringLiteral("color: #b00020"));
    error_->hide();

    auto* form = new QFormLayout;
    auto* fromLabel = new QLabel(QStringLiteral("I &leave on:"), this);
    fromLabel->setBuddy(from_);
    auto* untilLabel = new QLabel(QStringLiteral("I am &back on:"), this);
    untilLabel->setBuddy(until_);
    form->addRow(fromLabel, from_);
    form->addRow(untilLabel, until_);
    auto* note = new QLabel(QStringLiteral("Mervo goes on duty when you leave and off duty when you are back. "
                                           "Turning him off while you are away ends it: somebody is home."),
                            this);
    note->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* clear = buttons->addButton(QStringLiteral("C&lear"), QDialogButtonBox::DestructiveRole);
    clear->setEnabled(span.has_value());
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(error_);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &AwayDialog::Accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(clear, &QPushButton::clicked, this, [this] {
        chosen_.reset();
        accept();
    });
    setMinimumWidth(fontMetrics().averageCharWidth() * 56);
}

void AwayDialog::Accept()
{
    const AwaySpan span{FromQt(from_->dateTime()), FromQt(until_->dateTime())};
    if (!(span.from < span.until)) {
        error_->setText(QStringLiteral("You are back after you leave: the second time is the later one."));
        error_->show();
        return;
    }
    if (span.until < CTime::GetCurrentTime()) {
        error_->setText(QStringLiteral("That time is past: you are back before now."));
        error_->show();
        return;
    }
    chosen_ = span;
    accept();
}

}  // namespace trip
