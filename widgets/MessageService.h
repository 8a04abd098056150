#pragma once
// The one way windows put a message box in front of the user: warning,
// information, error and confirmation. Tests install a responder that records
// each box and answers it, so no modal loop has to run.

#include <QList>
#include <QMessageBox>
#include <QString>
#include <functional>

namespace MessageService {

enum class Kind { Warning, Information, Error, Confirmation };

// One box as it was put in front of the user.
struct Box {
    Kind kind;
    QString text;
    QMessageBox::StandardButtons buttons;
};

// Stands in for the user: sees each box and returns the button pressed.
using Responder = std::function<QMessageBox::StandardButton(const Box&)>;

// Shows a modal box (or asks the responder) and returns the button chosen.
QMessageBox::StandardButton Show(QWidget* parent, Kind kind, const QString& text,
                                 QMessageBox::StandardButtons buttons = QMessageBox::Ok);

inline void Warning(QWidget* parent, const QString& text,
                    QMessageBox::StandardButtons buttons = QMessageBox::Ok) {
    Show(parent, Kind::Warning, text, buttons);
}
inline void Information(QWidget* parent, const QString& text) {
    Show(parent, Kind::Information, text);
}
inline void Error(QWidget* parent, const QString& text) {
    Show(parent, Kind::Error, text);
}
// Yes / No; true for Yes.
inline bool Confirm(QWidget* parent, const QString& text) {
    return Show(parent, Kind::Confirmation, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

// An empty responder restores real boxes.
void SetResponder(Responder responder);

}  // namespace MessageService

// Records every box shown while it exists and answers each with one button.
class MessageCapture {
  public:
    explicit MessageCapture(QMessageBox::StandardButton answer = QMessageBox::Ok);
    ~MessageCapture();
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    const QList<MessageService::Box>& Boxes() const { return boxes_; }
    QStringList Texts() const;
    void Clear() { boxes_.clear(); }
    void SetAnswer(QMessageBox::StandardButton answer) { answer_ = answer; }

  private:
    QList<MessageService::Box> boxes_;
    QMessageBox::StandardButton answer_;
};
