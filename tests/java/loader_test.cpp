// Our dlopen family over the Windows loader, under Wine.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "test_files.h"

namespace fs = std::filesystem;

namespace {

std::string utf8(const fs::path& p) {
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}

std::string system_message(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer ? buffer : L"", n);
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == L' ' || text.back() == L'\r' || text.back() == L'\n')) text.pop_back();
    return utf8(fs::path(text));
}

std::string take_error() {
    const char* e = dlerror();
    return e ? e : "(none)";
}

// A folder of the two DLLs, away from the test program, under a name with a
// space and non-ASCII letters; the working directory is its grandparent.
class DynamicLoader : public testing::Test {
protected:
    void SetUp() override {
        old_cwd = fs::current_path();
        // Wine may hold a file of an unloaded DLL a while: one folder per test.
        root = test_files::fresh_directory(std::string("loader-") +
                                           testing::UnitTest::GetInstance()->current_test_info()->name());
        folder = root / u8"sub dir" / u8"\u00fcn\u00ef";
        fs::create_directories(folder);
        for (const char* dll : {"loader_a.dll", "loader_b.dll"})
            fs::copy_file(fs::path(LAUNCHER_TEST_LOADER_DLLS) / dll, folder / dll);
        fs::current_path(root);
        (void)dlerror();
    }
    void TearDown() override { fs::current_path(old_cwd); }

    fs::path old_cwd, root, folder;
};

}  // namespace

TEST_F(DynamicLoader, RelativeUtf8PathFindsTheDllsBesideTheLibrary) {
    // Without the altered search path loader_b.dll is not found.
    const UINT old_mode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    EXPECT_EQ(LoadLibraryExW((folder / "loader_a.dll").c_str(), nullptr, 0), nullptr);
    SetErrorMode(old_mode);

    void* a = dlopen(reinterpret_cast<const char*>(u8"sub dir/\u00fcn\u00ef/loader_a.dll"), 0);
    ASSERT_NE(a, nullptr) << take_error();
    EXPECT_EQ(dlerror(), nullptr);
    auto value = reinterpret_cast<int (*)()>(dlsym(a, "loader_a_value"));
    ASSERT_NE(value, nullptr) << take_error();
    EXPECT_EQ(value(), 42);

    // Critical-error boxes are off while the library loads.
    const auto* mode = static_cast<const DWORD*>(dlsym(a, "loader_a_error_mode_at_load"));
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(*mode & (SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX),
              DWORD{SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX});

    EXPECT_EQ(dlclose(a), 0);
    EXPECT_EQ(GetModuleHandleW((folder / "loader_a.dll").c_str()), nullptr);
}

TEST_F(DynamicLoader, AbsoluteAndBareNamesLoadToo) {
    void* a = dlopen(utf8(folder / "loader_a.dll").c_str(), 0);
    ASSERT_NE(a, nullptr) << take_error();
    void* again = dlopen(reinterpret_cast<const char*>(u8".\\sub dir\\\u00fcn\u00ef\\loader_a.dll"), 0);
    EXPECT_EQ(again, a);
    EXPECT_EQ(dlclose(again), 0);
    EXPECT_EQ(dlclose(a), 0);

    void* kernel = dlopen("kernel32.dll", 0);
    ASSERT_NE(kernel, nullptr) << take_error();
    EXPECT_NE(dlsym(kernel, "GetTickCount"), nullptr);
    EXPECT_EQ(dlclose(kernel), 0);
}

TEST_F(DynamicLoader, FailuresCarryTheSystemMessageOnceAndRestoreTheErrorMode) {
    UINT old_mode = 0;
    SetThreadErrorMode(SEM_NOGPFAULTERRORBOX, reinterpret_cast<DWORD*>(&old_mode));

    EXPECT_EQ(dlopen("no such/library.dll", 0), nullptr);
    const std::string text = take_error();
    const std::string prefix = "cannot load no such/library.dll: ";
    ASSERT_EQ(text.rfind(prefix, 0), 0u) << text;
    const std::string message = text.substr(prefix.size());
    EXPECT_TRUE(message == system_message(ERROR_MOD_NOT_FOUND) || message == system_message(ERROR_PATH_NOT_FOUND) ||
                message == system_message(ERROR_FILE_NOT_FOUND))
        << message;
    EXPECT_EQ(dlerror(), nullptr);
    EXPECT_EQ(GetThreadErrorMode(), DWORD{SEM_NOGPFAULTERRORBOX});

    void* kernel = dlopen("kernel32.dll", 0);
    ASSERT_NE(kernel, nullptr);
    EXPECT_EQ(GetThreadErrorMode(), DWORD{SEM_NOGPFAULTERRORBOX});
    EXPECT_EQ(dlsym(kernel, "NoSuchExport"), nullptr);
    EXPECT_EQ(take_error(), "cannot look up NoSuchExport: " + system_message(ERROR_PROC_NOT_FOUND));
    dlclose(kernel);

    SetThreadErrorMode(old_mode, nullptr);
}
