#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// X ids, without the X headers: their macros clash with the test framework's names.
using Window = unsigned long;
struct TXRectangle
{
    int X = 0, Y = 0, Width = 0, Height = 0;
};

// A test's own connection to the X server, with the inspections the
// start-up tests need.
class TXDisplay
{
public:
    TXDisplay();
    ~TXDisplay();
    TXDisplay(const TXDisplay&) = delete;
    TXDisplay& operator=(const TXDisplay&) = delete;

    Window Root() const;
    int ScreenWidth() const;
    int ScreenHeight() const;

    // A mapped full-screen window of one colour; with Desktop it is typed as the desktop.
    Window CreateBackdrop(unsigned long Rgb, bool Desktop);
    // A plain window of one colour that a window manager manages like any program's.
    Window CreateWindow(int X, int Y, int Width, int Height, unsigned long Rgb);
    void Destroy(Window Target);

    std::vector<Window> AllWindows() const; // the whole tree below the root
    std::string Name(Window Target) const;
    std::optional<Window> FindByName(const std::string& Name) const;
    Window Parent(Window Target) const;
    bool IsShown(Window Target) const;
    void Geometry(Window Target, int& X, int& Y, int& Width, int& Height) const; // X, Y on the root
    std::vector<std::string> AtomList(Window Target, const char* Property) const;
    // A property of 32-bit items (windows, cardinals) of the named type.
    std::vector<unsigned long> Items(Window Target, const char* Property, const char* Type) const;
    // Bounding-shape rectangles as the server holds them; empty optional when unshaped.
    std::optional<std::vector<TXRectangle>> BoundingShape(Window Target) const;
    // The screen as the user sees it, as 0xRRGGBB values, row by row.
    std::vector<unsigned long> Screenshot(int X, int Y, int Width, int Height) const;
    void RequestClose(Window Target);
    void Move(Window Target, int X, int Y);

    // Polls Condition until it holds or Timeout passes.
    static bool WaitFor(const std::function<bool()>& Condition,
                        std::chrono::milliseconds Timeout = std::chrono::seconds(15));

private:
    struct _XDisplay* FDisplay = nullptr;
};
