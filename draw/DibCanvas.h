#ifndef GLIMWICK_DRAW_DIBCANVAS_H
#define GLIMWICK_DRAW_DIBCANVAS_H

#include "draw/CanvasDC.h"
#include "frame/Bitmap.h"
#include "frame/Exception.h"
#include "frame/Palette.h"
#include "frame/String.h"

#include <atomic>
#include <new>

class CBrush;
class CDibPixels;
class CFont;
class CPen;
class CRgn;

// An off-screen picture held as a DIB section, with its palette and an
// optional transparency mask, that offers the drawing operations of a device
// context on itself.
//
// Locked operations take the picture's recursive per-thread lock and draw
// through a CCanvasDC made for the one call; between BeginDraw and EndDraw
// they share one bound context, so colours, modes and selections carry over
// and other threads wait. Creation, release, the accessors, DrawDib and
// CreateRegion are not locked: call them while no other thread uses the
// picture. Framework exceptions inside a drawing operation end it with a
// neutral result (0, NULL); the lock is released all the same.
//
// What the picture owns depends on how it was made (its kind record): see
// Release. Coordinates are pixels of the picture, (0, 0) its top-left.
class CDibCanvas : public CBitmap
{
public:
    // The key value that means no transparent colour.
    static constexpr COLORREF NO_KEY = CLR_INVALID;
    // DrawEx modes.
    static constexpr UINT DRAW_PLAIN = 0;
    static constexpr UINT DRAW_TILED = 0x4000;
    static constexpr UINT DRAW_STRETCHED = 0x8000;

    CDibCanvas();
    // A failed load leaves an empty picture.
    CDibCanvas(HINSTANCE hInstance, UINT nIDResource, COLORREF crKey);
    // See AttachBitmap; a failure leaves an empty picture.
    CDibCanvas(HANDLE hBitmapOrDib, COLORREF crKey);
    ~CDibCanvas() override;

    // ---- Transparency mask (a 1-bit picture: 1 transparent, 0 opaque) ----

    // Sets every byte of a 1-bit picture's rows to 0xFF; always -1.
    virtual int FillMaskBits(CDibCanvas* pMask);
    // Clears the bit of pixel (x, y) of a 1-bit picture; nothing outside it.
    virtual void ClearMaskBit(CDibCanvas* pMask, int x, int y);
    // Drops the mask; for a key other than NO_KEY builds a new one, turning
    // the key pixels black (palette pictures: the index nearest to black).
    // Pictures of 1 bit, or without bits, get no mask.
    virtual void SetTransparentColor(COLORREF crKey);
    virtual void BuildMask32(COLORREF crKey);
    virtual void BuildMask24(COLORREF crKey);
    virtual void BuildMask16(COLORREF crKey);
    virtual void BuildMask8(COLORREF crKey);
    virtual void BuildMask4(COLORREF crKey);
    virtual void MakeTransparent(COLORREF crKey);
    // NULL without a mask.
    virtual CBitmap* GetMaskBitmap();

    // ---- Creation: each first releases what the picture held; on failure
    // the picture is left empty and FALSE returned ----

    // Adopts a bitmap handle (the caller keeps ownership) or converts a
    // packed DIB in global memory (the picture owns the result).
    virtual BOOL AttachBitmap(HANDLE h, COLORREF crKey);
    // Bits taken from behind the header and its colour table.
    virtual BOOL CreateFromPackedDib(const BITMAPINFO* pPacked, COLORREF crKey);
    // A DIB section from a copy of the header; pBits (optional) copied in.
    virtual BOOL CreateFromInfo(const BITMAPINFO* pInfo, const void* pBits, COLORREF crKey);
    virtual BOOL LoadFile(LPCSTR pszPath, COLORREF crKey);
    virtual BOOL LoadFile(const CString& strPath, COLORREF crKey);
    // hInstance NULL: the program's own module.
    virtual BOOL LoadResourceBitmap(HINSTANCE hInstance, UINT nIDResource, COLORREF crKey);
    virtual BOOL LoadResourceBitmap(HINSTANCE hInstance, LPCSTR pszName, COLORREF crKey);
    // A picture of nBitCount bits (0: the screen's depth; 1, 4, 8, 16, 24
    // or 32) with the standard colours of its depth, all pixels 0.
    virtual BOOL CreateBlank(int nBitCount, int cx, int cy, COLORREF crKey);

    // ---- Accessors: 0 or NULL for an empty picture ----

    virtual BOOL IsCreated();
    virtual CBitmap* GetBitmap();
    using CBitmap::GetBitmap;
    virtual int GetWidth();
    virtual int GetHeight();
    virtual DWORD GetImageSize();
    // pSize (optional) receives GetImageSize; NULL without a header.
    virtual void* GetBits(DWORD* pSize);
    virtual BITMAPINFO* GetBitmapInfo();
    // First byte of pixel (x, y); NULL without bits or outside the picture.
    virtual BYTE* GetPixelAddress(int x, int y);

    // ---- Drawing this picture into other contexts (zero sizes: the
    // picture's own) ----

    // StretchBlt cut into bands no larger than the screen.
    virtual void StretchBltBanded(CDC* pDst, int x, int y, int cx, int cy, CDC* pSrc, int xs, int ys, int cxs,
                                  int cys, DWORD dwRop);
    // Plain, stretched or tiled (DRAW_...); through the mask when there is
    // one (dwRop is then not used: transparent pixels leave the destination
    // as it was). Not locked.
    virtual void DrawEx(CDC* pDC, int x, int y, int cx, int cy, int xs, int ys, int cxs, int cys, DWORD dwRop,
                        UINT nMode);
    // FALSE when the file cannot be written or the picture is empty.
    virtual BOOL SaveFile(LPCSTR pszPath);
    virtual void Draw(CDC* pDC, int x, int y, int cx, int cy, int xs, int ys, DWORD dwRop);
    virtual void StretchDraw(CDC* pDC, int x, int y, int cx, int cy, int xs, int ys, int cxs, int cys,
                             DWORD dwRop);
    virtual void TileDraw(CDC* pDC, int x, int y, int cx, int cy, int xs, int ys, DWORD dwRop);

    // ---- DrawState into this picture; a NULL brush object passes none ----

    virtual BOOL DrawState(CPoint pt, CSize size, DRAWSTATEPROC pfnDraw, LPARAM lData, UINT nFlags,
                           CBrush* pBrush);
    virtual BOOL DrawState(CPoint pt, CSize size, DRAWSTATEPROC pfnDraw, LPARAM lData, UINT nFlags,
                           HBRUSH hBrush);
    virtual BOOL DrawState(CPoint pt, CSize size, LPCSTR pszText, UINT nFlags, BOOL bPrefixText, int nTextLen,
                           CBrush* pBrush);
    virtual BOOL DrawState(CPoint pt, CSize size, LPCSTR pszText, UINT nFlags, BOOL bPrefixText, int nTextLen,
                           HBRUSH hBrush);
    virtual BOOL DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, CBrush* pBrush);
    virtual BOOL DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, HBRUSH hBrush);
    virtual BOOL DrawState(CPoint pt, CDibCanvas* pImage, UINT nFlags, CBrush* pBrush);
    virtual BOOL DrawState(CPoint pt, CSize size, CBitmap* pBitmap, UINT nFlags, CBrush* pBrush);
    virtual BOOL DrawState(CPoint pt, CSize size, HBITMAP hBitmap, UINT nFlags, HBRUSH hBrush);
    // DrawState of this picture into another context.
    virtual BOOL DrawStateTo(CDC* pDC, CPoint pt, UINT nFlags, CBrush* pBrush);

    // ---- Palette and DrawDib ----

    // Selects the palette into pDC as a foreground palette and realizes it.
    virtual void RealizeInto(CDC* pDC);
    // The palette entry nearest to cr; cr itself without a palette.
    virtual COLORREF GetNearestColor(COLORREF cr);
    // Through the video-for-windows DrawDib interface; not locked. FALSE
    // when nothing could be drawn. nFlags is not used.
    virtual BOOL DrawDib(BOOL bUseSrcSize, CDC* pDC, int x, int y, int cx, int cy, int xs, int ys, int cxs,
                         int cys, UINT nFlags);
    virtual BOOL DrawDib(CDC* pDC, int x, int y, int cx, int cy, int xs, int ys, UINT nFlags);
    virtual BOOL DrawDib(CDC* pDC, int x, int y, int cx, int cy, int xs, int ys, int cxs, int cys, UINT nFlags);

    // ---- Screen capture (locked) ----

    // Copies the screen area of cx by cy (zero: the picture's size) at
    // (xScreen, yScreen) to (x, y); the part outside the screen is left out
    // and the rest keeps its place (a negative xScreen moves it right). The
    // BitBlt result; FALSE, with the picture untouched, when nothing of the
    // area is on the screen or no screen context can be had.
    virtual BOOL CopyFromScreen(int x, int y, int cx, int cy, int xScreen, int yScreen);

    // ---- Bracket: one bound context for several operations ----

    // Takes the lock (kept until EndDraw) and binds a context; nested
    // brackets of the same thread share the outer one.
    virtual void BeginDraw();
    // Ends one bracket of the calling thread; the last one drops the
    // context. Nothing for a thread without an open bracket.
    virtual void EndDraw();

    // ---- Attributes and text (locked) ----

    virtual COLORREF SetTextColor(COLORREF cr);
    virtual COLORREF GetTextColor();
    virtual COLORREF SetBkColor(COLORREF cr);
    virtual COLORREF GetBkColor();
    // 2 when interrupted.
    virtual int SetBkMode(int nMode);
    virtual int GetBkMode();
    // 2 when interrupted.
    virtual int SetMapMode(int nMode);
    virtual int GetMapMode();
    virtual BOOL TextOut(int x, int y, const CString& str);
    virtual BOOL TextOut(int x, int y, LPCSTR psz, int nCount);
    // With a font of nPointSize tenths of a point of face strFace (an empty
    // face: the context's font), colour cr (NO_KEY: the context's), always
    // a transparent background.
    virtual void TextOutFont(int x, int y, CString str, COLORREF cr, int nPointSize, CString strFace);
    virtual void TextOutFont(int x, int y, LPCSTR psz, int nCount, COLORREF cr, int nPointSize, LPCSTR pszFace);
    virtual int DrawText(const CString& str, LPRECT pRect, UINT nFormat);
    virtual int DrawText(LPCSTR psz, int nCount, LPRECT pRect, UINT nFormat);
    // As TextOutFont, in a rectangle; the height of the text, 0 on failure.
    virtual int DrawTextFont(const CString& str, LPRECT pRect, UINT nFormat, COLORREF cr, int nPointSize,
                             CString strFace);
    virtual int DrawTextFont(LPCSTR psz, int nCount, LPRECT pRect, UINT nFormat, COLORREF cr, int nPointSize,
                             LPCSTR pszFace);
    // pRect receives the size the text needs.
    virtual void CalcTextRect(LPRECT pRect, CString strText, int nPointSize, CString strFace);

    // ---- Outline text (locked): anti-aliased glyphs blended into the
    // picture, the string centred in (x, y, cx, cy), in cr with a one-pixel
    // shadow to the lower right in crShadow (NO_KEY: none). A font of
    // nHeight pixels of face pszFace. Nothing for an empty string ----

    // Of weight nWeight, glyphs on the font's baseline.
    virtual void OutlineTextOut(LPCSTR psz, int x, int y, int cx, int cy, LPCSTR pszFace, int nHeight, int nWeight,
                                COLORREF cr, COLORREF crShadow);
    // Semibold, glyphs' boxes bottom-aligned.
    virtual void OutlineTextOut2(LPCSTR psz, int x, int y, int cx, int cy, LPCSTR pszFace, int nHeight, COLORREF cr,
                                 COLORREF crShadow);
    // As OutlineTextOut2, centred on the characters' advances alone (without
    // the last one's right bearing).
    virtual void OutlineTextOut3(LPCSTR psz, int x, int y, int cx, int cy, LPCSTR pszFace, int nHeight, COLORREF cr,
                                 COLORREF crShadow);

    // ---- Pixels, fills and other pictures (locked) ----

    virtual COLORREF GetPixel(int x, int y);
    virtual COLORREF GetPixel(POINT pt);
    virtual COLORREF SetPixel(int x, int y, COLORREF cr);
    virtual COLORREF SetPixel(POINT pt, COLORREF cr);
    virtual BOOL SetPixelV(int x, int y, COLORREF cr);
    virtual BOOL SetPixelV(POINT pt, COLORREF cr);
    virtual void FillSolidRect(LPCRECT pRect, COLORREF cr);
    virtual void FillSolidRect(int x, int y, int cx, int cy, COLORREF cr);
    // hbm is drawn through a temporary picture; the caller keeps it.
    virtual void DrawBitmap(HBITMAP hbm, int x, int y, int cx, int cy, int xs, int ys, DWORD dwRop);
    // pSrc may be this picture here and in the other operations that draw
    // a picture in: it is then read as it was before.
    virtual void DrawImage(CDibCanvas* pSrc, int x, int y, int cx, int cy, int xs, int ys, DWORD dwRop);
    // A NULL source passes a NULL context.
    virtual void BitBltFrom(CDC* pSrcDC, int x, int y, int cx, int cy, int xs, int ys, DWORD dwRop);
    // The area (xs, ys, cx, cy) of pSrc turned by nDegrees about its
    // centre, filtered, painted with the top-left of its bounding box at
    // (x, y); points whose source lies outside pSrc are left out. pBounds
    // (optional) receives that box, also when little or nothing of the area
    // is in pSrc; an empty one at (x, y) for an empty area or no pSrc. pSrc
    // may be this picture, which is then read as it was before.
    virtual void DrawRotated(CDibCanvas* pSrc, int x, int y, int cx, int cy, int xs, int ys, int nDegrees,
                             LPRECT pBounds);
    // Darkens the area at (x, y) by pShade's red channel from (xs, ys): each
    // component times red / 255. Zero sizes: the shade's, cut to the shade.
    // pShade may be this picture, read as it was before.
    virtual void ShadeWith(CDibCanvas* pShade, int x, int y, int cx, int cy, int xs, int ys);
    virtual void StretchBitmap(HBITMAP hbm, int x, int y, int cx, int cy, int xs, int ys, int cxs, int cys,
                               DWORD dwRop);
    virtual void StretchImage(CDibCanvas* pSrc, int x, int y, int cx, int cy, int xs, int ys, int cxs, int cys,
                              DWORD dwRop);
    // The whole of pSrc scaled, keeping its proportions, to the largest size
    // that fits the box, centred in it; nothing when that size rounds down
    // to no pixels.
    virtual void StretchImageToFit(CDibCanvas* pSrc, int x, int y, int cx, int cy, DWORD dwRop);
    virtual void TileBitmap(HBITMAP hbm, int x, int y, int cx, int cy, int xs, int ys, DWORD dwRop);
    virtual void TileImage(CDibCanvas* pSrc, int x, int y, int cx, int cy, int xs, int ys, DWORD dwRop);

    // ---- Icons and shapes (locked) ----

    virtual BOOL DrawIcon(int x, int y, HICON hIcon);
    virtual BOOL DrawIcon(POINT pt, HICON hIcon);
    virtual BOOL DrawIconEx(int x, int y, HICON hIcon, int cx, int cy, UINT nStep, HBRUSH hbrFlicker,
                            UINT nFlags);
    virtual int GetPolyFillMode();
    virtual int SetPolyFillMode(int nMode);
    virtual BOOL Polygon(const POINT* pPoints, int nCount);
    virtual BOOL Polyline(const POINT* pPoints, int nCount);
    virtual BOOL PolyPolygon(const POINT* pPoints, const int* pCounts, int nPolygons);
    virtual BOOL Ellipse(LPCRECT pRect);
    virtual BOOL Ellipse(int x1, int y1, int x2, int y2);
    virtual BOOL Chord(LPCRECT pRect, POINT ptStart, POINT ptEnd);
    virtual BOOL Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    virtual BOOL Pie(LPCRECT pRect, POINT ptStart, POINT ptEnd);
    virtual BOOL Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    virtual BOOL Rectangle(LPCRECT pRect);
    virtual BOOL Rectangle(int x1, int y1, int x2, int y2);
    virtual BOOL RoundRect(LPCRECT pRect, POINT ptCorner);
    virtual BOOL RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);

    // Selectors of the drawing context: the object selected before the
    // first selection in this context (which lasts to EndDraw when bound,
    // to the end of the call otherwise); NULL (0 for the region) on failure.
    // A returned object stays valid until EndDraw, or until Release.
    virtual int SelectObject(CRgn* pRgn);
    virtual CBitmap* SelectObject(CBitmap* pBitmap);
    virtual CFont* SelectObject(CFont* pFont);
    virtual CBrush* SelectObject(CBrush* pBrush);
    virtual CPen* SelectObject(CPen* pPen);

    // The previous current position.
    virtual CPoint MoveTo(POINT pt);
    virtual CPoint MoveTo(int x, int y);
    virtual BOOL LineTo(int x, int y);
    virtual BOOL LineTo(POINT pt);

    // ---- Region, release ----

    // The region of all pixels that are not crKey (NO_KEY: the whole
    // picture), owned by the caller; NULL for an empty picture or one whose
    // bitmap is selected in a context (inside BeginDraw/EndDraw). Not locked.
    virtual HRGN CreateRegion(COLORREF crKey);
    // Frees what the kind record says the picture owns; always TRUE.
    virtual BOOL Release();
    // Hands the bitmap to the caller, then releases the rest.
    virtual HBITMAP Detach();

    // ---- The pixel effects through one GDI call per pixel: the reference
    // for DrawRotated and ShadeWith, which work on the bits directly when
    // both pictures are 24- or 32-bit sections drawn plainly ----

    void DrawRotatedPerPixel(CDibCanvas* pSrc, int x, int y, int cx, int cy, int xs, int ys, int nDegrees,
                             LPRECT pBounds);
    void ShadeWithPerPixel(CDibCanvas* pShade, int x, int y, int cx, int cy, int xs, int ys);

    // ---- Lock: the steps every locked operation takes, recursive per
    // thread; waiting threads poll every 100 ms without a time-out ----

    void Lock();
    // Nothing for a thread that does not hold the picture.
    void Unlock();
    DWORD GetLockOwner() const { return m_dwOwnerThread.load(); }
    int GetLockCount() const { return m_nLockCount; }

    // The kind record ("|"-separated words); empty for an empty picture.
    const CString& GetKind() const { return m_strFlags; }
    // How many wrappers of previous objects the picture keeps for callers.
    int GetTemporaryCount() const { return m_temporaries.GetCount(); }
    CPalette* GetPalette() { return m_palette.m_hObject ? &m_palette : nullptr; }

private:
    // Holds the lock for one scope.
    class CLockScope
    {
    public:
        explicit CLockScope(CDibCanvas& canvas) : m_canvas(canvas) { m_canvas.Lock(); }
        ~CLockScope() { m_canvas.Unlock(); }
        CLockScope(const CLockScope&) = delete;
        CLockScope& operator=(const CLockScope&) = delete;

    private:
        CDibCanvas& m_canvas;
    };

    // One locked operation on a context made for it; rFailed when a
    // framework exception interrupts it. The wrappers an unbound context
    // makes for previous objects go with it at the end of the call, unless
    // pKeep (m_temporaries, for what is handed to the caller) holds them.
    template <typename R, typename F>
    R Locked(R rFailed, F&& draw, CTempGdiObjects* pKeep = nullptr);
    template <typename F>
    void Locked(F&& draw);
    // Draws this picture elsewhere: frees its bitmap from the bound context
    // for the time of the drawing (always putting it back), under the lock.
    template <typename F>
    void DrawElsewhere(F&& draw);
    void PrepareContext(CCanvasDC& dc, CTempGdiObjects* pKeep);
    // Draws pSrc into this picture, both locked in a fixed order so that two
    // threads drawing two pictures into each other cannot deadlock. Drawn
    // into itself, a picture is read from ReadableSource's copy.
    template <typename F>
    void WithSource(CDibCanvas* pSrc, F&& draw);

    // pSrc itself, or, when pSrc is this picture (its bitmap in dc, where it
    // cannot be read while drawn), a copy of it with its mask made in copy;
    // NULL when the copy cannot be made.
    CDibCanvas* ReadableSource(CDibCanvas* pSrc, CCanvasDC& dc, CDibCanvas& copy);
    BOOL HasKind(LPCSTR pszWord) const;
    void BuildPalette();
    void BuildDirectMask(COLORREF crKey, int nBytes);
    void BuildIndexMask(COLORREF crKey);
    // How crKey is stored in this picture's pixels (nBytes each).
    DWORD StoredForm(COLORREF crKey, int nBytes);
    void AdoptMask(CDibCanvas& mask);
    // Takes a bitmap made or loaded by the system, with its header.
    void Adopt(HBITMAP hBitmap, BITMAPINFO* pInfo, LPCSTR pszKind, COLORREF crKey);
    void PlaceTiles(CDC* pDC, CDC* pMemDC, int x, int y, int cx, int cy, int xs, int ys, DWORD dwRop);
    void Rotate(CDibCanvas* pSrc, int x, int y, int cx, int cy, int xs, int ys, int nDegrees, LPRECT pBounds,
                BOOL bDirect);
    void Shade(CDibCanvas* pShade, int x, int y, int cx, int cy, int xs, int ys, BOOL bDirect);
    // Views of pSrc's bits and this picture's, when reading and writing them
    // gives what GetPixel on pSrc's bound context and SetPixel on dc would.
    BOOL ReachBits(CDibCanvas* pSrc, CCanvasDC& dc, CDibPixels& from, CDibPixels& to);

    int m_nColors = 0;
    int m_nHeight = 0;
    int m_nWidth = 0;
    CRITICAL_SECTION m_cs;
    std::atomic<DWORD> m_dwOwnerThread{0};
    int m_nLockCount = 0;
    BITMAPINFO* m_pInfo = nullptr;
    void* m_pBits = nullptr;
    CPalette m_palette;
    BITMAP m_bm = {};
    CString m_strFlags;
    HGLOBAL m_hResData = NULL;
    COLORREF m_crRegionKey = NO_KEY;
    CBitmap m_mask;
    CCanvasDC* m_pDrawDC = nullptr;
    // Open brackets of the thread that holds the lock.
    int m_nDrawDepth = 0;
    // Rows of the section run from the top down (the header says bottom-up).
    BOOL m_bTopDown = FALSE;
    // Wrappers of the previous objects that unbound operations hand back.
    CTempGdiObjects m_temporaries;
};

template <typename R, typename F>
R CDibCanvas::Locked(R rFailed, F&& draw, CTempGdiObjects* pKeep)
{
    CLockScope lock(*this);
    try
    {
        CCanvasDC dc;
        PrepareContext(dc, pKeep);
        return draw(dc);
    }
    catch (const CException&)
    {
    }
    catch (const std::bad_alloc&)
    {
    }
    return rFailed;
}

template <typename F>
void CDibCanvas::Locked(F&& draw)
{
    Locked(0, [&](CCanvasDC& dc) {
        draw(dc);
        return 0;
    });
}

template <typename F>
void CDibCanvas::DrawElsewhere(F&& draw)
{
    CLockScope lock(*this);
    CBitmap* pOldBitmap = m_pDrawDC ? m_pDrawDC->GetOldBitmap() : nullptr;
    if (m_pDrawDC && !(pOldBitmap && SelectObject(pOldBitmap)))
        return;
    try
    {
        draw();
    }
    catch (const CException&)
    {
    }
    catch (const std::bad_alloc&)
    {
    }
    if (pOldBitmap)
        SelectObject(static_cast<CBitmap*>(this));
}

template <typename F>
void CDibCanvas::WithSource(CDibCanvas* pSrc, F&& draw)
{
    if (!pSrc)
        return;
    CDibCanvas* pFirst = pSrc < this ? pSrc : this;
    CLockScope first(*pFirst);
    CLockScope second(pFirst == this ? *pSrc : *this);
    Locked([&](CCanvasDC& dc) { draw(dc); });
}

#endif
