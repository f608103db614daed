// Times the attachment list window over a large store: a full repaint and a scroll of many
// line steps, each step painted. Not a test; it prints its figures.
//
//   morvek_list_benchmark [records] [steps] [repaints]
//
// The store is made in a fresh folder under the temporary path: one record file per record
// and the first record's folder with a few attachments (the open record).

#include <windows.h>

#include "app/Velmaron1App.h"
#include "gui/ScanConfirmDlg.h"
#include "platform/FileSystem.h"
#include "platform/SpecialFolders.h"
#include "store/RecordStore.h"
#include "view/win/Velmaron1View.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

class CFrame : public ui::CWindowBase {
protected:
    bool OnMessage(UINT, WPARAM, LPARAM, LRESULT&) override { return false; }
};

double Now() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

bool WriteText(const std::string& path, const std::string& text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return written == text.size();
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int records = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int steps = argc > 2 ? std::atoi(argv[2]) : 1000;
    const int repaints = argc > 3 ? std::atoi(argv[3]) : 100;

    const std::string folder =
        platform::TempPath() + "morvek-list-bench-" + std::to_string(GetCurrentProcessId());
    platform::MakeFolder(folder);
    CVelmaron1App app("C:\\morvek.exe", folder);
    const std::string data = app.GetDataFolder();

    const double madeStart = Now();
    std::vector<std::string> list;
    list.reserve(static_cast<std::size_t>(records));
    for (int i = 0; i < records; ++i) {
        const std::string name = "r" + std::to_string(i);
        WriteText(data + name + ".att", "2004年12月06日 10:20:30\r\r\nsender" + std::to_string(i) +
                                            "@example.jp\r\r\nsubject " + std::to_string(i) +
                                            "\r\r\n");
        list.push_back(data + name + ".att");
    }
    platform::MakeFolder(data + "r0");
    for (const char* file : {"a.txt", "b.pdf", "c.doc", "d.exe.alert"}) {
        WriteText(data + "r0\\" + file, "attachment");
    }
    WriteText(data + "r0\\m.eml",
              "From: a@example.jp\r\nSubject: hello\r\nDate: Mon, 6 Dec 2004 10:20:30 +0900\r\n"
              "\r\nbody\r\n");
    std::printf("store of %d records made in %.0f ms\n", records, Now() - madeStart);

    CFrame frame;
    frame.Create(L"MorvekBenchFrame", 0, WS_POPUP | WS_VISIBLE, L"bench", RECT{0, 0, 800, 600},
                 nullptr);
    CVelmaron1View view(app, AskScanConfirm);
    if (!view.CreateView(frame.GetHwnd())) {
        std::printf("the view could not be created\n");
        return 1;
    }
    // The records are listed as the list file would list them; the reconciliation, a start-up
    // cost, is timed by its own tool.
    view.GetStore().m_arrRecords = list;
    view.GetStore().OpenFirstRecord();
    view.GetLayout().SetScrollExtent();
    view.GetLayout().InvalidateAll();
    view.ApplyUpdate();
    UpdateWindow(view.GetHwnd());
    Pump();

    const HWND hwnd = view.GetHwnd();
    double start = Now();
    for (int i = 0; i < repaints; ++i) {
        InvalidateRect(hwnd, nullptr, TRUE);
        UpdateWindow(hwnd);
    }
    const double repaint = (Now() - start) / repaints;
    std::printf("full repaint (%d rows listed): %.3f ms each, over %d repaints\n", records + 5,
                repaint, repaints);

    start = Now();
    for (int i = 0; i < steps; ++i) {
        SendMessageW(hwnd, WM_VSCROLL, SB_LINEDOWN, 0);
        UpdateWindow(hwnd);
    }
    const double down = Now() - start;
    start = Now();
    for (int i = 0; i < steps; ++i) {
        SendMessageW(hwnd, WM_VSCROLL, SB_LINEUP, 0);
        UpdateWindow(hwnd);
    }
    const double up = Now() - start;
    std::printf("%d line steps down, each painted: %.1f ms (%.3f ms a step)\n", steps, down,
                down / steps);
    std::printf("%d line steps up, each painted: %.1f ms (%.3f ms a step)\n", steps, up,
                up / steps);

    // A jump to the end and back (the thumb dragged), each painted.
    start = Now();
    for (int i = 0; i < steps; ++i) {
        view.GetLayout().ScrollToPosition({0, (i % 2 == 0) ? records * 38 : 0});
        view.ApplyUpdate();
        UpdateWindow(hwnd);
    }
    std::printf("%d jumps between the top and the end, each painted: %.1f ms\n", steps,
                Now() - start);

    // The layout alone: the paint plan of a window at the end of the list.
    const list::Rect clip{0, records * 38 - 600, 800, records * 38};
    start = Now();
    std::size_t rows = 0;
    for (int i = 0; i < repaints; ++i) {
        rows += view.GetLayout().PlanPaint(clip).size();
    }
    std::printf("paint plan over %d records: %.3f ms (%zu rows each)\n", records,
                (Now() - start) / repaints, rows / static_cast<std::size_t>(repaints));

    DestroyWindow(hwnd);
    CRecordStore::DeleteFolderTree(folder);
    return 0;
}
