// The real history folder's files, in a folder of the test's own under the temporary folder.
#include "history/HistorySeamsWin32.h"

#include <windows.h>

#include <string>

namespace {
class TemporaryFolderFiles : public Win32HistoryFiles {
public:
    explicit TemporaryFolderFiles(const std::wstring& folder) : Win32HistoryFiles(folder), folder_(folder) {}
    ~TemporaryFolderFiles() override {
        for (const std::string& name : List())
            Remove(name);
        RemoveDirectoryW(folder_.c_str());
    }

private:
    std::wstring folder_;
};
} // namespace

std::unique_ptr<IHistoryFiles> MakeContractFiles() {
    static int count = 0;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"vantorel-history-" +
                                std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++count) +
                                L"\\";
    return std::make_unique<TemporaryFolderFiles>(folder);
}
