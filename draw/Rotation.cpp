#include "draw/Rotation.h"

#include <algorithm>
#include <cmath>

namespace
{
const double PI = 3.141592653589;
} // namespace

CRotation::CRotation(int cx, int cy, int nDegrees, int cxRead, int cyRead)
    : m_cxRead(cxRead), m_cyRead(cyRead), m_xCentre(cx / 2.0), m_yCentre(cy / 2.0), m_cos(std::cos(nDegrees * PI / 180)),
      m_sin(std::sin(nDegrees * PI / 180))
{
    const double corners[4][2] = {{0, 0}, {cx - 1.0, 0}, {0, cy - 1.0}, {cx - 1.0, cy - 1.0}};
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    for (int i = 0; i < 4; ++i)
    {
        const double dx = corners[i][0] - m_xCentre, dy = corners[i][1] - m_yCentre;
        const double x = m_xCentre + m_cos * dx - m_sin * dy;
        const double y = m_yCentre + m_sin * dx + m_cos * dy;
        xMin = i ? std::min(xMin, x) : x;
        xMax = i ? std::max(xMax, x) : x;
        yMin = i ? std::min(yMin, y) : y;
        yMax = i ? std::max(yMax, y) : y;
    }
    m_rcBox = {static_cast<LONG>(xMin), static_cast<LONG>(yMin), static_cast<LONG>(xMax), static_cast<LONG>(yMax)};
}

void CRotation::SourceOf(int px, int py, double& fx, double& fy) const
{
    const double dx = px - m_xCentre, dy = py - m_yCentre;
    fx = m_xCentre + m_cos * dx + m_sin * dy;
    fy = m_yCentre - m_sin * dx + m_cos * dy;
}

// Each component: crTo x w / 255 + crFrom x (255 - w) / 255, each product
// divided on its own.
COLORREF CRotation::Mix(COLORREF crFrom, COLORREF crTo, int nWeight)
{
    auto mix = [nWeight](int nFrom, int nTo) { return nTo * nWeight / 255 + nFrom * (255 - nWeight) / 255; };
    return RGB(mix(GetRValue(crFrom), GetRValue(crTo)), mix(GetGValue(crFrom), GetGValue(crTo)),
               mix(GetBValue(crFrom), GetBValue(crTo)));
}
