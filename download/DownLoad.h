#pragma once
// The download worker: copies a program file to the drive line by line, each
// line exactly as it stands in the file (its line end included), with a pause
// before each line and no answer awaited, until it has sent the end record.
// It runs on a thread of its own and reaches the port and its window only
// through the two interfaces below, so it never touches a widget or the port.

#include <chrono>
#include <cstdint>
#include <functional>
#include <istream>
#include <stop_token>
#include <string>
#include <thread>

class TDownLoad {
  public:
    static constexpr std::chrono::milliseconds kLinePause{2};

    // Where the lines go; called on the worker's thread.
    class ILineWriter {
      public:
        virtual ~ILineWriter() = default;
        // Returns once the line is written, or false when `stop` came before
        // the write was begun (nothing of the line was sent). Throws
        // std::exception when the write fails.
        virtual bool WriteLine(const std::string& line, std::stop_token stop) = 0;
    };

    enum class Result { Complete, NoEndRecord, WriteFailed, ReadFailed, Stopped };

    struct Outcome {
        Result result = Result::Stopped;
        std::uint64_t bytes = 0;  // read from the file
        std::size_t lines = 0;    // written to the port
        std::string error;        // why a write failed
    };

    // What the worker tells its window; called on the worker's thread.
    class IObserver {
      public:
        virtual ~IObserver() = default;
        // `bytes` of the file have been read; the line that ends there goes next.
        virtual void Progress(std::uint64_t bytes, std::uint64_t total) = 0;
        // The run has ended by itself (not by Stop()).
        virtual void Finished(const Outcome& outcome) = 0;
    };

    // Waits `pause`; false when `stop` was requested meanwhile.
    using Pause = std::function<bool(std::chrono::milliseconds pause, std::stop_token stop)>;
    static bool SleepUnlessStopped(std::chrono::milliseconds pause, std::stop_token stop);

    // `file` is read from where it stands; `fileSize` is its size in bytes.
    TDownLoad(std::istream& file, std::uint64_t fileSize, ILineWriter& port, IObserver& window,
              Pause pause = SleepUnlessStopped);
    ~TDownLoad();
    TDownLoad(const TDownLoad&) = delete;
    TDownLoad& operator=(const TDownLoad&) = delete;

    // Runs Execute on a new thread; Finished reports its end.
    void Start();
    // Ends the run within one line and waits for the thread: a line not yet
    // begun is not sent. A stopped run reports no Finished.
    void Stop();

    // The thread procedure; tests call it directly.
    Outcome Execute(std::stop_token stop);

  private:
    std::istream& file_;
    std::uint64_t fileSize_;
    ILineWriter& port_;
    IObserver& window_;
    Pause pause_;
    std::jthread thread_;
};
