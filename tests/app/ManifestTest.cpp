// The program's manifest as the system reads it: visual styles, DPI awareness, supported systems and
// the rights it asks for; the program starts with it, and its controls are those with visual styles.
#include "support/ProgramFixture.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <cctype>
#include <string>
#include <vector>

namespace {
std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The activation context the system builds from the program's manifest resource.
class ProgramContext {
public:
    ProgramContext() {
        const std::string exe = BuiltExePath();
        ACTCTXA context{};
        context.cbSize = sizeof context;
        context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        context.lpSource = exe.c_str();
        context.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
        handle = CreateActCtxA(&context);
    }
    ~ProgramContext() {
        if (handle != INVALID_HANDLE_VALUE)
            ReleaseActCtx(handle);
    }
    std::wstring Setting(const wchar_t* space, const wchar_t* name) const {
        wchar_t value[128] = {};
        SIZE_T written = 0;
        if (!QueryActCtxSettingsW(0, handle, space, name, value, 128, &written))
            return L"<none>";
        return value;
    }
    HANDLE handle = INVALID_HANDLE_VALUE;
};

// Where this process has a side-by-side comctl32 from (the system folder holds the older version), or
// "" when it has none.
std::string SideBySideCommonControls() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, GetCurrentProcessId());
    std::string path;
    MODULEENTRY32 module{};
    module.dwSize = sizeof module;
    for (BOOL more = Module32First(snapshot, &module); more; more = Module32Next(snapshot, &module))
        if (Lower(module.szModule) == "comctl32.dll" &&
            Lower(module.szExePath).find("\\winsxs\\") != std::string::npos)
            path = module.szExePath;
    CloseHandle(snapshot);
    return path;
}
} // namespace

TEST(Manifest, TheSystemReadsDpiAwarenessSupportedSystemsAndRunLevel) {
    const ProgramContext context;
    ASSERT_NE(context.handle, INVALID_HANDLE_VALUE) << "no valid manifest in the program: " << GetLastError();
    EXPECT_EQ(context.Setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
              L"PerMonitorV2, PerMonitor");
    EXPECT_EQ(context.Setting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"),
              L"true/pm")
        << "the fallback for systems before Windows 10";

    // Windows 7, 8, 8.1 and 10/11, each by its own id (the record's layout differs between SDKs).
    std::vector<char> buffer(4096);
    SIZE_T size = 0;
    ASSERT_TRUE(QueryActCtxW(0, context.handle, nullptr, CompatibilityInformationInActivationContext,
                             buffer.data(), buffer.size(), &size));
    const std::string record(buffer.data(), size);
    EXPECT_EQ(*reinterpret_cast<const DWORD*>(buffer.data()), 4u);
    for (const GUID& id :
         {GUID{0x35138b9a, 0x5d96, 0x4fbd, {0x8e, 0x2d, 0xa2, 0x44, 0x02, 0x25, 0xf9, 0x3a}},
          GUID{0x4a2f28e3, 0x53b9, 0x4441, {0xba, 0x9c, 0xd6, 0x9d, 0x4a, 0x4a, 0x6e, 0x38}},
          GUID{0x1f676c76, 0x80e1, 0x4239, {0x95, 0xbb, 0x83, 0xd0, 0xf6, 0xd0, 0xda, 0x78}},
          GUID{0x8e0f7a12, 0xbfb3, 0x4fe8, {0xb9, 0xa5, 0x48, 0xfd, 0x50, 0xa1, 0x5a, 0x9a}}})
        EXPECT_NE(record.find(std::string(reinterpret_cast<const char*>(&id), sizeof id)), std::string::npos)
            << std::hex << id.Data1;

    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level{};
    ASSERT_TRUE(QueryActCtxW(0, context.handle, nullptr, RunlevelInformationInActivationContext, &level,
                             sizeof level, &size));
    EXPECT_EQ(level.RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
    EXPECT_EQ(level.UiAccess, 0u);
}

using ManifestProgram = PrivateProgram;

TEST_F(ManifestProgram, StartsAndItsDialogsControlsAreThoseWithVisualStyles) {
    ChildProcess program('"' + exe + '"');
    ASSERT_TRUE(program.Started());
    HWND main = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (main = FindProcessWindow(program.Id(), "VantorelMain")) != nullptr; },
                          20000));
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit(20000));

    // A button made under the program's manifest, as its dialogs make theirs, brings version 6 in.
    const ProgramContext context;
    ULONG_PTR cookie = 0;
    ASSERT_TRUE(ActivateActCtx(context.handle, &cookie));
    HWND button =
        CreateWindowExA(0, "Button", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    DeactivateActCtx(0, cookie);
    ASSERT_TRUE(button);
    DestroyWindow(button);
    const std::string controls = Lower(SideBySideCommonControls());
    EXPECT_NE(controls.find("common-controls_6595b64144ccf1df_6.0."), std::string::npos) << controls;
}
