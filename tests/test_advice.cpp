// The Advice window: its template, caption and the picture shown unscaled.
#include "res/resource.h"
#include "tests/TestSupport.h"
#include "windows/AdviceDlg.h"

#include <gtest/gtest.h>

namespace
{
class CAdviceProbe : public CAdviceDlg
{
public:
    BOOL OnInitDialog() override
    {
        CAdviceDlg::OnInitDialog();
        SetTimer(1, 50);
        return TRUE;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_TIMER && wParam == 1)
        {
            KillTimer(1);
            Inspect();
            PostMessage(WM_COMMAND, IDCANCEL);
            return 0;
        }
        return CAdviceDlg::WindowProc(message, wParam, lParam);
    }
    void Inspect()
    {
        char sz[64] = {};
        ::GetWindowTextA(m_hWnd, sz, sizeof sz);
        m_strCaption = sz;
        m_bVisible = IsWindowVisible() != FALSE;
        m_bTopmost = (::GetWindowLongA(m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        HWND hPicture = ::GetWindow(m_hWnd, GW_CHILD);
        HBITMAP hBmp = reinterpret_cast<HBITMAP>(::SendMessageA(hPicture, STM_GETIMAGE, IMAGE_BITMAP, 0));
        BITMAP bm = {};
        if (hBmp)
            ::GetObjectA(hBmp, sizeof bm, &bm);
        m_sizeBitmap = {bm.bmWidth, bm.bmHeight};
        RECT rc;
        ::GetWindowRect(hPicture, &rc);
        m_sizeControl = {rc.right - rc.left, rc.bottom - rc.top};
        ::GetClientRect(m_hWnd, &rc);
        m_sizeClient = {rc.right, rc.bottom};
    }

    std::string m_strCaption;
    bool m_bVisible = false;
    bool m_bTopmost = false;
    SIZE m_sizeBitmap = {};
    SIZE m_sizeControl = {};
    SIZE m_sizeClient = {};
};
} // namespace

TEST(AdviceWindow, ShowsTheWholePictureUnscaled)
{
    CAdviceProbe dlg;
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ(" Glimwickからのアドバイス", dlg.m_strCaption);
    EXPECT_TRUE(dlg.m_bVisible);
    EXPECT_TRUE(dlg.m_bTopmost);
    EXPECT_EQ(200, dlg.m_sizeBitmap.cx);
    EXPECT_EQ(368, dlg.m_sizeBitmap.cy);
    EXPECT_EQ(200, dlg.m_sizeControl.cx) << "the picture keeps its own size";
    EXPECT_EQ(368, dlg.m_sizeControl.cy);
    // About as large as the picture; dialog units follow the dialog font,
    // whose substitute here is a pixel taller than the original.
    EXPECT_NEAR(200, dlg.m_sizeClient.cx, 40);
    EXPECT_NEAR(368, dlg.m_sizeClient.cy, 40);
}
