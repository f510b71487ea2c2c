#include "draw/BmpFile.h"

#include "draw/DibHeader.h"

#include <climits>
#include <cstring>
#include <new>

namespace
{
const size_t FILE_HEADER_SIZE = 14;
// All that may stand before the pixels: file header, the longest header,
// masks and a full colour table.
const size_t MAX_HEADERS_SIZE = FILE_HEADER_SIZE + sizeof(BITMAPV5HEADER) + 3 * sizeof(DWORD) + 256 * sizeof(RGBQUAD);

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
    ULONGLONG Size() const
    {
        LARGE_INTEGER size = {};
        return ::GetFileSizeEx(m_hFile, &size) ? static_cast<ULONGLONG>(size.QuadPart) : 0;
    }

private:
    HANDLE m_hFile;
};

// Little-endian fields; the caller has checked that they lie in the bytes.
DWORD Dword(const std::vector<BYTE>& bytes, size_t n)
{
    DWORD dw;
    std::memcpy(&dw, &bytes[n], sizeof(dw));
    return dw;
}

WORD Word(const std::vector<BYTE>& bytes, size_t n)
{
    WORD w;
    std::memcpy(&w, &bytes[n], sizeof(w));
    return w;
}

// Bit-field masks the pixels can be read by: each one run of bits inside
// the depth, no two sharing a bit.
bool AreSoundMasks(const DWORD masks[3], int nBitCount)
{
    const DWORD dwDepth = nBitCount == 32 ? MAXDWORD : (1u << nBitCount) - 1;
    for (int i = 0; i < 3; ++i)
    {
        DWORD dw = masks[i];
        if (!dw || (dw & ~dwDepth))
            return false;
        while (!(dw & 1))
            dw >>= 1;
        if (dw & (dw + 1))
            return false;
    }
    return !(masks[0] & masks[1]) && !(masks[0] & masks[2]) && !(masks[1] & masks[2]);
}

// Bytes of the pixel rows of a picture, counted without overflow.
unsigned long long ImageBytes(int nBitCount, long long cx, long long cy)
{
    return (static_cast<unsigned long long>(nBitCount) * static_cast<unsigned long long>(cx) + 31) / 32 * 4 *
           static_cast<unsigned long long>(cy < 0 ? -cy : cy);
}
} // namespace

CBmpFile::~CBmpFile()
{
    Clear();
}

void CBmpFile::Clear()
{
    std::vector<BYTE>().swap(m_bytes);
    FreeBitmapInfo(m_pInfo);
    m_pInfo = nullptr;
    m_dwCompression = BI_RGB;
    m_nBitsOffset = 0;
    m_cbBits = 0;
}

BOOL CBmpFile::Read(LPCSTR pszPath)
{
    Clear();
    try
    {
        CReadFile file(pszPath);
        if (!file.IsOpen())
            return FALSE;
        const ULONGLONG cbFile = file.Size();
        const size_t cbRead = static_cast<size_t>(
            cbFile < MAX_HEADERS_SIZE + MAX_IMAGE_BYTES ? cbFile : MAX_HEADERS_SIZE + MAX_IMAGE_BYTES);
        m_bytes.resize(cbRead);
        if (file.Read(m_bytes.data(), static_cast<DWORD>(cbRead)) && Parse())
            return TRUE;
    }
    catch (const std::bad_alloc&)
    {
    }
    Clear();
    return FALSE;
}

bool CBmpFile::Parse()
{
    const size_t cbFile = m_bytes.size();
    if (cbFile < FILE_HEADER_SIZE + sizeof(DWORD) || Word(m_bytes, 0) != BMP_FILE_TYPE)
        return false;
    BITMAPINFO* pInfo = AllocBitmapInfo();
    if (!pInfo)
        return false;
    const bool bCore = Dword(m_bytes, FILE_HEADER_SIZE) == sizeof(BITMAPCOREHEADER);
    size_t nTableEnd = 0;
    if (!(bCore ? ParseCoreHeader(pInfo, &nTableEnd) : ParseInfoHeader(pInfo, &nTableEnd)))
    {
        FreeBitmapInfo(pInfo);
        return false;
    }
    const BITMAPINFOHEADER& bih = pInfo->bmiHeader;
    const DWORD dwCompression = bCore ? BI_RGB : Dword(m_bytes, FILE_HEADER_SIZE + 16);
    const bool bEncoded = dwCompression == BI_RLE8 || dwCompression == BI_RLE4;
    const unsigned long long cbImage = ImageBytes(bih.biBitCount, bih.biWidth, bih.biHeight);
    // The pixels may stand after a gap, never inside the headers.
    const DWORD dwOffBits = Dword(m_bytes, 10);
    const size_t nBitsOffset = dwOffBits ? dwOffBits : nTableEnd;
    // Encoded pixels take the bytes the header names; plain ones all rows.
    const unsigned long long cbBits = bEncoded ? Dword(m_bytes, FILE_HEADER_SIZE + 20) : cbImage;
    if (cbImage > MAX_IMAGE_BYTES || nBitsOffset < nTableEnd || nBitsOffset > cbFile || cbBits == 0 ||
        cbBits > cbFile - nBitsOffset)
    {
        FreeBitmapInfo(pInfo);
        return false;
    }
    FreeBitmapInfo(m_pInfo);
    m_pInfo = pInfo;
    m_dwCompression = dwCompression;
    m_nBitsOffset = nBitsOffset;
    m_cbBits = static_cast<size_t>(cbBits);
    return true;
}

bool CBmpFile::ParseCoreHeader(BITMAPINFO* pInfo, size_t* pnTableEnd) const
{
    const size_t nHeader = FILE_HEADER_SIZE;
    if (nHeader + sizeof(BITMAPCOREHEADER) > m_bytes.size())
        return false;
    BITMAPCOREHEADER bch;
    std::memcpy(&bch, &m_bytes[nHeader], sizeof(bch));
    const int nBitCount = bch.bcBitCount;
    if (bch.bcWidth == 0 || bch.bcHeight == 0 || bch.bcPlanes != 1 ||
        (nBitCount != 1 && nBitCount != 4 && nBitCount != 8 && nBitCount != 24))
        return false;
    // Old-style colours are three bytes each, and always the full table.
    const size_t nEntries = nBitCount <= 8 ? size_t{1} << nBitCount : 0;
    const size_t nTable = nHeader + sizeof(BITMAPCOREHEADER);
    if (nTable + nEntries * sizeof(RGBTRIPLE) > m_bytes.size())
        return false;

    BITMAPINFOHEADER& bih = pInfo->bmiHeader;
    bih.biSize = sizeof(BITMAPINFOHEADER);
    bih.biWidth = bch.bcWidth;
    bih.biHeight = bch.bcHeight;
    bih.biPlanes = 1;
    bih.biBitCount = static_cast<WORD>(nBitCount);
    bih.biCompression = BI_RGB;
    bih.biClrUsed = static_cast<DWORD>(nEntries);
    RGBQUAD* pColors = DibColorTable(pInfo);
    for (size_t i = 0; i < nEntries; ++i)
    {
        const BYTE* p = &m_bytes[nTable + i * sizeof(RGBTRIPLE)];
        pColors[i] = RGBQUAD{p[0], p[1], p[2], 0};
    }
    *pnTableEnd = nTable + nEntries * sizeof(RGBTRIPLE);
    return true;
}

bool CBmpFile::ParseInfoHeader(BITMAPINFO* pInfo, size_t* pnTableEnd) const
{
    const size_t nHeader = FILE_HEADER_SIZE;
    const DWORD biSize = Dword(m_bytes, nHeader);
    if (!IsKnownHeaderSize(biSize) || nHeader + biSize > m_bytes.size())
        return false;
    BITMAPINFOHEADER src;
    std::memcpy(&src, &m_bytes[nHeader], sizeof(src));
    const int nBitCount = src.biBitCount;
    if (src.biWidth <= 0 || src.biHeight == 0 || src.biHeight == INT_MIN || src.biPlanes != 1)
        return false;
    switch (src.biCompression)
    {
    case BI_RGB:
        if (!IsSupportedDepth(nBitCount))
            return false;
        break;
    case BI_BITFIELDS:
        if (nBitCount != 16 && nBitCount != 32)
            return false;
        break;
    // Encoded pictures are bottom-up only.
    case BI_RLE8:
        if (nBitCount != 8 || src.biHeight < 0)
            return false;
        break;
    case BI_RLE4:
        if (nBitCount != 4 || src.biHeight < 0)
            return false;
        break;
    default:
        return false;
    }

    // The masks follow the 40-byte part in every version: inside the
    // longer headers, behind the 40-byte one.
    size_t nTable = nHeader + biSize;
    DWORD masks[3] = {};
    if (src.biCompression == BI_BITFIELDS)
    {
        const size_t nMasks = nHeader + sizeof(BITMAPINFOHEADER);
        if (nMasks + sizeof(masks) > m_bytes.size())
            return false;
        std::memcpy(masks, &m_bytes[nMasks], sizeof(masks));
        if (!AreSoundMasks(masks, nBitCount))
            return false;
        if (biSize == sizeof(BITMAPINFOHEADER))
            nTable += sizeof(masks);
    }
    // Deeper pictures may carry a table too; it is not used.
    const DWORD dwDepthColors = nBitCount <= 8 ? 1u << nBitCount : 256;
    if (src.biClrUsed > dwDepthColors)
        return false;
    const size_t nEntries = nBitCount <= 8 && !src.biClrUsed ? dwDepthColors : src.biClrUsed;
    if (nTable + nEntries * sizeof(RGBQUAD) > m_bytes.size())
        return false;

    BITMAPINFOHEADER& bih = pInfo->bmiHeader;
    bih.biSize = sizeof(BITMAPINFOHEADER);
    bih.biWidth = src.biWidth;
    bih.biHeight = src.biHeight;
    bih.biPlanes = 1;
    bih.biBitCount = static_cast<WORD>(nBitCount);
    bih.biCompression = src.biCompression == BI_BITFIELDS ? BI_BITFIELDS : BI_RGB;
    bih.biXPelsPerMeter = src.biXPelsPerMeter;
    bih.biYPelsPerMeter = src.biYPelsPerMeter;
    if (bih.biCompression == BI_BITFIELDS)
        std::memcpy(pInfo->bmiColors, masks, sizeof(masks));
    if (nBitCount <= 8)
    {
        bih.biClrUsed = static_cast<DWORD>(nEntries);
        RGBQUAD* pColors = DibColorTable(pInfo);
        std::memcpy(pColors, &m_bytes[nTable], nEntries * sizeof(RGBQUAD));
        for (size_t i = 0; i < nEntries; ++i)
            pColors[i].rgbReserved = 0;
    }
    *pnTableEnd = nTable + nEntries * sizeof(RGBQUAD);
    return true;
}

BOOL CBmpFile::Unpack(void* pBits) const
{
    if (!m_pInfo || !pBits)
        return FALSE;
    if (m_dwCompression == BI_RLE8 || m_dwCompression == BI_RLE4)
        return DecodeRle(static_cast<BYTE*>(pBits));
    std::memcpy(pBits, &m_bytes[m_nBitsOffset], m_cbBits);
    return TRUE;
}

// Pairs of bytes: a count and a colour (RLE4: two alternating indices), or
// 0 and an escape: 0 end of line, 1 end of picture, 2 a move right and up
// by the next two bytes, 3 to 255 that many indices as they are, padded to
// an even number of bytes. Rows are bottom-up.
bool CBmpFile::DecodeRle(BYTE* pBits) const
{
    const BITMAPINFOHEADER& bih = m_pInfo->bmiHeader;
    const long long cx = bih.biWidth, cy = bih.biHeight;
    const size_t nStride = DibStride(bih.biBitCount, bih.biWidth);
    const bool bNibbles = m_dwCompression == BI_RLE4;
    std::memset(pBits, 0, nStride * static_cast<size_t>(cy));
    const BYTE* p = &m_bytes[m_nBitsOffset];
    const size_t cb = m_cbBits;

    // Positions grow with every instruction and are only bounded when a
    // pixel is put: hence 64 bits, and pixels outside dropped.
    long long x = 0, y = 0;
    auto put = [&](long long nCount, auto index) {
        if (y >= cy)
            return;
        BYTE* pRow = pBits + nStride * static_cast<size_t>(y);
        for (long long k = 0; k < nCount && x + k < cx; ++k)
        {
            const unsigned n = index(static_cast<unsigned>(k));
            const size_t nx = static_cast<size_t>(x + k);
            if (bNibbles)
                pRow[nx / 2] = static_cast<BYTE>(nx % 2 ? (pRow[nx / 2] & 0xF0) | (n & 0x0F)
                                                        : (pRow[nx / 2] & 0x0F) | (n & 0x0F) << 4);
            else
                pRow[nx] = static_cast<BYTE>(n);
        }
    };
    size_t i = 0;
    while (i + 2 <= cb)
    {
        const unsigned nCount = p[i], nValue = p[i + 1];
        i += 2;
        if (nCount > 0)
        {
            put(nCount, [&](unsigned k) { return bNibbles ? (k % 2 ? nValue : nValue >> 4) : nValue; });
            x += nCount;
        }
        else if (nValue == 0)
        {
            x = 0;
            ++y;
        }
        else if (nValue == 1)
        {
            return true;
        }
        else if (nValue == 2)
        {
            if (i + 2 > cb)
                return false;
            x += p[i];
            y += p[i + 1];
            i += 2;
        }
        else
        {
            const size_t cbRun = bNibbles ? (nValue + 1) / 2 : nValue;
            if (i + cbRun > cb)
                return false;
            const BYTE* pRun = p + i;
            put(nValue, [&](unsigned k) { return bNibbles ? (k % 2 ? pRun[k / 2] : pRun[k / 2] >> 4) : pRun[k]; });
            x += nValue;
            i += (cbRun + 1) & ~size_t{1};
        }
    }
    // A stream without its end mark ends with its bytes.
    return true;
}
