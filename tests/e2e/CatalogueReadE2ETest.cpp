// A whole block read of the 133 parameter slots from the stand-in drive, through
// the real serial port and engine, with a block reader chaining the requests
// the way the parameter windows do.

#include <QtCore/qtestsupport_core.h>
#include <gtest/gtest.h>

#include "parameters/Catalogue.h"
#include "protocol/Commands.h"
#include "protocol/Frame.h"
#include "sim/PtyDrive.h"
#include "tests/e2e/LinkHarness.h"

namespace {

// Reads every slot in address order: stores the value, sends the next address.
class ChainedReader : public IParameterEditor {
  public:
    explicit ChainedReader(TComm& comm) : comm_(comm), addresses_(AllAddresses()) {}

    void Start() {
        comm_.ReaderRef = this;
        comm_.ActiveWindow = EditorActive;
        comm_.ContinuationKind = 1;
        SendNext();
    }
    void BlockReadStep() override {
        values[addresses_[next_ - 1]] = comm_.ReadData.Data;
        if (next_ < addresses_.size()) {
            SendNext();
        } else {
            comm_.ContinuationKind = 0;
            comm_.LinkState = Idle;
            done = true;
        }
    }
    void RollBackRefusedWrite() override {}

    std::map<std::string, std::string> values;
    bool done = false;

  private:
    void SendNext() {
        const std::string& address = addresses_[next_++];
        comm_.SendData.Command = std::string(Cmd::SET);
        comm_.SendData.Data = address;
        comm_.SendCommand(std::string(Cmd::SET), address);
        comm_.LinkState = AwaitData;
    }

    TComm& comm_;
    std::vector<std::string> addresses_;
    std::size_t next_ = 0;
};

TEST(CatalogueReadE2E, AllSlotsReadInOrderWithTheCatalogueDefaults) {
    PtyDrive drive;
    e2e::EngineLink link;
    link.Open(drive.SlavePath());
    ChainedReader reader(link.comm);
    reader.Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return reader.done; }, 20000));

    const std::vector<std::string> addresses = AllAddresses();
    ASSERT_EQ(addresses.size(), 133u);
    EXPECT_EQ(addresses.front(), "000");
    EXPECT_EQ(addresses.back(), "618");

    std::vector<std::string> expectedRequests;
    for (const std::string& address : addresses)
        expectedRequests.push_back(Frame::BuildRequest(Cmd::SET, address));
    EXPECT_EQ(drive.RequestLog(), expectedRequests);  // no resend, nothing else

    int unused = 0;
    for (const std::string& address : addresses) {
        const int code = std::stoi(address.substr(0, 1)) * 100 + std::stoi(address.substr(1));
        const ParameterDef* def = FindParameter(code);
        EXPECT_EQ(reader.values[address], def ? def->defaultValue : "") << address;
        unused += def ? 0 : 1;
    }
    EXPECT_EQ(unused, 49);
    EXPECT_EQ(link.comm.CommError, 0);
    EXPECT_TRUE(link.hooks.statusTexts.empty());
}

}  // namespace
