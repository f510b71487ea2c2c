// How a picture comes into being: blank, from a header, a resource, a .bmp
// file or an adopted handle.
#include "draw/DibCanvas.h"

#include "draw/DibHeader.h"
#include "draw/PackedDib.h"
#include "frame/WindowDC.h"

#include <cstring>

namespace
{
const WORD BMP_FILE_TYPE = 0x4D42; // "BM"

// A file opened for reading, closed on every path.
class CReadFile
{
public:
    explicit CReadFile(LPCSTR pszPath)
        : m_hFile(::CreateFileA(pszPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, NULL))
    {
    }
    ~CReadFile()
    {
        if (m_hFile != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_hFile);
    }
    CReadFile(const CReadFile&) = delete;
    CReadFile& operator=(const CReadFile&) = delete;

    bool IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }
    // Exactly cb bytes, or false.
    bool Read(void* p, DWORD cb)
    {
        DWORD cbRead = 0;
        return ::ReadFile(m_hFile, p, cb, &cbRead, NULL) && cbRead == cb;
    }

    // Up to cb bytes; how many were read, 0 on an error.
    DWORD ReadSome(void* p, DWORD cb)
    {
        DWORD cbRead = 0;
        return ::ReadFile(m_hFile, p, cb, &cbRead, NULL) ? cbRead : 0;
    }
    ULONGLONG Size() const
    {
        LARGE_INTEGER size = {};
        return ::GetFileSizeEx(m_hFile, &size) ? static_cast<ULONGLONG>(size.QuadPart) : 0;
    }

private:
    HANDLE m_hFile;
};

// Whether the file behind its file header holds a header this library
// understands and all the pixel bytes that header announces: the system's
// loader would take a truncated file and read past its end.
bool HoldsWholePicture(CReadFile& file, const BITMAPFILEHEADER& bfh)
{
    BYTE header[sizeof(BITMAPV5HEADER)] = {};
    const DWORD cbRead = file.ReadSome(header, sizeof(header));
    DWORD cbSize = 0;
    std::memcpy(&cbSize, header, sizeof(cbSize));
    unsigned long long cbHeaders = sizeof(BITMAPFILEHEADER);
    unsigned long long cbImage = 0;
    if (cbSize == sizeof(BITMAPCOREHEADER) && cbRead >= cbSize)
    {
        // The old style: 16-bit sizes and 3-byte colours.
        BITMAPCOREHEADER bch;
        std::memcpy(&bch, header, sizeof(bch));
        if (bch.bcWidth == 0 || bch.bcHeight == 0 || bch.bcPlanes != 1 || !IsSupportedDepth(bch.bcBitCount))
            return false;
        cbHeaders += cbSize + (bch.bcBitCount <= 8 ? 3u << bch.bcBitCount : 0);
        cbImage = static_cast<unsigned long long>(DibStride(bch.bcBitCount, bch.bcWidth)) * bch.bcHeight;
    }
    else if (cbSize >= sizeof(BITMAPINFOHEADER) && cbRead >= sizeof(BITMAPINFOHEADER))
    {
        BITMAPINFOHEADER bih;
        std::memcpy(&bih, header, sizeof(bih));
        const int nEntries = DibTableEntries(bih);
        if (bih.biWidth <= 0 || bih.biHeight == 0 || bih.biPlanes != 1 || nEntries > 256 ||
            (bih.biBitCount <= 8 && nEntries > ColorCountOfDepth(bih.biBitCount)))
            return false;
        cbHeaders += DibBitsOffset(bih);
        const unsigned long long nRows = bih.biHeight < 0 ? -static_cast<long long>(bih.biHeight) : bih.biHeight;
        if (bih.biCompression == BI_RGB || bih.biCompression == BI_BITFIELDS)
        {
            if (!IsSupportedDepth(bih.biBitCount))
                return false;
            cbImage = static_cast<unsigned long long>(DibStride(bih.biBitCount, bih.biWidth)) * nRows;
        }
        else if ((bih.biCompression == BI_RLE8 && bih.biBitCount == 8) ||
                 (bih.biCompression == BI_RLE4 && bih.biBitCount == 4))
        {
            cbImage = bih.biSizeImage;
        }
        else
        {
            return false;
        }
    }
    else
    {
        return false;
    }
    const unsigned long long cbOffset = bfh.bfOffBits ? bfh.bfOffBits : cbHeaders;
    return cbOffset >= cbHeaders && cbImage > 0 && cbOffset + cbImage <= file.Size();
}
} // namespace

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
    {
        CReadFile file(strPath);
        BITMAPFILEHEADER bfh = {};
        if (!file.IsOpen() || !file.Read(&bfh, sizeof(bfh)) || bfh.bfType != BMP_FILE_TYPE ||
            !HoldsWholePicture(file, bfh))
            return FALSE;
    }
    const HBITMAP hBitmap = static_cast<HBITMAP>(
        ::LoadImageA(NULL, strPath, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION | LR_LOADFROMFILE));
    if (!hBitmap)
        return FALSE;
    // The header as the system made the section: for compressed and old
    // style files the header on disk describes other bits than it holds.
    BITMAPINFO* pInfo = DescribeBitmap(hBitmap, &m_bTopDown);
    if (!pInfo)
    {
        ::DeleteObject(hBitmap);
        return FALSE;
    }
    Adopt(hBitmap, pInfo, strPath + "|ALLOC_INFO|LOAD_FILE", crKey);
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
