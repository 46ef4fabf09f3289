#include "HostPopupMenu.h"

#include "CompanionMenu.h"
#include "HostGuard.h"

const ZTPopupMenuMethods THostPopupMenu::Methods = {sizeof(ZTPopupMenuMethods), &THostPopupMenu::Popup};

THostPopupMenu::THostPopupMenu(TCompanionMenu& Menu) : FBridge{{&Methods}, this}, FMenu(Menu) {}

uint8_t THostPopupMenu::Popup(ZTPopupMenu* Self, int32_t X, int32_t Y)
{
    return Guarded<uint8_t>(0, [&]() -> uint8_t {
        if (Self == nullptr)
            return 0;
        reinterpret_cast<const TBridge*>(Self)->Owner->FMenu.Popup(X, Y);
        return 1;
    });
}
