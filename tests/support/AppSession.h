#pragma once
// The real application against the stand-in drive, for end-to-end tests and
// benchmarks alike: a throw-away settings store that holds the drive's port,
// the main window with every task window plugged in and shown, message boxes
// answered and recorded, and what the drive received.
//
//     PtyDrive drive;
//     AppSession s(drive);
//     s.GoOnLine();
//     auto* store = s.Open<TFormStore>("Store(Servo<->PC)");

#include <QList>
#include <QMessageBox>
#include <QString>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/Main.h"
#include "tests/support/AppTestSupport.h"
#include "widgets/MessageService.h"

class PtyDrive;
class QAbstractButton;

struct AppSessionOptions {
    int baud = 0;  // the stored baud rate; 0 keeps the port's default
    QMessageBox::StandardButton answer = QMessageBox::Ok;  // how every message box is answered
};

class AppSession {
  public:
    using Options = AppSessionOptions;

    // The drive's port is stored before the main window starts, as a user's would be.
    explicit AppSession(PtyDrive& drive, Options options = {});
    // A drive served by another process (the drive-sim program) on `port`.
    explicit AppSession(const QString& port, Options options = {});
    ~AppSession();
    AppSession(const AppSession&) = delete;
    AppSession& operator=(const AppSession&) = delete;

    // Clicks the on-line LED; true when the port is open.
    bool GoOnLine();
    bool Connected() const;

    // Triggers the menu command with this caption (accelerator marks left out)
    // and returns the window of type W it opened or brought to the front;
    // nullptr when there is none.
    template <typename W>
    W* Open(const QString& caption) {
        const QList<W*> before = main_->findChildren<W*>();
        if (!TriggerCommand(caption)) return nullptr;
        const QList<W*> after = main_->findChildren<W*>();
        for (W* window : after)
            if (!before.contains(window)) return window;
        return Frontmost(after);
    }

    // GoOnLine(), then Open(); nullptr when either fails.
    template <typename W>
    W* OpenOnLine(const QString& caption) {
        return GoOnLine() ? Open<W>(caption) : nullptr;
    }

    // A window whose menu command is modal (the download window), made and
    // shown as a dialog of the main window so the test keeps running.
    template <typename W>
    W* OpenAsDialog(ChildWindow kind) {
        return qobject_cast<W*>(ShowAsDialog(kind));
    }

    // Makes `window`'s MDI child the active one.
    void Activate(QWidget* window);

    // Presses a button that opens the modal progress window and returns once
    // it has closed. A transfer that hangs is cancelled after `patienceMs`, so
    // the caller fails instead of hanging: true when it closed by itself.
    bool ClickThroughProgress(QAbstractButton* button, int patienceMs);

    TMainForm& Main() { return *main_; }
    TComm& Engine() { return main_->Engine(); }
    MessageCapture& Boxes() { return boxes_; }
    // The status bar's text.
    QString Status() const;

    // The drive the session was made with; only for a PtyDrive session.
    PtyDrive& Drive() { return *drive_; }
    // The request frames the drive received, oldest first.
    std::vector<std::string> Requests() const;
    // The last of them; empty before the first.
    std::string LastRequest() const;
    // How many of them were this request.
    std::size_t Received(std::string_view command, std::string_view data = {}) const;

  private:
    AppSession(PtyDrive* drive, const QString& port, Options options);
    bool TriggerCommand(const QString& caption);
    QWidget* ShowAsDialog(ChildWindow kind);
    template <typename W>
    W* Frontmost(const QList<W*>& windows) const {
        for (W* window : windows)
            if (IsActiveChild(window)) return window;
        return windows.isEmpty() ? nullptr : windows.front();
    }
    bool IsActiveChild(const QWidget* window) const;

    ScratchSettings scratch_;
    MessageCapture boxes_;
    PtyDrive* drive_;
    std::unique_ptr<TMainForm> main_;
};

// How many frames of `frames` are this request.
std::size_t CountRequests(const std::vector<std::string>& frames, std::string_view command,
                          std::string_view data = {});
