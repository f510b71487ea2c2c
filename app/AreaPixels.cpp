#include "app/AreaPixels.h"

#include <algorithm>

namespace
{
// A run's top row needs this many rows of the area below it.
const int kRowsBelowRun = 10;
// Reading pixel by pixel, the scan leaves the screen to others a moment
// after this many probes.
const int kProbesPerPause = 500;
const DWORD kPauseMs = 1;
// What the picture holds where the screen has no pixel: white, like
// CLR_INVALID neither of the markers' colours.
const DWORD kNoPixel = 0x00FFFFFF;
const DWORD kColourBits = 0x00FFFFFF;
} // namespace

CAreaPixels::CAreaPixels(const RECT& rcArea, Reading reading)
    : m_rcArea(rcArea), m_screen(NULL), m_dc(static_cast<HDC>(NULL))
{
    const int cx = rcArea.right - rcArea.left;
    const int cy = rcArea.bottom - rcArea.top;
    if (reading != READ_AT_ONCE || cx <= 0 || cy <= 0 || !m_dc.m_hDC)
        return;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = cx;
    bi.bmiHeader.biHeight = -cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    if (!m_picture.Attach(::CreateDIBSection(m_dc, &bi, DIB_RGB_COLORS, &pBits, NULL, 0)) || !pBits)
        return;
    m_hOldBitmap = ::SelectObject(m_dc, m_picture);
    std::fill_n(static_cast<DWORD*>(pBits), static_cast<size_t>(cx) * cy, kNoPixel);
    m_pBits = static_cast<const DWORD*>(pBits);
}

CAreaPixels::~CAreaPixels()
{
    if (m_hOldBitmap)
        ::SelectObject(m_dc, m_hOldBitmap);
}

void CAreaPixels::Read()
{
    if (!m_pBits)
        return;
    // Only what the screen has: a transfer from beyond its edges fails
    // as a whole.
    const RECT rcScreen = {::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN),
                           ::GetSystemMetrics(SM_XVIRTUALSCREEN) + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                           ::GetSystemMetrics(SM_YVIRTUALSCREEN) + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    RECT rc;
    if (::IntersectRect(&rc, &m_rcArea, &rcScreen))
        ::BitBlt(m_dc, rc.left - m_rcArea.left, rc.top - m_rcArea.top, rc.right - rc.left, rc.bottom - rc.top,
                 m_screen, rc.left, rc.top, SRCCOPY);
    ::GdiFlush();
    ++m_nReads;
}

COLORREF CAreaPixels::Pixel(int x, int y) const
{
    if (!m_pBits)
    {
        ++m_nReads;
        return ::GetPixel(m_screen, x, y);
    }
    // The picture holds 0x00RRGGBB, a COLORREF the bytes the other way round.
    const DWORD dw = m_pBits[static_cast<size_t>(y - m_rcArea.top) * (m_rcArea.right - m_rcArea.left) +
                             (x - m_rcArea.left)] &
                     kColourBits;
    return RGB(GetBValue(dw), GetGValue(dw), GetRValue(dw));
}

BOOL CAreaPixels::IsRun(POINT pt, COLORREF crOuter, COLORREF crMiddle) const
{
    return Pixel(pt.x, pt.y) == crOuter && Pixel(pt.x, pt.y + 1) == crMiddle && Pixel(pt.x, pt.y + 2) == crOuter;
}

BOOL CAreaPixels::FindRun(POINT& pt, COLORREF crOuter, COLORREF crMiddle, HANDLE hStop) const
{
    int nProbes = 0;
    // TRUE when the search was called off at a pause.
    auto Probe = [&]() -> BOOL {
        if (m_pBits || ++nProbes < kProbesPerPause)
            return FALSE;
        nProbes = 0;
        if (!hStop)
        {
            ::Sleep(kPauseMs);
            return FALSE;
        }
        return ::WaitForSingleObject(hStop, kPauseMs) == WAIT_OBJECT_0;
    };
    for (int x = pt.x; x < m_rcArea.right; ++x)
    {
        if (Probe())
            return FALSE;
        for (int y = x == pt.x ? pt.y : m_rcArea.top; y < m_rcArea.bottom - kRowsBelowRun; ++y)
        {
            if (Probe())
                return FALSE;
            if (IsRun({x, y}, crOuter, crMiddle))
            {
                pt = {x, y};
                return TRUE;
            }
        }
    }
    return FALSE;
}
