#pragma once

namespace Scene {

// Something that knows its owner and passes change notices up to it
// (coordinates, colours, materials, textures).
class TGLUpdateAbleObject
{
public:
    explicit TGLUpdateAbleObject(TGLUpdateAbleObject* Owner = nullptr) : FOwner(Owner) {}
    virtual ~TGLUpdateAbleObject() = default;
    TGLUpdateAbleObject(const TGLUpdateAbleObject&) = delete;
    TGLUpdateAbleObject& operator=(const TGLUpdateAbleObject&) = delete;

    TGLUpdateAbleObject* Owner() const { return FOwner; }

    // Sender changed; the default passes the notice on to the owner.
    virtual void NotifyChange(TGLUpdateAbleObject* Sender)
    {
        (void)Sender;
        if (FOwner)
            FOwner->NotifyChange(this);
    }

private:
    TGLUpdateAbleObject* FOwner;
};

} // namespace Scene
