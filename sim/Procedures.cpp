#include "sim/Procedures.h"

#include <utility>

double Procedures::Duration(const std::string& key) const {
    auto it = durations_.find(key);
    return it == durations_.end() ? kDefaultSeconds : it->second;
}

void Procedures::Start(const std::string& key, double now, std::function<void()> done) {
    endsAt_ = now + Duration(key);
    done_ = std::move(done);
}

std::optional<std::string> Procedures::Word(double now) {
    if (!endsAt_) return std::nullopt;
    if (now < *endsAt_) return "BSY";
    if (done_) std::exchange(done_, {})();
    return "TOK";
}
