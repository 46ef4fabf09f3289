#include "Record.h"
#include "services/zentavo_companion.h"

#include <string.h>

ZT_EXPORT ZTGetPictureFunction GetPicture;
ZT_EXPORT ZTSetTaskBarIconFunction SetTaskBarIcon;

/* "MOON" is drawn from pixels, "FILE" read from source.bmp; other names are
   unknown and leave the bitmap alone. */
void GetPicture(ZTBitmap** PictureBitmap, const char* Name)
{
    ZTBitmap* Bitmap = *PictureBitmap;
    const ZTBitmapMethods* Methods = Bitmap->Methods;
    ZtLog("GetPicture %s before=%dx%d", Name, (int)Methods->Width(Bitmap), (int)Methods->Height(Bitmap));
    if (strcmp(Name, "MOON") == 0) {
        uint32_t Pixels[3 * 2];
        for (int Index = 0; Index < 6; ++Index)
            Pixels[Index] = 0xFF000000u | (uint32_t)(Index * 0x203040);
        ZtLog("SetPixels %d", Methods->SetPixels(Bitmap, 3, 2, Pixels));
        ZtLog("SetPixels negative %d", Methods->SetPixels(Bitmap, -1, 2, Pixels));
    } else if (strcmp(Name, "FILE") == 0) {
        ZtLog("LoadFromFile missing %d", Methods->LoadFromFile(Bitmap, "no-such.bmp"));
        ZtLog("LoadFromFile %d", Methods->LoadFromFile(Bitmap, "source.bmp"));
    }
    ZtLog("after=%dx%d", (int)Methods->Width(Bitmap), (int)Methods->Height(Bitmap));
}

void SetTaskBarIcon(uintptr_t ApplicationWindow, int32_t Identifier, int32_t Operation, ZTPopupMenu* Menu,
                    const char* IconName, const char* ToolTip)
{
    ZtLog("SetTaskBarIcon window=%lu id=%d operation=%d menu=%s icon=%s tip=%s",
          (unsigned long)ApplicationWindow, (int)Identifier, (int)Operation, Menu ? "yes" : "null", IconName,
          ToolTip);
    if (Menu != NULL)
        ZtLog("Popup %d", Menu->Methods->Popup(Menu, 10, 20));
}
