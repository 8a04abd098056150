#include "download/DownLoad.h"

#include <condition_variable>
#include <exception>
#include <mutex>

#include "download/IntelHex.h"

bool TDownLoad::SleepUnlessStopped(std::chrono::milliseconds pause, std::stop_token stop) {
    std::mutex mutex;
    std::condition_variable_any wake;
    std::unique_lock lock(mutex);
    wake.wait_for(lock, stop, pause, [] { return false; });
    return !stop.stop_requested();
}

TDownLoad::TDownLoad(std::istream& file, std::uint64_t fileSize, ILineWriter& port,
                     IObserver& window, Pause pause)
    : file_(file), fileSize_(fileSize), port_(port), window_(window), pause_(std::move(pause)) {}

TDownLoad::~TDownLoad() {
    Stop();
}

void TDownLoad::Start() {
    Stop();
    thread_ = std::jthread([this](std::stop_token stop) {
        const Outcome outcome = Execute(stop);
        if (outcome.result != Result::Stopped) window_.Finished(outcome);
    });
}

void TDownLoad::Stop() {
    if (!thread_.joinable()) return;
    thread_.request_stop();
    thread_.join();
}

TDownLoad::Outcome TDownLoad::Execute(std::stop_token stop) {
    Outcome outcome;
    std::string line;
    std::string endField;
    for (;;) {
        if (endField == "0000") {
            outcome.result = Result::Complete;
            return outcome;
        }
        if (stop.stop_requested()) return outcome;
        if (!IntelHex::ReadLine(file_, line)) {
            outcome.result = file_.bad() ? Result::ReadFailed : Result::NoEndRecord;
            return outcome;
        }
        outcome.bytes += line.size();
        window_.Progress(outcome.bytes, fileSize_);
        if (!pause_(kLinePause, stop)) return outcome;
        try {
            if (!port_.WriteLine(line, stop)) return outcome;
        } catch (const std::exception& error) {
            outcome.result = Result::WriteFailed;
            outcome.error = error.what();
            return outcome;
        }
        ++outcome.lines;
        endField = IntelHex::EndField(line);
    }
}
