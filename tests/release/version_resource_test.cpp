// The shipped launcher.exe's version resource, read back through version.dll
// as Explorer's file properties read it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "launcher_version.h"

namespace {

std::wstring widen(const char* utf8) {
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n > 0 ? n - 1 : 0), L'\0');
    if (n > 1) MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, out.data(), n);
    return out;
}

class VersionResource : public ::testing::Test {
protected:
    void SetUp() override {
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(LAUNCHER_TEST_PRODUCT, &ignored);
        ASSERT_NE(size, 0u) << "no version resource in the product, error " << GetLastError();
        data_.resize(size);
        ASSERT_TRUE(GetFileVersionInfoW(LAUNCHER_TEST_PRODUCT, 0, size, data_.data()));
    }

    // The value at <path>, or nullptr.
    void* query(const std::wstring& path, UINT* length) {
        void* value = nullptr;
        if (!VerQueryValueW(data_.data(), path.c_str(), &value, length)) return nullptr;
        return value;
    }

    std::vector<unsigned char> data_;
};

TEST_F(VersionResource, FixedPartHoldsTheVersionOfAnApplication) {
    UINT length = 0;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(query(L"\\", &length));
    ASSERT_NE(fixed, nullptr);
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u) << "debug, pre-release or patched flags set";
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);

    char dotted[32];
    std::snprintf(dotted, sizeof dotted, "%lu.%lu.%lu.%lu", fixed->dwFileVersionMS >> 16,
                  fixed->dwFileVersionMS & 0xFFFF, fixed->dwFileVersionLS >> 16, fixed->dwFileVersionLS & 0xFFFF);
    EXPECT_STREQ(dotted, LAUNCHER_VERSION_TEXT);
}

TEST_F(VersionResource, StringsAreTheConfiguredOnesInTheAnnouncedTranslation) {
    UINT length = 0;
    const auto* translation = static_cast<const WORD*>(query(L"\\VarFileInfo\\Translation", &length));
    ASSERT_NE(translation, nullptr);
    ASSERT_GE(length, 4u);
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
        const auto* value = static_cast<const wchar_t*>(query(std::wstring(block) + field.name, &length));
        ASSERT_NE(value, nullptr) << field.name;
        EXPECT_EQ(std::wstring(value), widen(field.expected)) << field.name;
    }
}

}  // namespace
