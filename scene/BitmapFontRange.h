#pragma once

#include "scene/GLUpdateAbleObject.h"

namespace Scene {

// A run of consecutive character codes a bitmap font provides. The start
// never lies above the stop: moving one past the other drags it along.
class TBitmapFontRange : public TGLUpdateAbleObject
{
public:
    explicit TBitmapFontRange(TGLUpdateAbleObject* Owner = nullptr) : TGLUpdateAbleObject(Owner) {}

    unsigned char StartASCII() const { return FStartASCII; }
    void SetStartASCII(unsigned char Value);
    unsigned char StopASCII() const { return FStopASCII; }
    void SetStopASCII(unsigned char Value);
    // Where the range begins in a glyph grid picture; negative becomes 0.
    int StartGlyphIdx() const { return FStartGlyphIdx; }
    void SetStartGlyphIdx(int Value);

    int CharacterCount() const { return FStopASCII - FStartASCII + 1; }
    bool Contains(unsigned char Code) const { return Code >= FStartASCII && Code <= FStopASCII; }

private:
    unsigned char FStartASCII = ' ';
    unsigned char FStopASCII = ' ';
    int FStartGlyphIdx = 0;
};

} // namespace Scene
