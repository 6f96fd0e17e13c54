#pragma once

#include <cstdint>
#include <initializer_list>

// The libraries the loader knows, in the order it loads them.
enum TLibraryType : int {
    libAVCodec,
    libAVDevice,
    libAVFilter,
    libAVFormat,
    libAVUtil,
    libSwScale,
    libMSVCRT, // the C run-time; one C library on this platform, so always present
    libSDL,
};

inline constexpr int LibraryTypeCount = libSDL + 1;

// A set of library kinds; iteration order is always the enumeration order.
class TLibraryTypes
{
public:
    constexpr TLibraryTypes() = default;
    constexpr TLibraryTypes(std::initializer_list<TLibraryType> kinds)
    {
        for (TLibraryType kind : kinds)
            FBits |= Bit(kind);
    }

    constexpr bool Contains(TLibraryType kind) const { return (FBits & Bit(kind)) != 0; }
    constexpr bool IsEmpty() const { return FBits == 0; }

    constexpr TLibraryTypes operator+(TLibraryTypes other) const { return FromBits(FBits | other.FBits); }
    constexpr TLibraryTypes operator+(TLibraryType kind) const { return FromBits(FBits | Bit(kind)); }
    constexpr TLibraryTypes operator-(TLibraryType kind) const
    {
        return FromBits(FBits & static_cast<std::uint8_t>(~Bit(kind)));
    }
    constexpr bool operator==(const TLibraryTypes&) const = default;

private:
    static constexpr std::uint8_t Bit(TLibraryType kind) { return static_cast<std::uint8_t>(1u << kind); }
    static constexpr TLibraryTypes FromBits(std::uint8_t bits)
    {
        TLibraryTypes set;
        set.FBits = bits;
        return set;
    }
    std::uint8_t FBits = 0;
};

// What the conversion engine needs.
inline constexpr TLibraryTypes EngineLibraries{libAVCodec, libAVFilter, libAVFormat,
                                               libAVUtil,  libSwScale,  libMSVCRT};
// What the player needs: the engine's libraries and SDL.
inline constexpr TLibraryTypes PlayerLibraries = EngineLibraries + libSDL;
