#ifndef GLIMWICK_DRAW_BMPFILE_H
#define GLIMWICK_DRAW_BMPFILE_H

#include <windows.h>

#include <vector>

// A .bmp file read into memory and checked field by field before anything
// in it is believed: a file a user hands the program may be truncated,
// lying or hostile. Read once, so the file cannot change between the check
// and the use. Headers of 12 bytes (old style) and of 40 to 124 bytes;
// pixels uncompressed (1, 4, 8, 16, 24, 32 bits), with bit fields (16, 32
// bits) or run-length encoded (RLE8, RLE4).
class CBmpFile
{
public:
    // The largest picture taken, in bytes of its uncompressed pixel rows
    // (8192 x 8192 pixels of 32 bits): a header may announce any size.
    static constexpr DWORD MAX_IMAGE_BYTES = 256u * 1024 * 1024;

    CBmpFile() = default;
    ~CBmpFile();
    CBmpFile(const CBmpFile&) = delete;
    CBmpFile& operator=(const CBmpFile&) = delete;

    // FALSE (and nothing held) when the file cannot be opened or read, or
    // is not a .bmp file whose header, colour table and pixels fit in it
    // and describe a picture of at most MAX_IMAGE_BYTES. Only so much of a
    // file is read as such a picture can take.
    BOOL Read(LPCSTR pszPath);

    // The picture's header as CreateDIBSection takes it (a block of
    // DibHeader.h: 40 bytes, the masks, the colour table; uncompressed;
    // biHeight negative for top-down rows); NULL when nothing is held.
    const BITMAPINFO* GetInfo() const { return m_pInfo; }

    // Writes the pixel rows into pBits, the bits of a DIB section made from
    // GetInfo. Run-length encoded pixels that fall outside the picture are
    // dropped, skipped pixels are index 0. FALSE when nothing is held or an
    // encoded stream breaks off inside an instruction.
    BOOL Unpack(void* pBits) const;

private:
    void Clear();
    // Checks m_bytes and builds m_pInfo; false leaves m_pInfo as it was.
    bool Parse();
    // The header after the file header; *pnTableEnd receives the offset
    // just past its colour table.
    bool ParseCoreHeader(BITMAPINFO* pInfo, size_t* pnTableEnd) const;
    bool ParseInfoHeader(BITMAPINFO* pInfo, size_t* pnTableEnd) const;
    bool DecodeRle(BYTE* pBits) const;

    std::vector<BYTE> m_bytes;
    BITMAPINFO* m_pInfo = nullptr;
    DWORD m_dwCompression = BI_RGB;
    // Where the pixels are in m_bytes, and how many bytes they take.
    size_t m_nBitsOffset = 0;
    size_t m_cbBits = 0;
};

#endif
