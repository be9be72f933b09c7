// A modal dialog built from a dialog template, with the routing a dialog framework gives:
// commands by control id, a pre-filter that sees every event of the dialog and its
// controls first, data exchange between members and controls, and numbered timers.
#pragma once

#include <QDialog>
#include <QHash>
#include <QString>
#include <memory>

class QAbstractButton;
class QComboBox;
class QTimer;

namespace tavrel {

struct DialogTemplate;
class WindowMenu;

// Well-known command ids.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

// Notification codes carried by OnCommand.
inline constexpr int kBnClicked = 0;
inline constexpr int kCbnSelChange = 1;

class CDialog;

// Moves data between a dialog's members and its controls (one direction per run).
class DataExchange {
public:
    DataExchange(CDialog* dialog, bool saveAndValidate) : dialog_(dialog), save_(saveAndValidate) {}
    bool SaveAndValidate() const { return save_; }
    // Edit box text <-> string member.
    void Text(int controlId, QString& value);
    // Attaches a control member to the control with that id (first exchange only).
    void Control(int controlId, QComboBox*& member);
    void Control(int controlId, QAbstractButton*& member);

private:
    CDialog* dialog_;
    bool save_;
};

class CDialog : public QDialog {
    Q_OBJECT
public:
    CDialog(const DialogTemplate& tmpl, QWidget* parent = nullptr);
    ~CDialog() override;

    // Builds the controls (once), runs OnInitDialog and the modal loop; returns the result
    // given to EndDialog.
    int DoModal();
    void EndDialog(int result);
    // Builds the controls (once) and runs OnInitDialog without showing the dialog or
    // entering a modal loop: for dialogs shown modelessly, screenshots and tests.
    bool Create();

    QWidget* GetDlgItem(int controlId) const;
    // Runs DoDataExchange; saveAndValidate = true copies controls into members.
    bool UpdateData(bool saveAndValidate = true);

    // Numbered timers: starting a pending one restarts it with the new interval.
    void SetTimer(int timerId, int milliseconds);
    void KillTimer(int timerId);
    // The pending timer of that id, or nullptr (tests read its interval).
    QTimer* PendingTimer(int timerId) const;

    // Command dispatch, also used by tests to "click" a control.
    void SendCommand(int controlId, int notifyCode = kBnClicked);

    // The window menu of a dialog whose template has a system menu, else nullptr. Chosen
    // items go to DefaultSysCommand unless the dialog installs its own handler.
    WindowMenu* GetSystemMenu() const { return systemMenu_.get(); }
    // The platform's processing of the standard window-menu commands (close: as the close box).
    void DefaultSysCommand(int commandId);

protected:
    // Called once the controls exist; the base runs the first data exchange.
    virtual bool OnInitDialog();
    virtual void DoDataExchange(DataExchange& dx);
    // Sees every event of the dialog and its controls before it is dispatched; return true
    // to consume it. The base consumes nothing.
    virtual bool PreTranslateMessage(QObject* target, QEvent* event);
    // A command from a control: button clicks, selection changes, Esc (kIdCancel).
    virtual void OnCommand(int controlId, int notifyCode);
    virtual void OnTimer(int timerId);
    // The close box: the base ends the dialog with kIdCancel.
    virtual void OnClose();

    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;
    void done(int result) override;

private:
    void BuildControls();
    void WatchEvents(QWidget* widget);
    bool IsOwnWidget(const QObject* object) const;

    const DialogTemplate& template_;
    bool built_ = false;
    bool ending_ = false;
    QHash<int, QTimer*> timers_;
    std::unique_ptr<WindowMenu> systemMenu_;
};

}  // namespace tavrel
