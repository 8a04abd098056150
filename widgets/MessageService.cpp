#include "widgets/MessageService.h"

namespace MessageService {
namespace {

Responder& CurrentResponder() {
    static Responder responder;
    return responder;
}

QMessageBox::Icon IconOf(Kind kind) {
    switch (kind) {
        case Kind::Warning:
            return QMessageBox::Warning;
        case Kind::Information:
            return QMessageBox::Information;
        case Kind::Error:
            return QMessageBox::Critical;
        case Kind::Confirmation:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QString TitleOf(Kind kind) {
    switch (kind) {
        case Kind::Warning:
            return "Warning";
        case Kind::Information:
            return "Information";
        case Kind::Error:
            return "Error";
        case Kind::Confirmation:
            return "Confirm";
    }
    return {};
}

}  // namespace

QMessageBox::StandardButton Show(QWidget* parent, Kind kind, const QString& text,
                                 QMessageBox::StandardButtons buttons) {
    if (const Responder& responder = CurrentResponder()) return responder({kind, text, buttons});
    QMessageBox box(IconOf(kind), TitleOf(kind), text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void SetResponder(Responder responder) {
    CurrentResponder() = std::move(responder);
}

}  // namespace MessageService

MessageCapture::MessageCapture(QMessageBox::StandardButton answer) : answer_(answer) {
    MessageService::SetResponder([this](const MessageService::Box& box) {
        boxes_.append(box);
        return answer_;
    });
}

MessageCapture::~MessageCapture() {
    MessageService::SetResponder({});
}

QStringList MessageCapture::Texts() const {
    QStringList texts;
    for (const auto& box : boxes_) texts << box.text;
    return texts;
}
