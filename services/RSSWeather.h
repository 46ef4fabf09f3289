#pragma once

#include "zentavo_companion.h"

#include <cstring>

// The weather library's output area, kept by the main window for the whole
// run. The clock never reads it.
class TRSSWeather
{
public:
    TRSSWeather() { std::memset(&FRecord, 0, sizeof FRecord); }
    TRSSWeather(const TRSSWeather&) = delete;
    TRSSWeather& operator=(const TRSSWeather&) = delete;

    ZTRSSWeather& Record() { return FRecord; }
    const ZTRSSWeather& Record() const { return FRecord; }

private:
    ZTRSSWeather FRecord;
};
