#include "Record.h"
#include "services/zentavo_companion.h"

ZT_EXPORT ZTGetBrowserWinFunction GetBrowserWin;

static size_t Units(const uint16_t* Text)
{
    size_t Count = 0;
    while (Text[Count] != 0)
        ++Count;
    return Count;
}

int32_t GetBrowserWin(ZTWindow* MainWindow, const uint16_t* Link, const uint16_t* Caption, int32_t Top,
                      int32_t Left, int32_t Width, int32_t Height, int32_t Delay, int32_t Style)
{
    ZtSaveBytes("link.utf16", Link, Units(Link) * 2);
    ZtSaveBytes("caption.utf16", Caption, Units(Caption) * 2);
    ZtLog("GetBrowserWin window=%s %d %d %d %d %d %d", MainWindow ? "yes" : "null", (int)Top, (int)Left,
          (int)Width, (int)Height, (int)Delay, (int)Style);
    return 1;
}
