// The progress dialog as the update run uses it, made from template 101 of the real resources.
#include <windows.h>
#include <commctrl.h>
#include <uxtheme.h>

#include <array>

#include "app/update_process_dialog.h"
#include "toolkit_support.h"

using namespace toolkit_test;

namespace {

LRESULT position_of(const Kesto::Cc_progress& bar)
{
    return SendMessageW(bar.hwnd, PBM_GETPOS, 0, 0);
}

using Cbox = std::array<LONG, 4>;  // left, top, right, bottom

// Where a dialog item lies in the dialog's client coordinates.
Cbox item_box(HWND dialog, int item_id)
{
    RECT rect;
    GetWindowRect(GetDlgItem(dialog, item_id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

Cbox dialog_units_to_pixels(HWND dialog, int x, int y, int width, int height)
{
    RECT rect = {x, y, x + width, y + height};
    MapDialogRect(dialog, &rect);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

class Progress_dialog : public Ctoolkit_test {
protected:
    void SetUp() override
    {
        Ctoolkit_test::SetUp();
        ASSERT_TRUE(g_progress_dialog.create(IDD_UPDATE_PROCESS_TEMPLATE));
    }
    Cupdate_process_dialog& dialog = g_progress_dialog;
};

}  // namespace

// Template 101 as the run finds it: hidden, its caption and "..." text, both bars empty, each
// control where the template puts it, the whole centred on the work area.
TEST_F(Progress_dialog, ComesFromTemplate101HiddenCentredAndBound)
{
    EXPECT_FALSE(IsWindowVisible(dialog.hwnd));
    EXPECT_EQ(window_text(dialog.hwnd), L"Dialog");
    EXPECT_EQ(window_text(dialog.status_text.hwnd), L"...");
    EXPECT_EQ(g_application.windows, std::vector<HWND>{dialog.hwnd});

    const struct {
        const Kesto::Ccontrol* member;
        int item_id;
        int x, y, width, height;
    } rows[] = {
        {&dialog.status_text, IDC_STATUS_TEXT, 7, 3, 204, 14},
        {&dialog.progress_bars[0], IDC_OVERALL_PROGRESS, 7, 34, 204, 14},
        {&dialog.progress_bars[1], IDC_FILE_PROGRESS, 7, 53, 204, 14},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.member->hwnd, GetDlgItem(dialog.hwnd, row.item_id)) << row.item_id;
        EXPECT_NE(row.member->hwnd, nullptr) << row.item_id;
        EXPECT_EQ(GetWindowLongPtrW(row.member->hwnd, GWLP_WNDPROC), toolkit_procedure()) << row.item_id;
        EXPECT_EQ(item_box(dialog.hwnd, row.item_id),
                  dialog_units_to_pixels(dialog.hwnd, row.x, row.y, row.width, row.height))
            << row.item_id;
    }
    RECT client;
    GetClientRect(dialog.hwnd, &client);
    EXPECT_EQ((Cbox{0, 0, client.right, client.bottom}), dialog_units_to_pixels(dialog.hwnd, 0, 0, 218, 70));

    // The dialog manager turns WS_BORDER into an edge, which an unthemed bar keeps and a themed
    // one (Wine themes even the classic controls) replaces by the frame the theme draws.
    for (Kesto::Cc_progress& bar : dialog.progress_bars) {
        EXPECT_EQ(position_of(bar), 0);
        bar.set_range(0, 1000);
        PBRANGE range = {};
        SendMessageW(bar.hwnd, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
        EXPECT_EQ(range.iHigh, 1000);
        const LONG_PTR style = GetWindowLongPtrW(bar.hwnd, GWL_STYLE);
        const LONG_PTR extended = GetWindowLongPtrW(bar.hwnd, GWL_EXSTYLE);
        EXPECT_EQ(style & (PBS_SMOOTH | PBS_VERTICAL), 0);
        const bool edged = (style & WS_BORDER) != 0 || (extended & (WS_EX_STATICEDGE | WS_EX_CLIENTEDGE)) != 0;
        EXPECT_TRUE(edged || GetWindowTheme(bar.hwnd) != nullptr);
    }

    RECT work_area;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work_area, 0);
    RECT window;
    GetWindowRect(dialog.hwnd, &window);
    EXPECT_NEAR((window.left + window.right) / 2.0, (work_area.left + work_area.right) / 2.0, 1.0);
    EXPECT_NEAR((window.top + window.bottom) / 2.0, (work_area.top + work_area.bottom) / 2.0, 1.0);

    dialog.show();
    EXPECT_TRUE(IsWindowVisible(dialog.hwnd));
    dialog.destroy();
    EXPECT_EQ(dialog.status_text.hwnd, nullptr);
    EXPECT_EQ(dialog.progress_bars[1].hwnd, nullptr);
    EXPECT_TRUE(g_application.windows.empty());
}

TEST_F(Progress_dialog, StatusTextGetsACarriageReturnBeforeEveryLineFeed)
{
    const struct {
        std::wstring text;
        std::wstring shown;
    } rows[] = {
        {L"BGM\\オープニング.ogg", L"BGM\\オープニング.ogg"},
        {L"a\nb", L"a\r\nb"},
        {L"a\r\nb", L"a\r\r\nb"},
        {L"\n\n", L"\r\n\r\n"},
    };
    for (const auto& row : rows) {
        dialog.status_text.set_text(row.text);
        EXPECT_EQ(window_text(dialog.status_text.hwnd), row.shown);
    }
}
