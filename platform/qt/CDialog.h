#pragma once
// A modal dialog built from its template at DoModal.  OK (id 1) runs the
// exchange and closes only when it succeeds; Esc and the close box cancel.
// A hidden default button takes Enter and does nothing.
#include <QObject>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "CCmdTarget.h"
#include "CDataExchange.h"
#include "WinTypes.h"

class ExposureWatch;
class QDialog;
class QRadioButton;
class QWidget;

class CDialog : public CCmdTarget {
public:
    explicit CDialog(int templateId, QWidget* parent = nullptr);
    ~CDialog() override;
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    virtual int DoModal();
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    void EndDialog(int result);

    QWidget* GetDlgItem(int id) const;
    // The radio buttons of the pair that starts with this id, in index order.
    std::vector<QRadioButton*> RadioGroup(int firstId) const;
    // The open dialog's window, or nullptr outside DoModal.
    QDialog* Window() const { return window_; }

    virtual void OnOK();
    virtual void OnCancel();

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();

private:
    void Build();
    void OnButton(int id);
    void OnEnter();
    void CheckInGroup(QRadioButton* first, QRadioButton* chosen);

    int templateId_;
    QWidget* parent_;
    QDialog* window_ = nullptr;
    std::map<int, QWidget*> items_;
    std::map<QRadioButton*, QRadioButton*> radioGroups_;
    // Exposures of the open window reach the dialog as WM_PAINT.
    std::unique_ptr<ExposureWatch> exposureWatch_;
    std::unique_ptr<QObject> keyFilter_;
    int defaultButtonId_ = -1;
};
