#pragma once

#include <QDomDocument>
#include <QDomElement>
#include <string>
#include <vector>

class QByteArray;

namespace Platform {
class TFileOperations;
}

// The configuration document "sysConf.xml". Paths such as
// "zentavo/library/weather/channel" start at the root element zentavo and
// take, at each step, the first child element of that name; a missing step is
// created empty in memory, so a path below the root never fails by itself.
// Every failure is an EConfigError.
class TConfigDocument
{
public:
    static constexpr const char* FileName = "sysConf.xml";
    static constexpr const char* RootName = "zentavo";
    // What a document may hold; more is refused as not well-formed, before
    // the parser builds anything.
    static constexpr int MaximumBytes = 4 * 1024 * 1024;
    static constexpr int MaximumDepth = 256;
    static constexpr int MaximumNodes = 20000;
    static constexpr int MaximumAttributes = 256;

    // Replaces the content by the file's; the encoding comes from the
    // document itself. On failure the content is unchanged.
    void LoadFromFile(const std::string& Name = FileName);
    // Replaces the content by the parsed bytes; on failure it is unchanged.
    void LoadFromBytes(const QByteArray& Bytes);
    // Writes the document in the encoding its declaration names (UTF-8 when
    // it names none), replacing the file only once it was written whole and
    // flushed, folder included; readable by the user alone.
    void SaveToFile(const std::string& Name = FileName) const;
    static constexpr unsigned DocumentMode = 0600;
    // The system calls of the save; tests make them fail.
    void SetFileOperations(Platform::TFileOperations* Value) { FOperations = Value; }
    // False until a load succeeded.
    bool Loaded() const { return !FDocument.documentElement().isNull(); }

    // The element at Path, created when missing. Throws when the document
    // was never loaded or its root is not Path's first step.
    QDomElement Element(const std::string& Path);
    // The child elements of the element at Path, in document order.
    std::vector<QDomElement> ChildElements(const std::string& Path);
    std::vector<QDomElement> Services() { return ChildElements("zentavo/services"); }
    std::vector<QDomElement> Libraries() { return ChildElements("zentavo/library"); }

    // The text of the attribute; throws when the element lacks it.
    static std::string Attribute(const QDomElement& Element, const std::string& Name);
    // The attribute as a decimal 32-bit integer; throws when it is missing,
    // empty, not a number or out of range.
    static int IntegerAttribute(const QDomElement& Element, const std::string& Name);

    // Minutes as the document writes them ("30", "0.5": always a decimal
    // point) to milliseconds: x 1000 x 60, rounded. Throws for text that is no
    // number or a result outside 1 .. 2^31 - 1 milliseconds.
    static int ElapseToMilliseconds(const std::string& Minutes);
    // The interval of the periodic online refresh: "elapse" of
    // zentavo/library/popup/shopwindow, in milliseconds.
    int PopUpInterval();

    const QDomDocument& Document() const { return FDocument; }

private:
    QDomDocument FDocument;
    Platform::TFileOperations* FOperations = nullptr;
};
