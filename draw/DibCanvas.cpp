// The picture's life: construction, the lock, the drawing contexts, the
// accessors and release.
#include "draw/DibCanvas.h"

#include "draw/DibHeader.h"

#include <cstring>
#include <memory>

CDibCanvas::CDibCanvas()
{
    ::InitializeCriticalSection(&m_cs);
}

CDibCanvas::CDibCanvas(HINSTANCE hInstance, UINT nIDResource, COLORREF crKey) : CDibCanvas()
{
    LoadResourceBitmap(hInstance, MAKEINTRESOURCEA(nIDResource), crKey);
}

CDibCanvas::CDibCanvas(HANDLE hBitmapOrDib, COLORREF crKey) : CDibCanvas()
{
    AttachBitmap(hBitmapOrDib, crKey);
}

CDibCanvas::~CDibCanvas()
{
    Release();
    ::DeleteCriticalSection(&m_cs);
    // The mask, the palette and the picture's own object go with their
    // members and the base class, each only if it still holds a handle.
}

// ---- Lock ----

void CDibCanvas::Lock()
{
    const DWORD dwMe = ::GetCurrentThreadId();
    DWORD dwOwner = m_dwOwnerThread.load();
    while (dwOwner != 0 && dwOwner != dwMe)
    {
        ::Sleep(100);
        dwOwner = m_dwOwnerThread.load();
    }
    if (dwOwner != dwMe)
    {
        ::EnterCriticalSection(&m_cs);
        m_dwOwnerThread.store(dwMe);
        m_nLockCount = 0;
    }
    ++m_nLockCount;
}

void CDibCanvas::Unlock()
{
    if (m_dwOwnerThread.load() != ::GetCurrentThreadId())
        return;
    if (--m_nLockCount == 0)
    {
        m_dwOwnerThread.store(0);
        ::LeaveCriticalSection(&m_cs);
    }
}

// ---- Drawing contexts ----

void CDibCanvas::PrepareContext(CCanvasDC& dc, CTempGdiObjects* pKeep)
{
    if (m_pDrawDC)
    {
        dc.Borrow(m_pDrawDC);
        return;
    }
    dc.KeepTemporariesIn(pKeep);
    dc.CreateFor(static_cast<HBITMAP>(m_hObject));
}

void CDibCanvas::BeginDraw()
{
    Lock();
    ++m_nDrawDepth;
    if (m_pDrawDC)
        return;
    try
    {
        auto pDC = std::make_unique<CCanvasDC>();
        pDC->CreateFor(static_cast<HBITMAP>(m_hObject));
        m_pDrawDC = pDC.release();
        RealizeInto(m_pDrawDC);
    }
    catch (const CException&)
    {
    }
    catch (const std::bad_alloc&)
    {
    }
}

void CDibCanvas::EndDraw()
{
    if (m_dwOwnerThread.load() != ::GetCurrentThreadId() || m_nDrawDepth == 0)
        return;
    if (--m_nDrawDepth == 0)
    {
        delete m_pDrawDC;
        m_pDrawDC = nullptr;
    }
    Unlock();
}

// ---- Accessors ----

BOOL CDibCanvas::IsCreated()
{
    return m_hObject != NULL;
}

CBitmap* CDibCanvas::GetBitmap()
{
    return this;
}

int CDibCanvas::GetWidth()
{
    return m_hObject ? m_nWidth : 0;
}

int CDibCanvas::GetHeight()
{
    return m_hObject ? m_nHeight : 0;
}

DWORD CDibCanvas::GetImageSize()
{
    if (!m_pInfo)
        return 0;
    const BITMAPINFOHEADER& bih = m_pInfo->bmiHeader;
    return DibStride(bih.biBitCount, bih.biWidth) * static_cast<DWORD>(bih.biHeight < 0 ? -bih.biHeight : bih.biHeight);
}

void* CDibCanvas::GetBits(DWORD* pSize)
{
    if (!m_pInfo)
        return nullptr;
    if (pSize)
        *pSize = GetImageSize();
    return m_pBits;
}

BITMAPINFO* CDibCanvas::GetBitmapInfo()
{
    return m_hObject ? m_pInfo : nullptr;
}

BYTE* CDibCanvas::GetPixelAddress(int x, int y)
{
    if (!m_pInfo || !m_pBits || !m_hObject || x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight)
        return nullptr;
    const int nBitCount = m_pInfo->bmiHeader.biBitCount;
    const size_t nRow = static_cast<size_t>(m_bTopDown ? y : m_nHeight - y - 1);
    return static_cast<BYTE*>(m_pBits) + static_cast<size_t>(x) * nBitCount / 8 +
           DibStride(nBitCount, m_nWidth) * nRow;
}

// ---- Release ----

// A file picture's record begins with its path, which is not a flag even
// when it reads like one.
BOOL CDibCanvas::HasKind(LPCSTR pszWord) const
{
    const char* p = m_strFlags.GetString();
    const size_t nLength = std::strlen(p);
    const bool bFromFile = nLength >= 10 && std::strcmp(p + nLength - 10, "|LOAD_FILE") == 0;
    bool bFirst = true;
    while (*p)
    {
        const char* pEnd = std::strchr(p, '|');
        const size_t nWord = pEnd ? static_cast<size_t>(pEnd - p) : std::strlen(p);
        if (!(bFirst && bFromFile) && nWord == std::strlen(pszWord) && std::strncmp(p, pszWord, nWord) == 0)
            return TRUE;
        bFirst = false;
        p += nWord;
        if (*p)
            ++p;
    }
    return FALSE;
}

BOOL CDibCanvas::Release()
{
    // The bound context first: a bitmap selected into it cannot be deleted.
    delete m_pDrawDC;
    m_pDrawDC = nullptr;

    if (m_hObject)
    {
        const HGDIOBJ hBitmap = CGdiObject::Detach();
        if (!HasKind("ATTACH_BITMAP"))
            ::DeleteObject(hBitmap);
    }
    m_hResData = NULL;
    if (m_pInfo && HasKind("ALLOC_INFO"))
        FreeBitmapInfo(m_pInfo);
    m_pInfo = nullptr;
    m_palette.DeleteObject();
    m_mask.DeleteObject();
    m_strFlags.Empty();
    m_bTopDown = FALSE;
    return TRUE;
}

HBITMAP CDibCanvas::Detach()
{
    const HBITMAP hBitmap = static_cast<HBITMAP>(CGdiObject::Detach());
    Release();
    return hBitmap;
}
