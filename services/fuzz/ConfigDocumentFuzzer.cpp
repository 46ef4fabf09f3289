#include "services/ConfigDocument.h"
#include "services/ConfigError.h"

#include <cstddef>
#include <cstdint>
#include <QByteArray>

namespace {

// Every reading the clock makes of a document.
void ReadAsTheClockDoes(TConfigDocument& Document)
{
    for (const char* Path : {"zentavo/library/weather/channel", "zentavo/library/weather/forecast",
                             "zentavo/library/popup/help", "zentavo/system/aboutus", "zentavo/system/link",
                             "zentavo/system/link/config"}) {
        const QDomElement Element = Document.Element(Path);
        for (const char* Name : {"font", "link", "caption", "url", "document"}) {
            try {
                TConfigDocument::Attribute(Element, Name);
            } catch (const EConfigError&) {
            }
        }
        for (const char* Name : {"top", "left", "width", "height", "delay", "style"}) {
            try {
                TConfigDocument::IntegerAttribute(Element, Name);
            } catch (const EConfigError&) {
            }
        }
    }
    try {
        Document.PopUpInterval();
    } catch (const EConfigError&) {
    }
    for (const QDomElement& Entry : Document.Services()) {
        try {
            TConfigDocument::Attribute(Entry, "id");
            TConfigDocument::IntegerAttribute(Entry, "top");
        } catch (const EConfigError&) {
        }
    }
    Document.Libraries();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    TConfigDocument Document;
    try {
        Document.LoadFromBytes(QByteArray(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size)));
    } catch (const EConfigError&) {
        return 0;
    }
    try {
        ReadAsTheClockDoes(Document);
    } catch (const EConfigError&) {
        // A document whose root is not "zentavo".
    }
    return 0;
}
