// The engine's own cost per exchange, with the port and the hooks in memory:
// a request framed and written, its reply checked and decoded.
#include <benchmark/benchmark.h>

#include "protocol/Comm.h"
#include "protocol/Frame.h"

namespace {

struct MemoryPort : ILinkPort {
    std::size_t bytes = 0;
    bool Connected() const override { return true; }
    void PortWrite(const std::string& frame) override { bytes += frame.size(); }
};

struct NoHooks : IEngineHooks {
    void SetStatusText(const std::string&) override {}
    void SetCommLed(bool) override {}
    void SetTimeoutTimer(bool) override {}
    void ShowWarning(const std::string&) override {}
    void RestoreCursor() override {}
    void PauseMs(int) override {}
};

void BM_SetExchange(benchmark::State& state) {
    MemoryPort port;
    NoHooks hooks;
    TComm comm(port, hooks);
    const std::string reply = Frame::BuildReply('R', "SET0046000");
    for (auto _ : state) {
        comm.SendData.Command = "SET";
        comm.SendCommand("SET", "004");
        comm.LinkState = AwaitData;
        comm.HandleChunk(reply);
        benchmark::DoNotOptimize(comm.ReadData.Data);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SetExchange);

void BM_SplitStatusExchange(benchmark::State& state) {
    MemoryPort port;
    NoHooks hooks;
    TComm comm(port, hooks);
    const std::string reply = Frame::BuildReply('R', "STSP 11RUN");
    const std::string first = reply.substr(0, 6), rest = reply.substr(6);
    for (auto _ : state) {
        comm.SendData.Command = "STS";
        comm.SendCommand("STS", "");
        comm.LinkState = AwaitData;
        comm.HandleChunk(first);
        comm.HandleChunk(rest);
        benchmark::DoNotOptimize(comm.CommError);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SplitStatusExchange);

void BM_BuildRequest(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(Frame::BuildRequest("STR", "0046000"));
}
BENCHMARK(BM_BuildRequest);

}  // namespace
