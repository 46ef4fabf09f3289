#include "HostElement.h"

#include "HostGuard.h"

#include <cstring>
#include <limits>

namespace {

// Copies as much of Text as fits, always terminated; returns the full length.
int64_t CopyText(const QByteArray& Text, char* Buffer, size_t BufferSize)
{
    if (Buffer != nullptr && BufferSize > 0) {
        const size_t Count = std::min(static_cast<size_t>(Text.size()), BufferSize - 1);
        std::memcpy(Buffer, Text.constData(), Count);
        Buffer[Count] = '\0';
    }
    return Text.size();
}

} // namespace

const ZTElementMethods THostElement::Methods = {
    sizeof(ZTElementMethods),  &THostElement::Name,  &THostElement::Attribute,
    &THostElement::ChildCount, &THostElement::Child,
};

THostElement::THostElement(const QDomElement& Element) : FBridge{{&Methods}, this}, FElement(Element) {}

THostElement& THostElement::From(const ZTElement* Self)
{
    return *reinterpret_cast<const TBridge*>(Self)->Owner;
}

void THostElement::ReadChildren()
{
    if (FChildrenRead)
        return;
    for (QDomElement Child = FElement.firstChildElement(); !Child.isNull();
         Child = Child.nextSiblingElement())
        FChildren.push_back(std::make_unique<THostElement>(Child));
    FChildrenRead = true;
}

int64_t THostElement::Name(const ZTElement* Self, char* Buffer, size_t BufferSize)
{
    return Guarded<int64_t>(0, [&]() -> int64_t {
        if (Buffer != nullptr && BufferSize > 0)
            Buffer[0] = '\0';
        if (Self == nullptr)
            return 0;
        return CopyText(From(Self).FElement.tagName().toUtf8(), Buffer, BufferSize);
    });
}

int64_t THostElement::Attribute(const ZTElement* Self, const char* Name, char* Buffer, size_t BufferSize)
{
    return Guarded<int64_t>(-1, [&]() -> int64_t {
        if (Buffer != nullptr && BufferSize > 0)
            Buffer[0] = '\0';
        if (Self == nullptr || Name == nullptr)
            return -1;
        const QDomElement& Element = From(Self).FElement;
        const QString Key = QString::fromUtf8(Name);
        if (!Element.hasAttribute(Key))
            return -1;
        return CopyText(Element.attribute(Key).toUtf8(), Buffer, BufferSize);
    });
}

int32_t THostElement::ChildCount(const ZTElement* Self)
{
    return Guarded<int32_t>(0, [&]() -> int32_t {
        if (Self == nullptr)
            return 0;
        THostElement& Owner = From(Self);
        Owner.ReadChildren();
        return static_cast<int32_t>(
            std::min<size_t>(Owner.FChildren.size(), std::numeric_limits<int32_t>::max()));
    });
}

ZTElement* THostElement::Child(const ZTElement* Self, int32_t Index)
{
    return Guarded<ZTElement*>(nullptr, [&]() -> ZTElement* {
        if (Self == nullptr || Index < 0)
            return nullptr;
        THostElement& Owner = From(Self);
        Owner.ReadChildren();
        if (static_cast<size_t>(Index) >= Owner.FChildren.size())
            return nullptr;
        return Owner.FChildren[Index]->Object();
    });
}
