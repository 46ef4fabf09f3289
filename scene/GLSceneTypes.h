#pragma once

#include <cstdint>
#include <initializer_list>

namespace Scene {

// A set of enumeration values (at most 32), as the stored design's sets are.
template <typename TEnum> class TSet
{
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<TEnum> Items)
    {
        for (TEnum Item : Items)
            Include(Item);
    }

    constexpr bool Contains(TEnum Item) const { return (FBits & Bit(Item)) != 0; }
    constexpr void Include(TEnum Item) { FBits |= Bit(Item); }
    constexpr void Exclude(TEnum Item) { FBits &= ~Bit(Item); }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr std::uint32_t Bits() const { return FBits; }
    friend constexpr bool operator==(TSet, TSet) = default;

private:
    static constexpr std::uint32_t Bit(TEnum Item) { return std::uint32_t{1} << static_cast<unsigned>(Item); }
    std::uint32_t FBits = 0;
};

enum TGLObjectsSorting : std::uint8_t
{
    osInherited,
    osNone,
    osRenderFarthestFirst,
    osRenderBlendedLast,
    osRenderNearestFirst,
};

enum TGLVisibilityCulling : std::uint8_t
{
    vcInherited,
    vcNone,
    vcObjectBased,
    vcHierarchical,
};

enum class TGLObjectStyle : std::uint8_t
{
    // Emits its geometry every frame instead of through a display list.
    DirectDraw,
    NoVisibilityCulling,
    IgnoreDepthBuffer,
};

using TGLObjectStyles = TSet<TGLObjectStyle>;

} // namespace Scene
