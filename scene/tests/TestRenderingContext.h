#pragma once

#include "scene/GLContextError.h"
#include "scene/GLDeviceContext.h"
#include "scene/GLRenderingContext.h"

#include <functional>
#include <memory>
#include <string>

namespace Scene::Testing {

// What a test context did, shared with the test after the buffer took the context.
struct TTestContextLog
{
    int Creations = 0;
    int Activations = 0;
    int Deactivations = 0;
    int Swaps = 0;
    int Depth = 0;
    TGLPixelFormatRequest Request;
    std::function<void(const char* Step)> OnStep;

    void Step(const char* Name)
    {
        if (OnStep)
            OnStep(Name);
    }
};

// A context for a window that already has one current (the recorder, or an
// off-screen test context): it only counts, and can be told to fail.
class TTestRenderingContext : public TGLRenderingContext
{
public:
    explicit TTestRenderingContext(TTestContextLog& Log) : FLog(Log) {}

    void CreateContext(const TGLPixelFormatRequest& Request) override
    {
        FLog.Request = Request;
        if (!FailureText.empty())
            throw EGLContextError::OSError(FailureText);
        ++FLog.Creations;
    }
    void Activate() override
    {
        ++FLog.Activations;
        ++FLog.Depth;
    }
    void Deactivate() override
    {
        ++FLog.Deactivations;
        --FLog.Depth;
    }
    void SwapBuffers() override
    {
        ++FLog.Swaps;
        FLog.Step("SwapBuffers");
    }
    bool SwapControlAvailable() const override { return SwapControl; }
    int SwapInterval() const override { return Interval; }
    void SetSwapInterval(int Value) override
    {
        Interval = Value;
        ++IntervalChanges;
    }

    std::string FailureText;
    bool SwapControl = false;
    int Interval = 1;
    int IntervalChanges = 0;

private:
    TTestContextLog& FLog;
};

class TTestDeviceContext : public TGLDeviceContext
{
public:
    std::unique_ptr<TGLRenderingContext> NewRenderingContext() override
    {
        if (NoContext)
            return nullptr;
        auto Context = std::make_unique<TTestRenderingContext>(Log);
        Context->FailureText = FailureText;
        Context->SwapControl = SwapControl;
        Last = Context.get();
        return Context;
    }

    TTestContextLog Log;
    bool NoContext = false;
    std::string FailureText;
    bool SwapControl = false;
    // The context handed out last (owned by the buffer).
    TTestRenderingContext* Last = nullptr;
};

} // namespace Scene::Testing
