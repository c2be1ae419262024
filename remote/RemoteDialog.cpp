#include "RemoteDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSysInfo>
#include <QVBoxLayout>

#include "BrokerAddress.h"
#include "RemoteControl.h"

namespace remote {

RemoteDialog::RemoteDialog(RemoteControl& control, QWidget* parent)
    : QDialog(parent),
      control_(control),
      broker_(new QLineEdit(this)),
      user_(new QLineEdit(this)),
      password_(new QLineEdit(this)),
      name_(new QLineEdit(this)),
      caFile_(new QLineEdit(this)),
      details_(new QCheckBox(QStringLiteral("Publish the away &dates and the noises' file paths"), this)),
      plainPassword_(new QLabel(this)),
      state_(new QLabel(this)),
      error_(new QLabel(this)),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Apply | QDialogButtonBox::Cancel, this))
{
    setWindowTitle(QStringLiteral("Remote Control"));
    broker_->setPlaceholderText(QStringLiteral("mqtts://broker.example:8883 (empty: off)"));
    password_->setEchoMode(QLineEdit::Password);
    name_->setPlaceholderText(QSysInfo::machineHostName());
    caFile_->setPlaceholderText(QStringLiteral("the system's certificates"));
    auto* browse = new QPushButton(QStringLiteral("Browse…"), this);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Certificate Authority"), caFile_->text(),
                                                          QStringLiteral("Certificates (*.pem *.crt);;All files (*)"));
        if (!file.isEmpty())
            caFile_->setText(file);
    });
    auto* caRow = new QHBoxLayout;
    caRow->addWidget(caFile_, 1);
    caRow->addWidget(browse);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Broker:"), broker_);
    form->addRow(QStringLiteral("&User:"), user_);
    form->addRow(QStringLiteral("&Password:"), password_);
    form->addRow(QStringLiteral("Device &name:"), name_);
    // A row of a field and a button takes no mnemonic by itself: its label
    // is made with the field as its buddy.
    auto* caLabel = new QLabel(QStringLiteral("&CA file:"), this);
    caLabel->setBuddy(caFile_);
    form->addRow(caLabel, caRow);

    details_->setToolTip(QStringLiteral("Off: whoever may read the broker learns only whether you are away and the noises' names."));
    plainPassword_->setObjectName(QStringLiteral("plainPassword"));
    plainPassword_->setWordWrap(true);
    plainPassword_->setStyleSheet(QStringLiteral("color: #b00020"));
    plainPassword_->setText(QStringLiteral("Without TLS the password crosses the network as it is typed, and anyone on the "
                                           "way can read it, and what the guard tells the broker: use mqtts://."));
    plainPassword_->hide();
    auto* topics = new QLabel(QStringLiteral("Topics: %1/… and homeassistant/…").arg(QString::fromStdString(control.TopicNames().base)), this);
    topics->setTextInteractionFlags(Qt::TextSelectableByMouse);
    state_->setObjectName(QStringLiteral("state"));
    state_->setWordWrap(true);
    state_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    error_->setObjectName(QStringLiteral("error"));
    error_->setWordWrap(true);
    error_->setStyleSheet(QStringLiteral("color: #b00020"));
    error_->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(details_);
    layout->addWidget(plainPassword_);
    layout->addWidget(topics);
    layout->addWidget(state_);
    layout->addWidget(error_);
    layout->addWidget(buttons_);

    connect(buttons_, &QDialogButtonBox::accepted, this, [this] {
        if (ApplyFields())
            accept();
    });
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons_->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, &RemoteDialog::ApplyFields);
    connect(&control_, &RemoteControl::StatusChanged, this, &RemoteDialog::ShowStatus);
    connect(broker_, &QLineEdit::textChanged, this, &RemoteDialog::WarnOfPlainPassword);
    connect(password_, &QLineEdit::textChanged, this, &RemoteDialog::WarnOfPlainPassword);
    Fill();
    ShowStatus();
    setMinimumWidth(fontMetrics().averageCharWidth() * 60);
}

void RemoteDialog::Fill()
{
    const RemoteSettings& settings = control_.Settings();
    broker_->setText(settings.broker);
    user_->setText(settings.user);
    password_->setText(settings.password);
    name_->setText(settings.name);
    caFile_->setText(settings.caFile);
    details_->setChecked(settings.publishDetails);
}

bool RemoteDialog::ApplyFields()
{
    QString error;
    const RemoteSettings settings{broker_->text(), user_->text(), password_->text(), name_->text(), caFile_->text(),
                                  details_->isChecked()};
    const bool applied = control_.Apply(settings, &error);
    error_->setText(applied ? QString() : error);
    error_->setVisible(!applied);
    ShowStatus();
    return applied;
}

void RemoteDialog::WarnOfPlainPassword()
{
    const std::optional<BrokerAddress> address = ParseBrokerAddress(broker_->text());
    plainPassword_->setVisible(address && !address->tls && !password_->text().isEmpty());
}

void RemoteDialog::ShowStatus()
{
    state_->setText(control_.StatusLine());
}

}  // namespace remote
