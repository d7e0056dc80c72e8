// Starts a program from its own folder, waits for its first window, saves a
// picture of it, clicks at a point of that window, waits for the window that
// follows and saves a picture of that one too, then closes the program.
// Given only FIRST.png it stops after the first picture. Given a shortcut
// (.lnk) it starts the shortcut's target in the shortcut's working folder and
// prints both.
// Usage: tessel3_dist_shots PROGRAM|SHORTCUT FIRST.png [SECOND.png CLICK_X CLICK_Y]

#include <QImage>
#include <QString>

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

struct Search
{
    DWORD process;
    HWND except;
    HWND found;
};

BOOL CALLBACK visitWindow(HWND window, LPARAM parameter)
{
    auto *search = reinterpret_cast<Search *>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    RECT rect{};
    if (process == search->process && window != search->except && IsWindowVisible(window) &&
        GetWindowRect(window, &rect) && rect.right - rect.left > 100) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// A visible top-level window of the process other than `except`.
HWND waitForWindow(DWORD process, HWND except, HANDLE running)
{
    for (int tries = 0; tries < 300; ++tries) {
        Search search{process, except, nullptr};
        EnumWindows(visitWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found && (!except || !IsWindowVisible(except)))
            return search.found;
        if (WaitForSingleObject(running, 100) == WAIT_OBJECT_0)
            return nullptr;
    }
    return nullptr;
}

// What the screen shows where the window is.
bool saveShot(HWND window, const wchar_t *file)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, previous);
    const QImage image = QImage::fromHBITMAP(bitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return image.save(QString::fromWCharArray(file));
}

void click(HWND window, int x, int y)
{
    POINT point{x, y};
    ClientToScreen(window, &point);
    SetForegroundWindow(window);
    SetCursorPos(point.x, point.y);
    Sleep(200);
    INPUT input[2]{};
    input[0].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].type = INPUT_MOUSE;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
}

int fail(const char *what)
{
    std::fprintf(stderr, "tessel3_dist_shots: %s\n", what);
    return 1;
}

void printLine(const char *label, const std::wstring &text)
{
    std::printf("%s: %s\n", label, QString::fromStdWString(text).toUtf8().constData());
    std::fflush(stdout);
}

// The target and the working folder a shortcut file names.
bool readShortcut(const std::wstring &file, std::wstring &target, std::wstring &folder)
{
    CoInitialize(nullptr);
    IShellLinkW *link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void **>(&link))))
        return false;
    IPersistFile *persist = nullptr;
    bool read = false;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&persist)))) {
        wchar_t path[MAX_PATH]{};
        wchar_t directory[MAX_PATH]{};
        read = SUCCEEDED(persist->Load(file.c_str(), STGM_READ)) &&
               SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH)) &&
               SUCCEEDED(link->GetWorkingDirectory(directory, MAX_PATH));
        target = path;
        folder = directory;
        persist->Release();
    }
    link->Release();
    return read;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc != 3 && argc != 6)
        return fail("usage: PROGRAM|SHORTCUT FIRST.png [SECOND.png CLICK_X CLICK_Y]");
    std::wstring program = argv[1];
    std::wstring folder = program.substr(0, program.find_last_of(L"\\/"));
    if (program.size() > 4 && _wcsicmp(program.c_str() + program.size() - 4, L".lnk") == 0) {
        if (!readShortcut(std::wstring(argv[1]), program, folder))
            return fail("cannot read the shortcut");
        printLine("target", program);
        printLine("folder", folder);
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + program + L"\"";
    // Started from its own folder, as a double click in Explorer does, or from
    // the shortcut's working folder, as the Start menu does.
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process))
        return fail("cannot start the program");
    int status = 0;
    HWND first = waitForWindow(process.dwProcessId, nullptr, process.hProcess);
    if (!first) {
        status = fail("no window appeared");
    } else {
        Sleep(1500);
        if (!saveShot(first, argv[2]))
            status = fail("cannot save the first picture");
    }
    if (first && argc == 6) {
        click(first, int(std::wcstol(argv[4], nullptr, 10)), int(std::wcstol(argv[5], nullptr, 10)));
        HWND second = waitForWindow(process.dwProcessId, first, process.hProcess);
        if (!second) {
            status = fail("no second window after the click");
        } else {
            Sleep(1500);
            if (!saveShot(second, argv[3]))
                status = fail("cannot save the second picture");
        }
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 5000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return status;
}
