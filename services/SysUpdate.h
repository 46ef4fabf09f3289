#pragma once

#include "LibraryBinding.h"

class QDomElement;
class TUserConnection;

// Binding of lu.so.
class TSysUpdate : public TLibraryBinding
{
public:
    explicit TSysUpdate(Platform::TLibraryLoader& Loader) : TLibraryBinding(Loader) {}

    // Hands the zentavo/library element and the connection settings to the
    // live update; nothing happens when the library or export is missing.
    void LiveUpdate(const QDomElement& Library, const TUserConnection& Connection);
};
