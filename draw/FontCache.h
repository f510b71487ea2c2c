#ifndef GLIMWICK_DRAW_FONTCACHE_H
#define GLIMWICK_DRAW_FONTCACHE_H

#include <windows.h>

// The window system's memory of fonts that were deleted. Under Wine a
// deleted font stays realized among the last ten, with its font file mapped
// into the program; the reminder's face is a file of megabytes whose
// letters leave more than one of them resident. Realizing as many other,
// small fonts pushes it out. Under Windows fonts live in the window system
// and a sweep is a few small font selections.
class CFontCache
{
public:
    // The released fonts the cache keeps, and one more.
    static constexpr int SWEEP_FONTS = 11;
    // The face of the sweep: small, everywhere, and of the symbol character
    // set, so that no font is linked in for other scripts.
    static const char SWEEP_FACE[];

    // Lets go of the fonts deleted before the call by selecting SWEEP_FONTS
    // sizes of SWEEP_FACE into a memory device context, one after another;
    // stops at the first context or font that cannot be made. Nothing is
    // held after.
    static void Sweep();
};

#endif
