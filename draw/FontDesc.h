#ifndef GLIMWICK_DRAW_FONTDESC_H
#define GLIMWICK_DRAW_FONTDESC_H

#include "frame/Font.h"
#include "frame/String.h"

#include <memory>

// A font from its description: face name, size in tenths of a point (90 is
// 9 points on the screen) and a style text in which Japanese or English
// words switch on bold, italic, underline and strike-out; other words (such
// as "標準") and separators are ignored. A face the system lacks is
// substituted; a face longer than a LOGFONT holds is cut at a character.
// NULL only when the font itself cannot be made.
std::unique_ptr<CFont> CreateFontFromDesc(CString strFace, int nPointSize, CString strStyle);

#endif
