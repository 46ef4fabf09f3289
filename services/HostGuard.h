#pragma once

// Every callback a companion library can reach runs through Guarded: no
// exception may unwind into a library's C frames, so a failure becomes the
// callback's neutral result instead.
template <typename TResult, typename TBody> TResult Guarded(TResult Neutral, TBody&& Body) noexcept
{
    try {
        return Body();
    } catch (...) {
        return Neutral;
    }
}
