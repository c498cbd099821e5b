#include "base/mLogging.h"
#include "base/mMisc.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(AppPath, EndsInExactlyOneBackslashAndNamesTheLogAfterTheProgram) {
    SetExecutablePath("C:\\Program Files\\Vantorel\\Vantorel.exe");
    EXPECT_EQ(AppPath(), "C:\\Program Files\\Vantorel\\");
    EXPECT_EQ(LogFileName(), "C:\\Program Files\\Vantorel\\VantorelLog.txt");
    SetExecutablePath("D:\\Meter.exe");
    EXPECT_EQ(AppPath(), "D:\\");
    EXPECT_EQ(LogFileName(), "D:\\MeterLog.txt");
    SetExecutablePath("C:\\Vantorel\\Vantorel.exe");
}

namespace {
struct FakeForm : ILoadedForm {
    FakeForm(std::vector<std::string>& log, std::string name, FakeForm* closesAlso = nullptr)
        : log(log), name(std::move(name)), closesAlso(closesAlso) {}
    void UnloadForm() override {
        log.push_back(name);
        UnregisterLoadedForm(this);
        if (closesAlso && IsFormLoaded(closesAlso))
            closesAlso->UnloadForm();
    }
    std::vector<std::string>& log;
    std::string name;
    FakeForm* closesAlso;
};
} // namespace

TEST(UnloadAllForms, UnloadsInLoadOrderSkippingTheOneInProgressAndThoseAlreadyGone) {
    std::vector<std::string> log;
    FakeForm main(log, "main"), stats(log, "stats"), meter(log, "meter"), settings(log, "settings");
    FakeForm theme(log, "theme", &settings); // closing the editor also closes the settings dialog
    for (FakeForm* f : {&main, &meter, &theme, &stats, &settings, &meter})
        RegisterLoadedForm(f);
    UnloadAllForms(&main);
    EXPECT_EQ(log, (std::vector<std::string>{"meter", "theme", "settings", "stats"}));
    EXPECT_TRUE(IsFormLoaded(&main));
    UnregisterLoadedForm(&main);
}
