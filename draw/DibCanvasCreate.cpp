// How a picture comes into being: blank, from a header, a resource, a .bmp
// file or an adopted handle.
#include "draw/DibCanvas.h"

#include "draw/BmpFile.h"
#include "draw/DibHeader.h"
#include "draw/PackedDib.h"
#include "frame/WindowDC.h"

#include <cstring>

void CDibCanvas::Adopt(HBITMAP hBitmap, BITMAPINFO* pInfo, LPCSTR pszKind, COLORREF crKey)
{
    CGdiObject::Attach(hBitmap);
    ::GetObjectA(hBitmap, sizeof(m_bm), &m_bm);
    m_nWidth = m_bm.bmWidth;
    m_nHeight = m_bm.bmHeight;
    m_nColors = ColorCountOfDepth(m_bm.bmBitsPixel);
    m_pBits = m_bm.bmBits;
    m_pInfo = pInfo;
    m_strFlags = pszKind;
    BuildPalette();
    SetTransparentColor(crKey);
}

BOOL CDibCanvas::CreateFromInfo(const BITMAPINFO* pInfo, const void* pBits, COLORREF crKey)
{
    // The copy and the section come first, so that a picture may be made
    // again from its own header and bits.
    BITMAPINFO* pCopy = CopyBitmapInfo(pInfo, MAXDWORD);
    void* pSectionBits = nullptr;
    HBITMAP hSection = NULL;
    if (pCopy)
    {
        CWindowDC screen(NULL);
        hSection = ::CreateDIBSection(screen.GetSafeHdc(), pCopy, DIB_RGB_COLORS, &pSectionBits, NULL, 0);
    }
    BITMAPINFOHEADER* pHeader = pCopy ? &pCopy->bmiHeader : nullptr;
    if (hSection && pBits)
    {
        const int nRows = pHeader->biHeight < 0 ? -pHeader->biHeight : pHeader->biHeight;
        std::memcpy(pSectionBits, pBits, static_cast<size_t>(DibStride(pHeader->biBitCount, pHeader->biWidth)) * nRows);
    }

    Release();
    if (!hSection)
    {
        FreeBitmapInfo(pCopy);
        return FALSE;
    }
    m_bTopDown = pHeader->biHeight < 0;
    if (m_bTopDown)
        pHeader->biHeight = -pHeader->biHeight;
    CGdiObject::Attach(hSection);
    ::GetObjectA(hSection, sizeof(m_bm), &m_bm);
    m_nWidth = m_bm.bmWidth;
    m_nHeight = m_bm.bmHeight;
    m_nColors = DibColorCount(*pHeader);
    m_pInfo = pCopy;
    m_pBits = pSectionBits;
    m_strFlags = "CREATE_BITMAP|ALLOC_INFO";
    BuildPalette();
    SetTransparentColor(crKey);
    return TRUE;
}

BOOL CDibCanvas::CreateFromPackedDib(const BITMAPINFO* pPacked, COLORREF crKey)
{
    if (!pPacked)
    {
        Release();
        return FALSE;
    }
    const BYTE* pBits = reinterpret_cast<const BYTE*>(pPacked) + DibBitsOffset(pPacked->bmiHeader);
    return CreateFromInfo(pPacked, pBits, crKey);
}

BOOL CDibCanvas::CreateBlank(int nBitCount, int cx, int cy, COLORREF crKey)
{
    BITMAPINFO* pInfo = BuildBitmapInfo(nBitCount, cx, cy);
    if (!pInfo)
    {
        Release();
        return FALSE;
    }
    const BOOL bCreated = CreateFromInfo(pInfo, nullptr, crKey);
    FreeBitmapInfo(pInfo);
    return bCreated;
}

BOOL CDibCanvas::LoadResourceBitmap(HINSTANCE hInstance, UINT nIDResource, COLORREF crKey)
{
    return LoadResourceBitmap(hInstance, MAKEINTRESOURCEA(nIDResource), crKey);
}

BOOL CDibCanvas::LoadResourceBitmap(HINSTANCE hInstance, LPCSTR pszName, COLORREF crKey)
{
    Release();
    if (!hInstance)
        hInstance = ::GetModuleHandleA(NULL);
    const HBITMAP hBitmap =
        static_cast<HBITMAP>(::LoadImageA(hInstance, pszName, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!hBitmap)
        return FALSE;
    // The header is the resource's own, which lives as long as the module.
    const HRSRC hResource = ::FindResourceA(hInstance, pszName, RT_BITMAP);
    m_hResData = hResource ? ::LoadResource(hInstance, hResource) : NULL;
    BITMAPINFO* pInfo = m_hResData ? static_cast<BITMAPINFO*>(::LockResource(m_hResData)) : nullptr;
    BITMAPINFO* pDescription = DescribeBitmap(hBitmap, &m_bTopDown);
    FreeBitmapInfo(pDescription);
    Adopt(hBitmap, pInfo, "RESOURCE_BITMAP", crKey);
    return TRUE;
}

BOOL CDibCanvas::LoadFile(LPCSTR pszPath, COLORREF crKey)
{
    return LoadFile(CString(pszPath), crKey);
}

BOOL CDibCanvas::LoadFile(const CString& strPath, COLORREF crKey)
{
    Release();
    WIN32_FILE_ATTRIBUTE_DATA status;
    if (!::GetFileAttributesExA(strPath, GetFileExInfoStandard, &status))
        return FALSE;
    // The section is made here from the checked header, not by the
    // system's loader, which believes what a file says about itself.
    CBmpFile file;
    if (!file.Read(strPath))
        return FALSE;
    void* pBits = nullptr;
    HBITMAP hSection = NULL;
    {
        CWindowDC screen(NULL);
        hSection = ::CreateDIBSection(screen.GetSafeHdc(), file.GetInfo(), DIB_RGB_COLORS, &pBits, NULL, 0);
    }
    BITMAPINFO* pInfo = nullptr;
    if (hSection && file.Unpack(pBits))
        pInfo = DescribeBitmap(hSection, &m_bTopDown);
    if (!pInfo)
    {
        if (hSection)
            ::DeleteObject(hSection);
        return FALSE;
    }
    Adopt(hSection, pInfo, strPath + "|ALLOC_INFO|LOAD_FILE", crKey);
    return TRUE;
}

BOOL CDibCanvas::AttachBitmap(HANDLE h, COLORREF crKey)
{
    Release();
    if (!h)
        return FALSE;
    if (::GetObjectType(h) == OBJ_BITMAP)
    {
        BITMAPINFO* pInfo = DescribeBitmap(static_cast<HBITMAP>(h), &m_bTopDown);
        if (!pInfo)
            return FALSE;
        Adopt(static_cast<HBITMAP>(h), pInfo, "ATTACH_BITMAP|ALLOC_INFO", crKey);
        return TRUE;
    }
    if (!::GlobalSize(h))
        return FALSE;
    const HBITMAP hConverted = PackedDibToBitmap(h);
    if (!hConverted)
        return FALSE;
    if (!AttachBitmap(hConverted, crKey))
    {
        ::DeleteObject(hConverted);
        return FALSE;
    }
    // Made here, so deleted on release.
    m_strFlags = "CREATE_BITMAP|ALLOC_INFO";
    return TRUE;
}
