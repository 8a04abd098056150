#include "monitoring/StatusDisplay.h"

StatusView StatusViewOf(const StatusReply& reply) {
    StatusView view;
    if (reply.mode == StatusReply::Mode::Lit) view.modeLeds = reply.leds;
    view.speedMatch = reply.speedMatch;
    view.tgOn = reply.tgOn;
    view.centreText = reply.word;
    switch (reply.wordKind) {
        case StatusReply::Word::Run:
            view.servoSwitch = true;
            break;
        case StatusReply::Word::Alarm:
        case StatusReply::Word::Warning:
            view.blink = true;
            break;
        case StatusReply::Word::Other:
            view.servoSwitch = false;
            break;
    }
    return view;
}
