#pragma once
// Nine-channel timer whose ticks are produced by one worker thread a channel
// and delivered on the main thread as queued calls: ticks queue up while the
// main thread is busy and are then handled back to back.

#include <QObject>
#include <array>
#include <functional>
#include <memory>

class TimerChannel;

class TiThreadTimers : public QObject {
    Q_OBJECT
  public:
    static constexpr int kChannels = 9;
    // Ticks posted but not yet handled, per channel; further ticks are dropped.
    static constexpr int kMaxBacklog = 100;

    // Threaded: real worker threads. Manual: no threads; tests call Fire().
    enum class Mode { Threaded, Manual };
    // The mode of timer objects created from now on (tests switch whole windows to Manual).
    static void SetDefaultMode(Mode mode);
    static Mode DefaultMode();

    using Handler = std::function<void(TiThreadTimers* sender)>;

    explicit TiThreadTimers(QObject* parent = nullptr);
    TiThreadTimers(Mode mode, QObject* parent = nullptr);
    ~TiThreadTimers() override;  // joins the workers, drops ticks already posted

    // Channels are numbered 1..9; other numbers throw std::out_of_range.
    int Interval(int channel) const;
    void SetInterval(int channel, int ms);  // <= 0 is stored as 1
    bool Enabled(int channel) const;
    void SetEnabled(int channel, bool enabled);
    void SetOnTimer(int channel, Handler handler);

    Mode mode() const { return mode_; }
    // Manual mode: deliver `count` ticks of the channel now, each only while it is enabled.
    // Threaded mode: post `count` ticks the way the worker does (queued, bounded by
    // kMaxBacklog) if the channel is enabled now; they are handled by the event loop.
    void Fire(int channel, int count = 1);

  private:
    void Deliver(int channel);
    void DeliverPosted(int channel);
    void PostTick(int channel);
    TimerChannel& Channel(int channel) const;

    Mode mode_;
    std::array<std::unique_ptr<TimerChannel>, kChannels> channels_;
    std::array<Handler, kChannels> handlers_;
};
