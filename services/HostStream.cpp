#include "HostStream.h"

#include "HostGuard.h"

#include <limits>

const ZTStreamMethods THostStream::Methods = {sizeof(ZTStreamMethods), &THostStream::Write,
                                              &THostStream::Size};

THostStream::THostStream(QByteArray& Bytes) : FBridge{{&Methods}, this}
{
    FBuffer.setBuffer(&Bytes);
    FBuffer.open(QIODevice::ReadWrite);
    FBuffer.seek(FBuffer.size());
}

THostStream& THostStream::From(const ZTStream* Self)
{
    return *reinterpret_cast<const TBridge*>(Self)->Owner;
}

size_t THostStream::Write(ZTStream* Self, const void* Data, size_t Count)
{
    return Guarded<size_t>(0, [&]() -> size_t {
        if (Self == nullptr || (Data == nullptr && Count > 0))
            return 0;
        // QByteArray holds at most a signed size's worth of bytes.
        if (Count > static_cast<size_t>(std::numeric_limits<qsizetype>::max() / 2))
            return 0;
        const qint64 Written =
            From(Self).FBuffer.write(static_cast<const char*>(Data), static_cast<qint64>(Count));
        return Written < 0 ? 0 : static_cast<size_t>(Written);
    });
}

int64_t THostStream::Size(const ZTStream* Self)
{
    return Guarded<int64_t>(0, [&]() -> int64_t { return Self ? From(Self).FBuffer.size() : 0; });
}
