// The shipped launcher.exe's version resource, read back through version.dll
// as Explorer's file properties read it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/unicode_windows.h"
#include "launcher_version.h"

namespace {

TEST(VersionResource, HoldsTheConfiguredVersionAndTexts) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(LAUNCHER_TEST_PRODUCT, &ignored);
    ASSERT_NE(size, 0u) << "no version resource in the product, error " << GetLastError();
    std::vector<unsigned char> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(LAUNCHER_TEST_PRODUCT, 0, size, data.data()));
    void* value = nullptr;
    UINT length = 0;

    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", &value, &length));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u) << "debug, pre-release or patched flags set";
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    char dotted[32];
    std::snprintf(dotted, sizeof dotted, "%lu.%lu.%lu.%lu", fixed->dwFileVersionMS >> 16,
                  fixed->dwFileVersionMS & 0xFFFF, fixed->dwFileVersionLS >> 16, fixed->dwFileVersionLS & 0xFFFF);
    EXPECT_STREQ(dotted, LAUNCHER_VERSION_TEXT);

    // The strings of the first translation the resource announces.
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &value, &length));
    ASSERT_GE(length, 4u);
    const auto* translation = static_cast<const WORD*>(value);
    wchar_t block[64];
    std::swprintf(block, 64, L"\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
    const struct {
        const wchar_t* name;
        const char* expected;
    } fields[] = {
        {L"CompanyName", LAUNCHER_COMPANY_NAME},       {L"FileDescription", LAUNCHER_FILE_DESCRIPTION},
        {L"FileVersion", LAUNCHER_VERSION_TEXT},       {L"InternalName", "launcher"},
        {L"LegalCopyright", LAUNCHER_LEGAL_COPYRIGHT}, {L"OriginalFilename", "launcher.exe"},
        {L"ProductName", LAUNCHER_PRODUCT_NAME},       {L"ProductVersion", LAUNCHER_VERSION_TEXT},
    };
    for (const auto& field : fields) {
        ASSERT_TRUE(VerQueryValueW(data.data(), (std::wstring(block) + field.name).c_str(), &value, &length))
            << field.name;
        EXPECT_EQ(launcherwindows::unicode::from_wide(static_cast<const wchar_t*>(value)), field.expected)
            << field.name;
    }
}

}  // namespace
