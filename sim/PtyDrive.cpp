#include "sim/PtyDrive.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

using std::chrono::steady_clock;

namespace {

timespec ToTimespec(steady_clock::duration pause) {
    auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(pause).count();
    ns = std::max<decltype(ns)>(ns, 0);
    return {static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
}

// Time one byte takes on a line of `baud` with 10 bits a byte (start, 8 data, stop).
steady_clock::duration ByteTime(int baud) {
    return std::chrono::duration_cast<steady_clock::duration>(
        std::chrono::nanoseconds(baud > 0 ? 10'000'000'000LL / baud : 0));
}

}  // namespace

PtyDrive::PtyDrive(DriveSim sim, PtyDriveOptions options)
    : options_(std::move(options)), sim_(std::move(sim)) {
    RawPty pty = OpenRawPty();
    master_ = std::move(pty.master);
    slaveKeeper_ = std::move(pty.slave);
    slavePath_ = std::move(pty.slavePath);
    wake_ = OpenWakePipe();
    if (!options_.linkPath.empty()) PlaceLink(options_.linkPath, slavePath_);
    worker_ = std::thread(&PtyDrive::Serve, this);
}

PtyDrive::~PtyDrive() {
    Stop();
}

void PtyDrive::WithSim(const std::function<void(DriveSim&)>& action) {
    std::lock_guard lock(mutex_);
    action(sim_);
}

std::vector<std::string> PtyDrive::RequestLog() const {
    std::lock_guard lock(mutex_);
    return {sim_.Requests().begin(), sim_.Requests().end()};
}

bool PtyDrive::WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return sim_.Requests().size() >= count; });
}

void PtyDrive::Disconnect() {
    disconnectRequested_ = true;
    Wake();
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return closed_; });
}

bool PtyDrive::Disconnected() const {
    std::lock_guard lock(mutex_);
    return closed_;
}

void PtyDrive::Stop() {
    if (stopped_) return;
    stopping_ = true;
    Wake();
    if (worker_.joinable()) worker_.join();
    if (!options_.linkPath.empty()) RemoveLink(options_.linkPath, slavePath_);
    stopped_ = true;
}

void PtyDrive::Wake() {
    char byte = 1;
    // A full pipe is already readable, which is all a wake-up needs.
    [[maybe_unused]] ssize_t written = ::write(wake_.write.Get(), &byte, 1);
}

// --- the worker --------------------------------------------------------------

void PtyDrive::Serve() {
    while (!Halted() && master_.Valid()) {
        pollfd fds[] = {{master_.Get(), POLLIN, 0}, {wake_.read.Get(), POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[1].revents != 0) continue;  // the loop condition sees why
        if (fds[0].revents & POLLIN) {
            HandleInput();
        } else if (fds[0].revents != 0) {
            // The keeper holds the slave open, so a hang-up here is transient; don't spin on it.
            SleepUnlessHalted(std::chrono::milliseconds(10));
        }
    }
    CloseLine();
}

void PtyDrive::HandleInput() {
    char buffer[512];
    const steady_clock::time_point readAt = steady_clock::now();
    ssize_t count = ::read(master_.Get(), buffer, sizeof buffer);
    if (count <= 0) {
        if (count < 0 && (errno == EAGAIN || errno == EINTR)) return;
        SleepUnlessHalted(std::chrono::milliseconds(10));
        return;
    }
    std::vector<DriveSim::Exchange> exchanges;
    {
        std::lock_guard lock(mutex_);
        exchanges = sim_.Receive({buffer, static_cast<std::size_t>(count)});
    }
    changed_.notify_all();
    // A pty hands over a request at once; on a line its bytes take their time to
    // arrive, and the drive cannot answer before the last one is in.
    steady_clock::time_point requestEnd = readAt;
    for (const DriveSim::Exchange& exchange : exchanges) {
        requestEnd += static_cast<long>(exchange.request.size()) * ByteTime(options_.baud);
        if (!SleepUnlessHalted(requestEnd - steady_clock::now())) return;
        if (Halted() || !master_.Valid()) return;
        Answer(exchange.reply);
    }
    // Bytes that are no request (a program being downloaded) take their line time too.
    SleepUnlessHalted(readAt + count * ByteTime(options_.baud) - steady_clock::now());
}

void PtyDrive::Answer(const DriveSim::Reply& reply) {
    // Requests that come in meanwhile wait in the pty and are answered after.
    if (reply.stallMs > 0 && !SleepUnlessHalted(std::chrono::milliseconds(reply.stallMs))) return;
    if (!reply.chunks.empty() &&
        !SleepUnlessHalted(std::chrono::milliseconds(options_.turnaroundMs))) {
        return;
    }
    for (std::size_t i = 0; i < reply.chunks.size(); ++i) {
        if (i > 0 && !SleepUnlessHalted(std::chrono::milliseconds(options_.chunkGapMs))) return;
        WritePaced(reply.chunks[i]);
    }
    if (reply.close) {
        LetTheClientRead();
        CloseLine();
    }
}

// A hang-up throws away what the client has not read yet, so the last reply
// would never arrive. The pty moves written bytes to the slave's input queue
// asynchronously: give it a moment, then wait (boundedly) for the queue to empty.
void PtyDrive::LetTheClientRead() {
    constexpr auto kTransfer = std::chrono::milliseconds(50);
    constexpr auto kPatience = std::chrono::seconds(1);
    if (!SleepUnlessHalted(kTransfer)) return;
    const steady_clock::time_point giveUp = steady_clock::now() + kPatience;
    int unread = 0;
    while (::ioctl(slaveKeeper_.Get(), FIONREAD, &unread) == 0 && unread > 0 &&
           steady_clock::now() < giveUp) {
        if (!SleepUnlessHalted(std::chrono::milliseconds(5))) return;
    }
}

// Byte k of the chunk goes out no earlier than k byte times after the first,
// and the call returns only when the last byte has had its time on the line.
void PtyDrive::WritePaced(const std::string& chunk) {
    const steady_clock::duration byteTime = ByteTime(options_.baud);
    const steady_clock::time_point start = steady_clock::now();
    std::size_t sent = 0;
    while (sent < chunk.size() && !Halted()) {
        std::size_t due = chunk.size();
        if (byteTime.count() > 0) {
            due = std::min<std::size_t>(chunk.size(), 1 + (steady_clock::now() - start) / byteTime);
        }
        if (due <= sent) {
            SleepUnlessHalted(start + static_cast<long>(sent) * byteTime - steady_clock::now());
            continue;
        }
        ssize_t written = ::write(master_.Get(), chunk.data() + sent, due - sent);
        if (written > 0) {
            sent += static_cast<std::size_t>(written);
        } else if (written < 0 && errno == EAGAIN) {
            if (!WaitWritable()) return;
        } else if (!(written < 0 && errno == EINTR)) {
            return;  // the line is gone; nothing left to write to
        }
    }
    if (byteTime.count() > 0) {
        SleepUnlessHalted(start + static_cast<long>(chunk.size()) * byteTime - steady_clock::now());
    }
}

bool PtyDrive::WaitWritable() {
    pollfd fds[] = {{master_.Get(), POLLOUT, 0}, {wake_.read.Get(), POLLIN, 0}};
    while (::poll(fds, 2, -1) < 0) {
        if (errno != EINTR) return false;
    }
    return fds[1].revents == 0 && (fds[0].revents & POLLOUT) != 0;
}

// Returns false, early, when Stop() or Disconnect() is asked for meanwhile.
bool PtyDrive::SleepUnlessHalted(steady_clock::duration pause) {
    const steady_clock::time_point end = steady_clock::now() + pause;
    while (!Halted()) {
        steady_clock::duration left = end - steady_clock::now();
        if (left <= steady_clock::duration::zero()) return true;
        pollfd wake{wake_.read.Get(), POLLIN, 0};
        timespec timeout = ToTimespec(left);
        ::ppoll(&wake, 1, &timeout, nullptr);
    }
    return false;
}

// Closing the master hangs the slave up for whoever has it open. Under the
// lock, so that a client that saw the hang-up finds Disconnected() true.
void PtyDrive::CloseLine() {
    {
        std::lock_guard lock(mutex_);
        master_.Reset();
        slaveKeeper_.Reset();
        closed_ = true;
    }
    changed_.notify_all();
}
