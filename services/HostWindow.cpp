#include "HostWindow.h"

#include "CompanionWindow.h"
#include "HostGuard.h"

const ZTWindowMethods THostWindow::Methods = {sizeof(ZTWindowMethods), &THostWindow::SetCaption,
                                              &THostWindow::BrushBitmap};

THostWindow::THostWindow(TCompanionWindow& Window) : FBridge{{&Methods}, this}, FWindow(Window) {}

THostWindow& THostWindow::From(const ZTWindow* Self)
{
    return *reinterpret_cast<const TBridge*>(Self)->Owner;
}

uint8_t THostWindow::SetCaption(ZTWindow* Self, const char* Caption)
{
    return Guarded<uint8_t>(0, [&]() -> uint8_t {
        if (Self == nullptr || Caption == nullptr)
            return 0;
        From(Self).FWindow.SetCaption(Caption);
        return 1;
    });
}

ZTBitmap* THostWindow::BrushBitmap(ZTWindow* Self)
{
    return Guarded<ZTBitmap*>(nullptr, [&]() -> ZTBitmap* {
        if (Self == nullptr)
            return nullptr;
        THostWindow& Owner = From(Self);
        QImage* Brush = Owner.FWindow.BrushBitmap();
        if (Brush == nullptr)
            return nullptr;
        if (Owner.FBrushes.empty() || &Owner.FBrushes.back()->Image() != Brush)
            Owner.FBrushes.push_back(std::make_unique<THostBitmap>(*Brush));
        return Owner.FBrushes.back()->Object();
    });
}
