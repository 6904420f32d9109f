// Finds a top-level window the way a person sees it (shown, by its title),
// prints what it says and, with --click, closes it by a mouse click on its
// button (tests and the demo only):
//   find_window <title> <seconds> [--click]
// Prints "title: ", "foreground: yes|no", "button: " and "text: " lines (the
// text last: it may span lines). Exit 0 when found (and, with --click, gone
// after the click), 1 when no such window appeared in time, 2 for a bad
// command line, 4 when the click did not close it.
#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

#include "common/unicode_windows.h"

namespace {

using launcherwindows::unicode::from_wide;

std::wstring text_of(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool of_class(HWND window, const wchar_t* name) {
    wchar_t class_name[64] = {};
    GetClassNameW(window, class_name, 64);
    return _wcsicmp(class_name, name) == 0;
}

struct Search {
    std::wstring title;
    HWND window = nullptr;
};

BOOL CALLBACK match(HWND window, LPARAM search) {
    auto* s = reinterpret_cast<Search*>(search);
    if (!IsWindowVisible(window) || text_of(window) != s->title) return TRUE;
    s->window = window;
    return FALSE;
}

struct Content {
    std::vector<std::wstring> texts;
    HWND button = nullptr;
};

BOOL CALLBACK collect(HWND child, LPARAM content) {
    auto* c = reinterpret_cast<Content*>(content);
    if (!IsWindowVisible(child)) return TRUE;
    if (of_class(child, L"Static") && !text_of(child).empty()) c->texts.push_back(text_of(child));
    if (of_class(child, L"Button") && c->button == nullptr) c->button = child;
    return TRUE;
}

void print(const std::string& line) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

// Down and up in the button's middle, as the mouse of a person.
void click(HWND button) {
    RECT r{};
    GetWindowRect(button, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
}

bool within(DWORD start, DWORD milliseconds) { return GetTickCount() - start < milliseconds; }

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3 || (argc == 4 && std::wstring(argv[3]) != L"--click") || argc > 4) return 2;
    const DWORD wait = static_cast<DWORD>(_wtoi(argv[2])) * 1000;
    Search search{argv[1]};
    for (const DWORD start = GetTickCount();; Sleep(100)) {
        EnumWindows(match, reinterpret_cast<LPARAM>(&search));
        if (search.window != nullptr) break;
        if (!within(start, wait)) return 1;
    }
    Content content;
    EnumChildWindows(search.window, collect, reinterpret_cast<LPARAM>(&content));
    print("title: " + from_wide(search.title) + "\n");
    print(std::string("foreground: ") + (GetForegroundWindow() == search.window ? "yes" : "no") + "\n");
    print("button: " + (content.button != nullptr ? from_wide(text_of(content.button)) : std::string()) + "\n");
    for (const std::wstring& text : content.texts) print("text: " + from_wide(text) + "\n");
    if (argc < 4) return 0;
    if (content.button == nullptr) return 4;
    click(content.button);
    for (const DWORD start = GetTickCount(); IsWindow(search.window); Sleep(100)) {
        if (!within(start, 10000)) return 4;
    }
    return 0;
}
