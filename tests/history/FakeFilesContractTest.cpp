#include "support/FakeHistoryFiles.h"

std::unique_ptr<IHistoryFiles> MakeContractFiles() {
    return std::make_unique<FakeHistoryFiles>();
}
