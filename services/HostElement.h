#pragma once

#include "zentavo_companion.h"

#include <memory>
#include <QDomElement>
#include <vector>

// Lends an element of the configuration document to a companion library as a
// read-only ZTElement. Children are adapted on first use and live as long as
// this adapter.
class THostElement
{
public:
    explicit THostElement(const QDomElement& Element);
    THostElement(const THostElement&) = delete;
    THostElement& operator=(const THostElement&) = delete;

    ZTElement* Object() { return &FBridge.Object; }
    const QDomElement& Element() const { return FElement; }

private:
    struct TBridge
    {
        ZTElement Object;
        THostElement* Owner;
    };
    static THostElement& From(const ZTElement* Self);
    static int64_t Name(const ZTElement* Self, char* Buffer, size_t BufferSize);
    static int64_t Attribute(const ZTElement* Self, const char* Name, char* Buffer, size_t BufferSize);
    static int32_t ChildCount(const ZTElement* Self);
    static ZTElement* Child(const ZTElement* Self, int32_t Index);
    static const ZTElementMethods Methods;

    void ReadChildren();

    TBridge FBridge;
    QDomElement FElement;
    bool FChildrenRead = false;
    std::vector<std::unique_ptr<THostElement>> FChildren;
};
