#include "ConfigDocument.h"

#include "ConfigError.h"
#include "platform/FileOperations.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTextStream>
#include <QXmlStreamReader>

namespace {

QString ToQString(const std::string& Text)
{
    return QString::fromStdString(Text);
}

std::string Describe(const QDomElement& Element)
{
    return "<" + Element.tagName().toStdString() + ">";
}

std::string_view Trimmed(std::string_view Text)
{
    const auto First = Text.find_first_not_of(" \t\r\n");
    if (First == std::string_view::npos)
        return {};
    const auto Last = Text.find_last_not_of(" \t\r\n");
    return Text.substr(First, Last - First + 1);
}

// The shape of a document that arrives from the network is not trusted:
// nothing in it may make the parser expand, fetch or allocate without bound.
// No declaration of a document type (so no entity but the five predefined
// ones, and nothing external is ever read), and limits on size, nesting and
// node count that the clock's own document stays far below.
[[noreturn]] void Refuse(const std::string& Source, const std::string& Why)
{
    throw EConfigError(Source + " is not well-formed XML: " + Why);
}

// The most attributes any start tag has, by a scan of the bytes (for the
// encodings that keep ASCII as it is; others are left to the reader's count).
int MostAttributes(const QByteArray& Bytes)
{
    int Most = 0;
    int Attributes = 0;
    bool InTag = false;
    char Quote = 0;
    for (qsizetype Index = 0; Index < Bytes.size(); ++Index) {
        const char Character = Bytes[Index];
        if (Quote != 0) {
            if (Character == Quote)
                Quote = 0;
        } else if (!InTag) {
            // Comments, declarations, instructions and end tags carry no attributes.
            if (Character == '<' && Index + 1 < Bytes.size())
                InTag = std::string_view("!?/").find(Bytes[Index + 1]) == std::string_view::npos;
        } else if (Character == '"' || Character == '\'') {
            Quote = Character;
        } else if (Character == '>') {
            InTag = false;
            Attributes = 0;
        } else if (Character == '=') {
            Most = std::max(Most, ++Attributes);
        }
    }
    return Most;
}

void CheckShape(const QByteArray& Bytes, const std::string& Source)
{
    const auto Refuse = [&](const std::string& Why) { ::Refuse(Source, Why); };
    if (Bytes.size() > TConfigDocument::MaximumBytes)
        Refuse("larger than " + std::to_string(TConfigDocument::MaximumBytes) + " bytes");
    // The stream reader compares each attribute with the ones before it, so
    // they are counted before it sees any.
    if (MostAttributes(Bytes) > TConfigDocument::MaximumAttributes)
        Refuse("an element with more than " + std::to_string(TConfigDocument::MaximumAttributes) +
               " attributes");
    QXmlStreamReader Reader(Bytes);
    int Depth = 0;
    int Nodes = 0;
    while (!Reader.atEnd()) {
        switch (Reader.readNext()) {
        case QXmlStreamReader::DTD:
            ::Refuse(Source, "a document type declaration is not accepted");
        case QXmlStreamReader::EntityReference:
            ::Refuse(Source, "entity references are not accepted");
        case QXmlStreamReader::StartElement:
            if (++Depth > TConfigDocument::MaximumDepth)
                Refuse("elements nested deeper than " + std::to_string(TConfigDocument::MaximumDepth));
            Nodes += 1 + static_cast<int>(Reader.attributes().size());
            break;
        case QXmlStreamReader::EndElement:
            --Depth;
            break;
        case QXmlStreamReader::Characters:
        case QXmlStreamReader::Comment:
        case QXmlStreamReader::ProcessingInstruction:
            ++Nodes;
            break;
        default:
            break;
        }
        if (Nodes > TConfigDocument::MaximumNodes)
            Refuse("more than " + std::to_string(TConfigDocument::MaximumNodes) + " nodes");
    }
    if (Reader.hasError())
        throw EConfigError(Source + " is not well-formed XML (line " + std::to_string(Reader.lineNumber()) +
                           ", column " + std::to_string(Reader.columnNumber()) +
                           "): " + Reader.errorString().toStdString());
}

QDomDocument Parse(const QByteArray& Bytes, const std::string& Source)
{
    CheckShape(Bytes, Source);
    QDomDocument Parsed;
    QString Message;
    int Line = 0;
    int Column = 0;
    if (!Parsed.setContent(Bytes, &Message, &Line, &Column))
        throw EConfigError(Source + " is not well-formed XML (line " + std::to_string(Line) + ", column " +
                           std::to_string(Column) + "): " + Message.toStdString());
    if (Parsed.documentElement().isNull())
        throw EConfigError(Source + " has no root element");
    return Parsed;
}

// The encoding the XML declaration names, or an empty text.
QString DeclaredEncoding(const QDomDocument& Document)
{
    const QDomNode First = Document.firstChild();
    if (!First.isProcessingInstruction() || First.nodeName() != QLatin1String("xml"))
        return {};
    static const QRegularExpression Encoding(QStringLiteral("encoding\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)')"));
    const QRegularExpressionMatch Match = Encoding.match(First.toProcessingInstruction().data());
    if (!Match.hasMatch())
        return {};
    return Match.captured(1).isEmpty() ? Match.captured(2) : Match.captured(1);
}

} // namespace

void TConfigDocument::LoadFromFile(const std::string& Name)
{
    QFile File(ToQString(Name));
    if (!File.open(QIODevice::ReadOnly))
        throw EConfigError("cannot read " + Name + ": " + File.errorString().toStdString());
    // Read one byte past the limit so that a huge file is refused unread.
    const QByteArray Bytes = File.read(MaximumBytes + 1);
    if (File.error() != QFileDevice::NoError)
        throw EConfigError("cannot read " + Name + ": " + File.errorString().toStdString());
    FDocument = Parse(Bytes, Name);
}

void TConfigDocument::LoadFromBytes(const QByteArray& Bytes)
{
    FDocument = Parse(Bytes, "the downloaded document");
}

void TConfigDocument::SaveToFile(const std::string& Name) const
{
    // QDomDocument writes only the encodings Qt knows by itself; the encoder
    // also knows the code pages a hand-written declaration may name.
    if (!Loaded())
        throw EConfigError("cannot write " + Name + ": the configuration document is not loaded");
    const QString Encoding = DeclaredEncoding(FDocument);
    QStringEncoder Encoder(Encoding.isEmpty() ? "UTF-8" : Encoding.toLatin1().constData());
    if (!Encoder.isValid())
        throw EConfigError("cannot write " + Name + ": unknown encoding " + Encoding.toStdString());
    // Written with a declaration of our own that names the encoding used.
    QString Text;
    QTextStream Stream(&Text);
    FDocument.save(Stream, 1, QDomNode::EncodingFromTextStream);
    Stream.flush();
    const qsizetype DeclarationEnd = Text.indexOf(QLatin1String("?>")) + 2;
    Text.replace(0, DeclarationEnd,
                 QStringLiteral("<?xml version=\"1.0\" encoding=\"%1\"?>")
                     .arg(Encoding.isEmpty() ? QStringLiteral("UTF-8") : Encoding));
    const QByteArray Bytes = Encoder.encode(Text);
    // A power cut or a full disk leaves the old document or the whole new
    // one: a truncated one would stop the next start.
    const auto Fail = [&](const char* What, int Error) {
        throw EConfigError("cannot write " + Name + " (" + What + " it): " + std::strerror(Error));
    };
    Platform::TFileOperations& Operations = FOperations ? *FOperations : Platform::TFileOperations::System();
    // What a save cut short by a crash left behind.
    const QFileInfo Target(ToQString(Name));
    for (const QString& Leftover :
         Target.dir().entryList({Target.fileName() + QStringLiteral(".tmp-*")}, QDir::Files | QDir::Hidden))
        QFile::remove(Target.dir().filePath(Leftover));
    Platform::WriteFileDurably(Operations, Name, Name, Bytes.toStdString(), DocumentMode, Fail);
    Platform::SyncFolderOf(Operations, Name, Fail);
}

QDomElement TConfigDocument::Element(const std::string& Path)
{
    QDomElement Current = FDocument.documentElement();
    if (Current.isNull())
        throw EConfigError("the configuration document is not loaded");
    const QStringList Steps = ToQString(Path).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (Steps.isEmpty() || Steps.front() != Current.tagName())
        throw EConfigError("the configuration document has no element " + Path);
    for (qsizetype Index = 1; Index < Steps.size(); ++Index) {
        QDomElement Next = Current.firstChildElement(Steps[Index]);
        if (Next.isNull())
            Next = Current.appendChild(FDocument.createElement(Steps[Index])).toElement();
        Current = Next;
    }
    return Current;
}

std::vector<QDomElement> TConfigDocument::ChildElements(const std::string& Path)
{
    std::vector<QDomElement> Children;
    const QDomElement Parent = Element(Path);
    for (QDomElement Child = Parent.firstChildElement(); !Child.isNull(); Child = Child.nextSiblingElement())
        Children.push_back(Child);
    return Children;
}

std::string TConfigDocument::Attribute(const QDomElement& Element, const std::string& Name)
{
    const QString Key = ToQString(Name);
    if (Element.isNull() || !Element.hasAttribute(Key))
        throw EConfigError("the element " + Describe(Element) +
                           " of the configuration document has no attribute \"" + Name + "\"");
    return Element.attribute(Key).toStdString();
}

int TConfigDocument::IntegerAttribute(const QDomElement& Element, const std::string& Name)
{
    const std::string Text = Attribute(Element, Name);
    std::string_view Digits = Trimmed(Text);
    // from_chars takes a minus but no plus.
    if (Digits.size() > 1 && Digits.front() == '+' && Digits[1] != '-')
        Digits.remove_prefix(1);
    int Value = 0;
    const auto [End, Error] = std::from_chars(Digits.data(), Digits.data() + Digits.size(), Value);
    if (Digits.empty() || Error != std::errc() || End != Digits.data() + Digits.size())
        throw EConfigError("the attribute \"" + Name + "\" of " + Describe(Element) +
                           " is not an integer: \"" + Text + "\"");
    return Value;
}

int TConfigDocument::ElapseToMilliseconds(const std::string& Minutes)
{
    std::string_view Number = Trimmed(Minutes);
    if (Number.size() > 1 && Number.front() == '+' && Number[1] != '-')
        Number.remove_prefix(1);
    double Value = 0;
    const auto [End, Error] = std::from_chars(Number.data(), Number.data() + Number.size(), Value);
    if (Number.empty() || Error != std::errc() || End != Number.data() + Number.size() ||
        !std::isfinite(Value))
        throw EConfigError("\"" + Minutes + "\" is not a number of minutes");
    const double Milliseconds = std::round(Value * 1000 * 60);
    // A zero or negative period would fire the refresh without pause.
    if (Milliseconds < 1 || Milliseconds > std::numeric_limits<int>::max())
        throw EConfigError("\"" + Minutes + "\" minutes is not a usable interval");
    return static_cast<int>(Milliseconds);
}

int TConfigDocument::PopUpInterval()
{
    return ElapseToMilliseconds(Attribute(Element("zentavo/library/popup/shopwindow"), "elapse"));
}
