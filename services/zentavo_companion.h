/*
 * zentavo_companion.h: the C interface between Zentavo 3D and its six
 * companion libraries.
 *
 * The clock loads each companion by file name from its working folder (the
 * process's current directory), resolves one export by its exact name, calls
 * it and releases the library again, all within one operation; only popup.so
 * stays loaded from LoadBrowser to UnloadBrowser around one web window. A
 * companion must therefore keep no state between calls that it cannot rebuild,
 * and whatever must outlive a call (a tray icon, a web window) must keep the
 * library loaded by itself.
 *
 *   file           exports
 *   lu.so          LiveUpdate
 *   ztaddon.so     SysShootDown, getGMTLocations, getProvinces, getTimeServers
 *   images.so      GetPicture, SetTaskBarIcon
 *   connection.so  HTTPRequest, SincNetworkTime, getConnectionStatus
 *   weather.so     WeatherChannel, getWeatherInfo
 *   popup.so       GetBrowserWin
 *
 * The clock only loads a file that nobody but the user (or root) can change:
 * a library that is group- or world-writable, owned by someone else, or in a
 * folder that is, counts as missing. A staged update "<name>.so_" (written by
 * lu.so, never by the clock) replaces "<name>.so" at the next start when
 * <name> is a child element of zentavo/library in sysConf.xml.
 *
 * Conventions of every export and callback:
 *   - Plain C calling convention; every export is declared extern "C".
 *   - Booleans are one byte (uint8_t): 0 is false, anything else true.
 *   - Texts are zero-terminated UTF-8, except the link and caption of
 *     GetBrowserWin, which are zero-terminated UTF-16 (uint16_t units).
 *   - A text an export returns stays owned by the library and must stay valid
 *     until the library is released; the clock copies it before releasing.
 *   - ZTUserConnection travels by value: all 2316 bytes are copied.
 *   - No C++ exception may leave an export (a companion written in C++ must
 *     catch everything at its boundary). The clock's callbacks never throw
 *     either: a host failure is reported as the neutral result documented at
 *     each callback.
 *   - Host objects (bitmap, byte stream, document element, main window, popup
 *     menu) are structs whose first member points at a table of C function
 *     pointers. Call them as  Object->Methods->Function(Object, ...).  They are
 *     valid only during the call that handed them over (the popup menu given
 *     to SetTaskBarIcon excepted, see there); a library must not keep them.
 *     Each table starts with its own size in bytes so that tables can grow at
 *     their end.
 *   - An export that receives the address of a host reference (ZTBitmap**,
 *     ZTStream**, ZTRSSWeather**) works on the object it points at and leaves
 *     the reference itself as it is.
 *   - A companion that lacks an export is tolerated: the clock acts as if the
 *     call had done nothing (empty list, false, no picture, no window).
 *
 * Declaring an export through its function type lets the compiler check the
 * signature, e.g. in a companion:
 *     ZT_EXPORT ZTGetPictureFunction GetPicture;
 *     void GetPicture(ZTBitmap** PictureBitmap, const char* Name) { ... }
 */
#ifndef ZENTAVO_COMPANION_H
#define ZENTAVO_COMPANION_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
#define ZT_STATIC_ASSERT(Condition, Message) static_assert(Condition, Message)
#define ZT_EXPORT extern "C" __attribute__((visibility("default")))
extern "C" {
#else
#define ZT_STATIC_ASSERT(Condition, Message) _Static_assert(Condition, Message)
#define ZT_EXPORT __attribute__((visibility("default")))
#endif

/* Library file names, in the clock's working folder. */
#define ZT_LIVE_UPDATE_LIBRARY "lu.so"
#define ZT_ADDON_LIBRARY "ztaddon.so"
#define ZT_IMAGES_LIBRARY "images.so"
#define ZT_CONNECTION_LIBRARY "connection.so"
#define ZT_WEATHER_LIBRARY "weather.so"
#define ZT_POPUP_LIBRARY "popup.so"
/* Appended to a library's file name for its staged update. */
#define ZT_STAGED_SUFFIX "_"

/* ------------------------------------------------------------------ */
/* Records                                                            */
/* ------------------------------------------------------------------ */

/* A short text: one length byte, then that many UTF-8 bytes (at most 255);
   the bytes after them are zero and there is no terminator of its own. */
typedef struct ZTShortText
{
    uint8_t Length;
    char Characters[255];
} ZTShortText;

/* The connection and proxy settings, 2316 bytes, always passed by value.
   The three references and the five reserved texts are always zero. */
typedef struct ZTUserConnection
{
    uint32_t Reserved1;          /* offset 0 */
    uint32_t Reserved2;          /* offset 4 */
    uint32_t Reserved3;          /* offset 8 */
    ZTShortText ProxyServer;     /* offset 12 */
    ZTShortText ProxyUser;       /* offset 268 */
    ZTShortText ProxyPass;       /* offset 524 */
    ZTShortText ProxyPort;       /* offset 780: the port number as text */
    ZTShortText ReservedText[5]; /* offset 1036 */
} ZTUserConnection;

ZT_STATIC_ASSERT(sizeof(ZTShortText) == 256, "ZTShortText must be 256 bytes");
ZT_STATIC_ASSERT(sizeof(ZTUserConnection) == 2316, "ZTUserConnection must be 2316 bytes");
ZT_STATIC_ASSERT(offsetof(ZTUserConnection, Reserved1) == 0, "ZTUserConnection layout");
ZT_STATIC_ASSERT(offsetof(ZTUserConnection, Reserved2) == 4, "ZTUserConnection layout");
ZT_STATIC_ASSERT(offsetof(ZTUserConnection, Reserved3) == 8, "ZTUserConnection layout");
ZT_STATIC_ASSERT(offsetof(ZTUserConnection, ProxyServer) == 12, "ZTUserConnection layout");
ZT_STATIC_ASSERT(offsetof(ZTUserConnection, ProxyUser) == 268, "ZTUserConnection layout");
ZT_STATIC_ASSERT(offsetof(ZTUserConnection, ProxyPass) == 524, "ZTUserConnection layout");
ZT_STATIC_ASSERT(offsetof(ZTUserConnection, ProxyPort) == 780, "ZTUserConnection layout");
ZT_STATIC_ASSERT(offsetof(ZTUserConnection, ReservedText) == 1036, "ZTUserConnection layout");

/* The weather holder: the weather library's output area. The clock zeroes it
   once and never reads it; the library may keep its last results there.
   Texts are zero-terminated UTF-8 within their 256 bytes. */
#define ZT_WEATHER_TEXT_SIZE 256
#define ZT_FORECAST_CAPACITY 16

typedef struct ZTWeatherCondition
{
    char Text[4][ZT_WEATHER_TEXT_SIZE];
} ZTWeatherCondition;

typedef struct ZTForecast
{
    char Text[6][ZT_WEATHER_TEXT_SIZE];
} ZTForecast;

typedef struct ZTRSSWeather
{
    ZTWeatherCondition Condition;
    int32_t ForecastCount; /* entries of Forecasts in use, 0..ZT_FORECAST_CAPACITY */
    ZTForecast Forecasts[ZT_FORECAST_CAPACITY];
    int32_t Value1;
    int32_t Value2;
} ZTRSSWeather;

/* ------------------------------------------------------------------ */
/* Host objects                                                       */
/* ------------------------------------------------------------------ */

/* A picture of the clock's. Pixels are 32-bit 0xAARRGGBB values, row by row
   from the top-left corner, Width * Height of them. */
typedef struct ZTBitmap ZTBitmap;
typedef struct ZTBitmapMethods
{
    size_t TableSize;
    /* Replaces the picture by the one in the file (BMP, PNG, ...; a relative
       name is taken from the current directory). False when it cannot be read;
       the picture is then unchanged. */
    uint8_t (*LoadFromFile)(ZTBitmap* Self, const char* FileName);
    /* Replaces the picture by Width x Height pixels copied from Pixels. False
       for a negative size or a missing pixel array (when the size is not 0). */
    uint8_t (*SetPixels)(ZTBitmap* Self, int32_t Width, int32_t Height, const uint32_t* Pixels);
    /* The size in pixels; 0 for an empty picture. */
    int32_t (*Width)(const ZTBitmap* Self);
    int32_t (*Height)(const ZTBitmap* Self);
} ZTBitmapMethods;
struct ZTBitmap
{
    const ZTBitmapMethods* Methods;
};

/* A growable in-memory byte stream, positioned at its end when handed over. */
typedef struct ZTStream ZTStream;
typedef struct ZTStreamMethods
{
    size_t TableSize;
    /* Writes Count bytes at the current position and moves past them.
       Returns the number written (0 on failure). */
    size_t (*Write)(ZTStream* Self, const void* Data, size_t Count);
    /* The number of bytes the stream holds. */
    int64_t (*Size)(const ZTStream* Self);
} ZTStreamMethods;
struct ZTStream
{
    const ZTStreamMethods* Methods;
};

/* An element of the configuration document. Texts are copied into the
   caller's buffer, which receives at most BufferSize - 1 bytes and always a
   terminator (when BufferSize > 0); a buffer of size 0 only measures. */
typedef struct ZTElement ZTElement;
typedef struct ZTElementMethods
{
    size_t TableSize;
    /* The element's name; returns its full length in bytes. */
    int64_t (*Name)(const ZTElement* Self, char* Buffer, size_t BufferSize);
    /* The value of the attribute; returns its full length in bytes, or -1
       when the element has no such attribute (Buffer then holds ""). */
    int64_t (*Attribute)(const ZTElement* Self, const char* Name, char* Buffer, size_t BufferSize);
    /* Child elements in document order (comments and text are skipped). */
    int32_t (*ChildCount)(const ZTElement* Self);
    /* Null when Index is out of range. The child lives as long as Self. */
    ZTElement* (*Child)(const ZTElement* Self, int32_t Index);
} ZTElementMethods;
struct ZTElement
{
    const ZTElementMethods* Methods;
};

/* The clock's main window. */
typedef struct ZTWindow ZTWindow;
typedef struct ZTWindowMethods
{
    size_t TableSize;
    /* Sets the window's caption; the weather library leaves its weather text
       there. False when the window refused it. */
    uint8_t (*SetCaption)(ZTWindow* Self, const char* Caption);
    /* The bitmap attached as the brush pattern of the window's drawing
       surface, or null when none is attached. It lives as long as Self. */
    ZTBitmap* (*BrushBitmap)(ZTWindow* Self);
} ZTWindowMethods;
struct ZTWindow
{
    const ZTWindowMethods* Methods;
};

/* The clock's main popup menu, for the tray icon. */
typedef struct ZTPopupMenu ZTPopupMenu;
typedef struct ZTPopupMenuMethods
{
    size_t TableSize;
    /* Pops the menu up with its top-left corner at the screen point X, Y.
       False when it could not be shown. */
    uint8_t (*Popup)(ZTPopupMenu* Self, int32_t X, int32_t Y);
} ZTPopupMenuMethods;
struct ZTPopupMenu
{
    const ZTPopupMenuMethods* Methods;
};

/* ------------------------------------------------------------------ */
/* Exports                                                            */
/* ------------------------------------------------------------------ */

/* lu.so: LiveUpdate(Library, Connection)
   Called after every successful refresh of sysConf.xml with its
   zentavo/library element (each child element names an updatable library;
   its attributes and children are the live update's own) and the connection
   settings. The clock relies on nothing afterwards; the library may stage
   "<name>.so_" files, which the clock swaps in at its next start. */
typedef void ZTLiveUpdateFunction(ZTElement* Library, ZTUserConnection Connection);

/* ztaddon.so: SysShootDown()
   Shuts the computer down; called by the scheduled event right after the
   settings were saved (possibly from the clock's worker thread). The result
   is handed to the caller, which ignores it. */
typedef int32_t ZTSysShootDownFunction(void);

/* ztaddon.so: getGMTLocations(), getProvinces(), getTimeServers()
   Text with one entry per line; lines may end in LF, CR or CR LF. Null means
   an empty list. Called by the setup dialog for its lists and by the weather
   fetch for the province codes.
   - time-zone entries, in the form the setup dialog reads;
   - province entries "name|code";
   - time servers, one host name per line. */
typedef const char* ZTGetGMTLocationsFunction(void);
typedef const char* ZTGetProvincesFunction(void);
typedef const char* ZTGetTimeServersFunction(void);

/* images.so: GetPicture(PictureBitmap, Name)
   *PictureBitmap is a new, empty bitmap of the caller's; the library fills it
   (LoadFromFile or SetPixels) with the picture called Name: "MOON" (moon
   button), "SURFACE" (earth texture and world map), "DOMO_H" and "DOMO_M"
   (hour and minute domes), "SETUP" (setup dialog background). The caller then
   uses it as the picture and saves it as BMP; an unknown name leaves it empty.
   The library must fill the bitmap it was given, not replace the reference. */
typedef void ZTGetPictureFunction(ZTBitmap** PictureBitmap, const char* Name);

/* images.so: SetTaskBarIcon(ApplicationWindow, Identifier, Operation, Menu,
                             IconName, ToolTip)
   Shows (Operation 0) or removes (Operation 2) the clock's tray icon. The
   application window is the clock's native window id, Identifier is 193,
   Menu is the main popup menu when showing and null when removing, IconName
   is "CLOCK", ToolTip is empty when removing. The icon must stay after the
   library has been released, and the menu object stays valid for as long
   as the clock runs, so the icon may keep it and pop it up later, from any
   thread. May be called from the clock's worker thread. */
typedef void ZTSetTaskBarIconFunction(uintptr_t ApplicationWindow, int32_t Identifier, int32_t Operation,
                                      ZTPopupMenu* Menu, const char* IconName, const char* ToolTip);

/* connection.so: HTTPRequest(Url, Connection, Stream)
   Fetches Url through the proxy settings and writes the response body into
   *Stream (empty when handed over). Returns true when the request succeeded;
   the caller then takes the stream's whole content as the body, and an empty
   stream as "no new document". Used to refresh sysConf.xml. */
typedef uint8_t ZTHTTPRequestFunction(const char* Url, ZTUserConnection Connection, ZTStream** Stream);

/* connection.so: SincNetworkTime(Interactive, TimeServer, Connection, Scratch)
   Sets the computer's clock from the time server. Interactive is true when
   the user may be asked to authorise the change (the run right after the
   setup dialog's OK), false for the background runs, which then change the
   clock only where no authorisation is needed. Scratch is 8 bytes the library
   may use and the caller does not read. Returns true when the clock was
   synchronised. */
typedef uint8_t ZTSincNetworkTimeFunction(uint8_t Interactive, const char* TimeServer,
                                          ZTUserConnection Connection, double* Scratch);

/* connection.so: getConnectionStatus()
   True when an Internet connection is available. The clock beeps before every
   query (even when the library is missing). */
typedef uint8_t ZTGetConnectionStatusFunction(void);

/* weather.so: WeatherChannel(MainWindow, Forecast)
   Presents the weather forecast service itself, blocking until done;
   Forecast is the zentavo/library/weather/forecast element, whose further
   attributes are the library's. The result is ignored. */
typedef int32_t ZTWeatherChannelFunction(ZTWindow* MainWindow, ZTElement* Forecast);

/* weather.so: getWeatherInfo(MainWindow, ApplicationWindow, WeatherCode,
                              Connection, Weather)
   Fetches the current weather for the city code (at most 255 bytes). Before
   the call the clock attaches an empty bitmap as the window's brush bitmap;
   the library draws the weather picture into it (its bottom-left pixel is the
   transparent colour) and leaves the weather text as the window's caption,
   which the clock then shows as its heads-up line. *Weather is the output
   area. Returns true when the weather was fetched. */
typedef uint8_t ZTGetWeatherInfoFunction(ZTWindow* MainWindow, uintptr_t ApplicationWindow,
                                         const char* WeatherCode, ZTUserConnection Connection,
                                         ZTRSSWeather** Weather);

/* popup.so: GetBrowserWin(MainWindow, Link, Caption, Top, Left, Width, Height,
                           Delay, Style)
   Shows a web window for Link titled Caption at the given screen place and
   size; Delay and Style come unchanged from sysConf.xml. MainWindow is null
   for the about window. The clock releases the library as soon as the call
   returns, so a window that outlives it must keep the library loaded. The
   result is ignored. */
typedef int32_t ZTGetBrowserWinFunction(ZTWindow* MainWindow, const uint16_t* Link, const uint16_t* Caption,
                                        int32_t Top, int32_t Left, int32_t Width, int32_t Height,
                                        int32_t Delay, int32_t Style);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* ZENTAVO_COMPANION_H */
