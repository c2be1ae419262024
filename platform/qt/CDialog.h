#pragma once
// A modal dialog built from its template at DoModal.  OK (id 1) runs the
// exchange and closes only when it succeeds; Esc and the close box cancel.
// A hidden default button takes Enter and does nothing.
#include <map>
#include <memory>

#include "CCmdTarget.h"
#include "CDataExchange.h"
#include "WinTypes.h"

class QDialog;
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
    // The open dialog's window, or nullptr outside DoModal.
    QDialog* Window() const { return window_; }

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

private:
    void Build();
    void OnButton(int id);

    int templateId_;
    QWidget* parent_;
    QDialog* window_ = nullptr;
    std::map<int, QWidget*> items_;
};
