#pragma once
// "Remote Control…": the broker, the account, the device's name and the CA
// file, with the connection's state as it changes.  Not modal: the window and
// the guard go on while it is open.
#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QDialogButtonBox;

namespace remote {

class RemoteControl;
struct LinkStatus;

class RemoteDialog final : public QDialog {
    Q_OBJECT
public:
    RemoteDialog(RemoteControl& control, QWidget* parent = nullptr);

    QLineEdit* brokerField() const { return broker_; }
    QLineEdit* userField() const { return user_; }
    QLineEdit* passwordField() const { return password_; }
    QLineEdit* nameField() const { return name_; }
    QLineEdit* caFileField() const { return caFile_; }
    QCheckBox* detailsBox() const { return details_; }
    QLabel* stateLabel() const { return state_; }
    QDialogButtonBox* buttons() const { return buttons_; }

private:
    void Fill();
    bool ApplyFields();
    void ShowStatus();
    void WarnOfPlainPassword();

    RemoteControl& control_;
    QLineEdit* broker_;
    QLineEdit* user_;
    QLineEdit* password_;
    QLineEdit* name_;
    QLineEdit* caFile_;
    QCheckBox* details_;
    QLabel* plainPassword_;
    QLabel* state_;
    QLabel* error_;
    QDialogButtonBox* buttons_;
};

}  // namespace remote
