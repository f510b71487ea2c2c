#ifndef GLIMWICK_DRAW_ROTATION_H
#define GLIMWICK_DRAW_ROTATION_H

#include <windows.h>

// An area of cx by cy pixels turned about its centre by a whole number of
// degrees, painted point by point with a filter that mixes each point's
// source pixel with its right and lower neighbours.
//
// Points are in the area's coordinates: (0, 0) is its top-left pixel; the
// rotated points fill Box(), which may reach beyond the area on every side.
// Only the area's top-left cxRead by cyRead pixels are read (the part that
// lies in the source picture): the others are left out, while the centre
// and the box stay those of the whole area.
class CRotation
{
public:
    // cx and cy of at least 1; cxRead and cyRead at most cx and cy.
    CRotation(int cx, int cy, int nDegrees, int cxRead, int cyRead);

    // The corners' bounding box, each edge truncated toward zero; right and
    // bottom are the last points inside, not one past them.
    const RECT& Box() const { return m_rcBox; }

    // For every point of Box() whose source lies in the read part and can be read,
    // calls write(px, py, cr) with the filtered colour. read(X, Y) gives the
    // area's pixel (X, Y) as GetPixel does: CLR_INVALID when it cannot be
    // read, and then the point is left out.
    template <typename Read, typename Write>
    void Paint(Read&& read, Write&& write) const;

private:
    // The source position of point (px, py): the point turned back.
    void SourceOf(int px, int py, double& fx, double& fy) const;
    static COLORREF Mix(COLORREF crFrom, COLORREF crTo, int nWeight);
    // The area's pixel (X, Y) of a point whose source lies at (fx, fy).
    template <typename Read>
    COLORREF Sample(double fx, double fy, Read& read) const;

    int m_cxRead;
    int m_cyRead;
    double m_xCentre;
    double m_yCentre;
    double m_cos;
    double m_sin;
    RECT m_rcBox;
};

template <typename Read, typename Write>
void CRotation::Paint(Read&& read, Write&& write) const
{
    for (int py = m_rcBox.top; py <= m_rcBox.bottom; ++py)
        for (int px = m_rcBox.left; px <= m_rcBox.right; ++px)
        {
            double fx, fy;
            SourceOf(px, py, fx, fy);
            const COLORREF cr = Sample(fx, fy, read);
            if (cr != CLR_INVALID)
                write(px, py, cr);
        }
}

template <typename Read>
COLORREF CRotation::Sample(double fx, double fy, Read& read) const
{
    // Rounded down, so that a point less than a pixel left of or above the
    // area is outside it rather than given a negative weight.
    if (!(fx >= 0 && fy >= 0 && fx < m_cxRead && fy < m_cyRead))
        return CLR_INVALID;
    const int X = static_cast<int>(fx), Y = static_cast<int>(fy);
    COLORREF cr = read(X, Y);
    if (cr == CLR_INVALID)
        return CLR_INVALID;
    if (X + 1 < m_cxRead)
        cr = Mix(cr, read(X + 1, Y), static_cast<int>((fx - X) * 255));
    if (Y + 1 < m_cyRead)
        cr = Mix(cr, read(X, Y + 1), static_cast<int>((fy - Y) * 255));
    return cr;
}

#endif
