#pragma once
// The drive procedures started with TAT and ETC (auto tuning, homing, offset
// tuning, encoder reset, gain backup, parameter init): each reports BSY for
// its own time and then TOK. A poll reads the word of the last one started.

#include <functional>
#include <map>
#include <optional>
#include <string>

class Procedures {
  public:
    // The default time of every procedure, in seconds.
    static constexpr double kDefaultSeconds = 1.0;

    // "TAT01", "ETC10", ...: how long that procedure takes.
    void SetDuration(const std::string& key, double seconds) { durations_[key] = seconds; }
    double Duration(const std::string& key) const;

    // Starts a procedure at `now`; `done` runs once when it has finished.
    void Start(const std::string& key, double now, std::function<void()> done = {});
    // "BSY", "TOK", or nullopt when nothing was started.
    std::optional<std::string> Word(double now);

  private:
    std::map<std::string, double> durations_;
    std::optional<double> endsAt_;
    std::function<void()> done_;
};
