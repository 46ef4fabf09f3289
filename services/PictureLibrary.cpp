#include "PictureLibrary.h"

#include "HostBitmap.h"
#include "HostPopupMenu.h"

void TPictureLibrary::GetPicture(const std::string& Name)
{
    FPictureBitmap = QImage();
    Call<ZTGetPictureFunction>(ZT_IMAGES_LIBRARY, "GetPicture", [&](ZTGetPictureFunction* Function) {
        THostBitmap Bitmap(FPictureBitmap);
        // The library gets the address of the reference; a reference it
        // replaced would point at nothing the clock owns, so it is not followed.
        ZTBitmap* Reference = Bitmap.Object();
        Function(&Reference, Name.c_str());
    });
}

void TPictureLibrary::SetTaskBarIcon(std::uintptr_t ApplicationWindow, std::int32_t Identifier,
                                     std::int32_t Operation, THostPopupMenu* Menu,
                                     const std::string& IconName, const std::string& ToolTip)
{
    Call<ZTSetTaskBarIconFunction>(
        ZT_IMAGES_LIBRARY, "SetTaskBarIcon", [&](ZTSetTaskBarIconFunction* Function) {
            Function(ApplicationWindow, Identifier, Operation, Menu ? Menu->Object() : nullptr,
                     IconName.c_str(), ToolTip.c_str());
        });
}
