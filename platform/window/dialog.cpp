// The modal dialog: controls from a template, command routing, the pre-filter, data
// exchange and numbered timers.
#include "platform/window/dialog.h"

#include <QAbstractButton>
#include <QChildEvent>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

#include "platform/window/dialog_template.h"
#include "platform/window/window_menu.h"

namespace tavrel {

void DataExchange::Text(int controlId, QString& value) {
    auto* edit = qobject_cast<QLineEdit*>(dialog_->GetDlgItem(controlId));
    if (edit == nullptr) {
        return;
    }
    if (save_) {
        value = edit->text();
    } else if (edit->text() != value) {
        edit->setText(value);
    }
}

void DataExchange::Control(int controlId, QComboBox*& member) {
    if (member == nullptr) {
        member = qobject_cast<QComboBox*>(dialog_->GetDlgItem(controlId));
    }
}

void DataExchange::Control(int controlId, QAbstractButton*& member) {
    if (member == nullptr) {
        member = qobject_cast<QAbstractButton*>(dialog_->GetDlgItem(controlId));
    }
}

CDialog::CDialog(const DialogTemplate& tmpl, QWidget* parent) : QDialog(parent), template_(tmpl) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (tmpl.style & style::kSysMenu) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    setWindowFlags(flags);
}

CDialog::~CDialog() {
    // Children die after this body; their last events must not reach the pre-filter.
    for (QWidget* child : findChildren<QWidget*>()) {
        child->removeEventFilter(this);
    }
    removeEventFilter(this);
}

void CDialog::BuildControls() {
    if (built_) {
        return;
    }
    built_ = true;
    BuildDialogFromTemplate(this, template_);
    for (const ControlTemplate& c : template_.controls) {
        if (c.id == -1) {
            continue;
        }
        QWidget* control = GetDlgItem(c.id);
        const int id = c.id;
        if (auto* combo = qobject_cast<QComboBox*>(control)) {
            // Only the user's choices notify, as with the platform's selection change.
            connect(combo, &QComboBox::activated, this,
                    [this, id] { SendCommand(id, kCbnSelChange); });
        } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            connect(button, &QAbstractButton::clicked, this, [this, id] { SendCommand(id); });
        }
    }
    if (template_.style & style::kSysMenu) {
        systemMenu_ = std::make_unique<WindowMenu>(this);
        systemMenu_->SetCommandHandler([this](int commandId) { DefaultSysCommand(commandId); });
    }
    WatchEvents(this);
}

void CDialog::WatchEvents(QWidget* widget) {
    widget->installEventFilter(this);
    for (QWidget* child : widget->findChildren<QWidget*>()) {
        child->installEventFilter(this);
    }
}

bool CDialog::IsOwnWidget(const QObject* object) const {
    // Another dialog owned by this one (an About box, a message box) filters its own events.
    for (const QObject* o = object; o != nullptr && o != this; o = o->parent()) {
        if (qobject_cast<const QDialog*>(o) != nullptr) {
            return false;
        }
    }
    return true;
}

bool CDialog::Create() {
    ending_ = false;
    BuildControls();
    return OnInitDialog();
}

int CDialog::DoModal() {
    Create();
    if (ending_) {  // ended during initialisation
        return result();
    }
    const int answer = exec();
    for (QTimer* timer : std::as_const(timers_)) {
        timer->stop();
    }
    return answer;
}

void CDialog::EndDialog(int result) {
    done(result);
}

void CDialog::done(int result) {
    ending_ = true;
    QDialog::done(result);
}

QWidget* CDialog::GetDlgItem(int controlId) const {
    return FindControl(this, controlId);
}

bool CDialog::UpdateData(bool saveAndValidate) {
    DataExchange dx(this, saveAndValidate);
    DoDataExchange(dx);
    return true;
}

void CDialog::SetTimer(int timerId, int milliseconds) {
    QTimer*& timer = timers_[timerId];
    if (timer == nullptr) {
        timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this, timerId] { OnTimer(timerId); });
    }
    timer->start(milliseconds);
}

void CDialog::KillTimer(int timerId) {
    if (QTimer* timer = timers_.value(timerId)) {
        timer->stop();
    }
}

QTimer* CDialog::PendingTimer(int timerId) const {
    QTimer* timer = timers_.value(timerId);
    return timer != nullptr && timer->isActive() ? timer : nullptr;
}

void CDialog::SendCommand(int controlId, int notifyCode) {
    OnCommand(controlId, notifyCode);
}

void CDialog::DefaultSysCommand(int commandId) {
    if ((commandId & 0xFFF0) == kScClose) {
        close();
    }
}

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialog::DoDataExchange(DataExchange&) {}

bool CDialog::PreTranslateMessage(QObject*, QEvent*) {
    return false;
}

void CDialog::OnCommand(int controlId, int) {
    if (controlId == kIdOk || controlId == kIdCancel) {
        EndDialog(controlId);
    }
}

void CDialog::OnTimer(int) {}

void CDialog::OnClose() {
    EndDialog(kIdCancel);
}

bool CDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ChildAdded) {
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (child->isWidgetType()) {
            WatchEvents(static_cast<QWidget*>(child));
        }
    }
    if (!IsOwnWidget(watched)) {
        return false;
    }
    return PreTranslateMessage(watched, event);
}

void CDialog::closeEvent(QCloseEvent* event) {
    if (ending_) {  // the dialog is closing because it was ended
        event->accept();
        return;
    }
    OnClose();
    if (ending_ || !isVisible()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void CDialog::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            event->accept();
            SendCommand(kIdCancel);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // No default button: Enter does nothing in this dialog.
            event->accept();
            return;
        default:
            // Past QDialog on purpose: its own Esc and default-button handling is replaced
            // above.
            QWidget::keyPressEvent(event);  // NOLINT(bugprone-parent-virtual-call)
    }
}

// Qt's own paths to cancelling (for example a style's Esc handling) go where Esc goes.
void CDialog::reject() {
    SendCommand(kIdCancel);
}

}  // namespace tavrel
