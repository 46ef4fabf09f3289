#pragma once

#include "scene/GLSceneTypes.h"
#include "scene/GLUpdateAbleObject.h"

#include <cstdint>
#include <string>

namespace Scene {

enum TFontStyle : std::uint8_t
{
    fsBold,
    fsItalic,
    fsUnderline,
    fsStrikeOut,
};

using TFontStyles = TSet<TFontStyle>;

// A platform font as the stored form describes it. Sizes follow the
// platform's rule at 96 pixels per inch: a negative Height is the character
// height in pixels without the internal leading, a positive one the whole
// cell height; Size is in points. Every change notifies the owner.
class TFont : public TGLUpdateAbleObject
{
public:
    static constexpr int PixelsPerInch = 96;
    static constexpr std::uint8_t AnsiCharset = 0;
    static constexpr std::uint8_t DefaultCharset = 1;

    explicit TFont(TGLUpdateAbleObject* Owner = nullptr) : TGLUpdateAbleObject(Owner) {}

    const std::string& Name() const { return FName; }
    void SetName(std::string Value);
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    // Points, derived from Height.
    int Size() const;
    void SetSize(int Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    std::uint8_t Charset() const { return FCharset; }
    void SetCharset(std::uint8_t Value);
    // A platform colour value (0x00BBGGRR); bitmap fonts ignore it.
    std::uint32_t Color() const { return FColor; }
    void SetColor(std::uint32_t Value);

    // Copies every value and notifies once when anything differed.
    void Assign(const TFont& Source);

    bool operator==(const TFont& Other) const
    {
        return FName == Other.FName && FHeight == Other.FHeight && FStyle == Other.FStyle &&
               FCharset == Other.FCharset && FColor == Other.FColor;
    }

private:
    std::string FName = "Sans Serif";
    int FHeight = -11;
    TFontStyles FStyle;
    std::uint8_t FCharset = DefaultCharset;
    std::uint32_t FColor = 0;
};

} // namespace Scene
