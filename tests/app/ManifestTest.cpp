// The program's manifest as the system reads it: DPI awareness, supported systems, the rights it asks for,
// and the common controls with visual styles that its dialogs get.
#include "support/WinTestUtil.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <string>

TEST(Manifest, TheSystemReadsDpiAwarenessSupportedSystemsRunLevelAndVisualStyles) {
    const std::string exe = WinePath(VANTOREL_EXE);
    ACTCTXA source{};
    source.cbSize = sizeof source;
    source.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    source.lpSource = exe.c_str();
    source.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
    HANDLE context = CreateActCtxA(&source);
    ASSERT_NE(context, INVALID_HANDLE_VALUE) << "no valid manifest in the program: " << GetLastError();
    const auto setting = [context](const wchar_t* space, const wchar_t* name) {
        wchar_t value[128] = {};
        SIZE_T written = 0;
        return std::wstring(QueryActCtxSettingsW(0, context, space, name, value, 128, &written) ? value
                                                                                                : L"-");
    };
    EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
              L"PerMonitorV2, PerMonitor");
    EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"), L"true/pm")
        << "the fallback for systems before Windows 10";

    // Windows 7, 8, 8.1 and 10/11, each by its own id (the record's layout differs between SDKs).
    char buffer[4096] = {};
    SIZE_T size = 0;
    ASSERT_TRUE(QueryActCtxW(0, context, nullptr, CompatibilityInformationInActivationContext, buffer,
                             sizeof buffer, &size));
    const std::string record(buffer, size);
    EXPECT_EQ(*reinterpret_cast<const DWORD*>(buffer), 4u);
    for (const GUID& id :
         {GUID{0x35138b9a, 0x5d96, 0x4fbd, {0x8e, 0x2d, 0xa2, 0x44, 0x02, 0x25, 0xf9, 0x3a}},
          GUID{0x4a2f28e3, 0x53b9, 0x4441, {0xba, 0x9c, 0xd6, 0x9d, 0x4a, 0x4a, 0x6e, 0x38}},
          GUID{0x1f676c76, 0x80e1, 0x4239, {0x95, 0xbb, 0x83, 0xd0, 0xf6, 0xd0, 0xda, 0x78}},
          GUID{0x8e0f7a12, 0xbfb3, 0x4fe8, {0xb9, 0xa5, 0x48, 0xfd, 0x50, 0xa1, 0x5a, 0x9a}}})
        EXPECT_NE(record.find(std::string(reinterpret_cast<const char*>(&id), sizeof id)), std::string::npos)
            << std::hex << id.Data1;
    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level{};
    ASSERT_TRUE(QueryActCtxW(0, context, nullptr, RunlevelInformationInActivationContext, &level,
                             sizeof level, &size));
    EXPECT_EQ(level.RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
    EXPECT_EQ(level.UiAccess, 0u);

    // A button made under the manifest, as the program's dialogs make theirs, brings version 6 of the
    // common controls in: a side-by-side assembly (the system folder holds the older version). Under the
    // manifest the name stands for that assembly's library, found only once it is loaded.
    ULONG_PTR cookie = 0;
    ASSERT_TRUE(ActivateActCtx(context, &cookie));
    DestroyWindow(
        CreateWindowExA(0, "Button", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    char controls[MAX_PATH] = {};
    GetModuleFileNameA(GetModuleHandleA("comctl32.dll"), controls, MAX_PATH);
    DeactivateActCtx(0, cookie);
    ReleaseActCtx(context);
    EXPECT_TRUE(StrStrIA(controls, "common-controls_6595b64144ccf1df_6.0.")) << controls;
}
