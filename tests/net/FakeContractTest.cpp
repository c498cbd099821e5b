// The fakes must answer as the system does: the contract tests run here against them.
#include "IfTableContract.h"
#include "SystemTimerContract.h"
#include "net/NetFakes.h"

namespace {
struct FakeTableProvider {
    static FakeInterfaceTable& Table() {
        static FakeInterfaceTable table;
        return table;
    }
    static void Prepare() {
        Table().rows = {FakeInterfaceTable::WineRow("lo", 10, 10, 1),
                        FakeInterfaceTable::WindowsRow("eth0", 5, 6, 2),
                        FakeInterfaceTable::WindowsRow("Wireless", 0, 0, 11)};
    }
};

struct FakeTimerProvider {
    static FakeSystemTimer& Timers() {
        static FakeSystemTimer timers;
        return timers;
    }
    static bool DeliverUntil(const std::function<bool()>& done) {
        for (int round = 0; round < 10; ++round) {
            Timers().FireAll();
            if (done())
                return true;
        }
        return false;
    }
};
} // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Fake, IfTableContract, FakeTableProvider);
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, SystemTimerContract, FakeTimerProvider);
