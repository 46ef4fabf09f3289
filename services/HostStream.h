#pragma once

#include "zentavo_companion.h"

#include <QBuffer>

class QByteArray;

// Lends a growable byte array to a companion library as a ZTStream,
// positioned at its end.
class THostStream
{
public:
    explicit THostStream(QByteArray& Bytes);
    THostStream(const THostStream&) = delete;
    THostStream& operator=(const THostStream&) = delete;

    ZTStream* Object() { return &FBridge.Object; }

private:
    struct TBridge
    {
        ZTStream Object;
        THostStream* Owner;
    };
    static THostStream& From(const ZTStream* Self);
    static size_t Write(ZTStream* Self, const void* Data, size_t Count);
    static int64_t Size(const ZTStream* Self);
    static const ZTStreamMethods Methods;

    TBridge FBridge;
    QBuffer FBuffer;
};
