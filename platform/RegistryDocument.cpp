#include "RegistryDocument.h"

#include <cctype>
#include <cstdio>
#include <QString>

namespace Platform {

namespace {

constexpr std::uint32_t StringType = static_cast<std::uint32_t>(TRegistryType::String);
constexpr std::uint32_t ExpandStringType = static_cast<std::uint32_t>(TRegistryType::ExpandString);
constexpr std::uint32_t BinaryType = static_cast<std::uint32_t>(TRegistryType::Binary);
constexpr std::uint32_t DWordType = static_cast<std::uint32_t>(TRegistryType::DWord);

// Regedit keeps hex lines within 80 columns, continued with a backslash.
constexpr std::size_t HexLineWidth = 79;

std::string FoldCase(const std::string& Text)
{
    return QString::fromUtf8(Text.data(), static_cast<qsizetype>(Text.size()))
        .toCaseFolded()
        .toUtf8()
        .toStdString();
}

bool IsBlank(char Character)
{
    return Character == ' ' || Character == '\t' || Character == '\r';
}

std::string Trim(const std::string& Text)
{
    std::size_t First = 0;
    std::size_t Last = Text.size();
    while (First < Last && IsBlank(Text[First]))
        ++First;
    while (Last > First && IsBlank(Text[Last - 1]))
        --Last;
    return Text.substr(First, Last - First);
}

bool StartsWithNoCase(const std::string& Text, const std::string& Prefix)
{
    if (Text.size() < Prefix.size())
        return false;
    for (std::size_t Index = 0; Index < Prefix.size(); ++Index)
        if (std::tolower(static_cast<unsigned char>(Text[Index])) != Prefix[Index])
            return false;
    return true;
}

int HexDigit(char Character)
{
    if (Character >= '0' && Character <= '9')
        return Character - '0';
    if (Character >= 'a' && Character <= 'f')
        return Character - 'a' + 10;
    if (Character >= 'A' && Character <= 'F')
        return Character - 'A' + 10;
    return -1;
}

std::optional<std::uint32_t> ParseHexNumber(const std::string& Text)
{
    if (Text.empty() || Text.size() > 8)
        return std::nullopt;
    std::uint32_t Number = 0;
    for (char Character : Text) {
        const int Digit = HexDigit(Character);
        if (Digit < 0)
            return std::nullopt;
        Number = Number * 16 + static_cast<std::uint32_t>(Digit);
    }
    return Number;
}

// Joins path parts with single backslashes, without leading or trailing ones.
std::string NormalisePath(const std::string& Path)
{
    std::string Result;
    std::string Part;
    for (std::size_t Index = 0; Index <= Path.size(); ++Index) {
        if (Index == Path.size() || Path[Index] == '\\') {
            if (!Part.empty()) {
                if (!Result.empty())
                    Result += '\\';
                Result += Part;
                Part.clear();
            }
        } else {
            Part += Path[Index];
        }
    }
    return Result;
}

// A quoted text starting at Position; on success Position is just past the closing quote.
std::optional<std::string> ParseQuoted(const std::string& Text, std::size_t& Position)
{
    if (Position >= Text.size() || Text[Position] != '"')
        return std::nullopt;
    std::string Result;
    for (std::size_t Index = Position + 1; Index < Text.size(); ++Index) {
        const char Character = Text[Index];
        if (Character == '"') {
            Position = Index + 1;
            return Result;
        }
        if (Character == '\\') {
            if (Index + 1 >= Text.size() || (Text[Index + 1] != '\\' && Text[Index + 1] != '"'))
                return std::nullopt;
            ++Index;
        }
        Result += Text[Index];
    }
    return std::nullopt;
}

std::string Quote(const std::string& Text)
{
    std::string Result = "\"";
    for (char Character : Text) {
        if (Character == '\\' || Character == '"')
            Result += '\\';
        Result += Character;
    }
    return Result + '"';
}

std::optional<std::string> Utf8FromUtf16(const std::vector<std::uint8_t>& Bytes)
{
    if (Bytes.size() % 2 != 0)
        return std::nullopt;
    std::u16string Units;
    for (std::size_t Index = 0; Index < Bytes.size(); Index += 2)
        Units += static_cast<char16_t>(Bytes[Index] | (Bytes[Index + 1] << 8));
    if (!Units.empty() && Units.back() == u'\0')
        Units.pop_back(); // the terminator the registry stores with every text
    return QString::fromUtf16(Units.data(), static_cast<qsizetype>(Units.size())).toUtf8().toStdString();
}

std::vector<std::uint8_t> Utf16WithTerminator(const std::vector<std::uint8_t>& Utf8)
{
    const QString Text =
        QString::fromUtf8(reinterpret_cast<const char*>(Utf8.data()), static_cast<qsizetype>(Utf8.size()));
    std::vector<std::uint8_t> Bytes;
    Bytes.reserve(2 * static_cast<std::size_t>(Text.size()) + 2);
    for (QChar Unit : Text) {
        Bytes.push_back(static_cast<std::uint8_t>(Unit.unicode() & 0xff));
        Bytes.push_back(static_cast<std::uint8_t>(Unit.unicode() >> 8));
    }
    Bytes.push_back(0);
    Bytes.push_back(0);
    return Bytes;
}

std::optional<std::vector<std::uint8_t>> ParseHexBytes(const std::string& List)
{
    std::vector<std::uint8_t> Bytes;
    const std::string Trimmed = Trim(List);
    if (Trimmed.empty())
        return Bytes;
    std::size_t Start = 0;
    while (Start <= Trimmed.size()) {
        std::size_t Comma = Trimmed.find(',', Start);
        if (Comma == std::string::npos)
            Comma = Trimmed.size();
        const std::string Token = Trim(Trimmed.substr(Start, Comma - Start));
        const bool Last = Comma == Trimmed.size();
        if (Token.empty()) {
            if (!Last || Bytes.empty()) // only a trailing comma may leave an empty place
                return std::nullopt;
        } else {
            const auto Number = ParseHexNumber(Token);
            if (!Number || Token.size() > 2)
                return std::nullopt;
            Bytes.push_back(static_cast<std::uint8_t>(*Number));
        }
        Start = Comma + 1;
    }
    return Bytes;
}

std::optional<TRegistryValue> ParseData(const std::string& Data)
{
    TRegistryValue Value;
    if (!Data.empty() && Data[0] == '"') {
        std::size_t Position = 0;
        const auto Text = ParseQuoted(Data, Position);
        if (!Text || !Trim(Data.substr(Position)).empty())
            return std::nullopt;
        return TRegistryValue::FromString(*Text);
    }
    if (StartsWithNoCase(Data, "dword:")) {
        const auto Number = ParseHexNumber(Trim(Data.substr(6)));
        if (!Number)
            return std::nullopt;
        return TRegistryValue::FromDWord(*Number);
    }
    std::size_t ListStart = 0;
    if (StartsWithNoCase(Data, "hex:")) {
        Value.Type = BinaryType;
        ListStart = 4;
    } else if (StartsWithNoCase(Data, "hex(")) {
        const std::size_t Close = Data.find("):", 4);
        if (Close == std::string::npos)
            return std::nullopt;
        const auto Type = ParseHexNumber(Data.substr(4, Close - 4));
        if (!Type)
            return std::nullopt;
        Value.Type = *Type;
        ListStart = Close + 2;
    } else {
        return std::nullopt;
    }
    auto Bytes = ParseHexBytes(Data.substr(ListStart));
    if (!Bytes)
        return std::nullopt;
    if (Value.Type == StringType || Value.Type == ExpandStringType) {
        const auto Text = Utf8FromUtf16(*Bytes);
        if (!Text)
            return std::nullopt;
        return TRegistryValue::FromString(*Text, static_cast<TRegistryType>(Value.Type));
    }
    Value.Data = std::move(*Bytes);
    return Value;
}

std::string FormatHex(const std::string& Prefix, const std::vector<std::uint8_t>& Bytes,
                      const std::string& LineEnd)
{
    std::string Out = Prefix;
    std::size_t Column = Prefix.size();
    for (std::size_t Index = 0; Index < Bytes.size(); ++Index) {
        char Piece[4];
        std::snprintf(Piece, sizeof Piece, Index + 1 < Bytes.size() ? "%02x," : "%02x", Bytes[Index]);
        const std::size_t Length = Index + 1 < Bytes.size() ? 3 : 2;
        if (Index > 0 && Column + Length > HexLineWidth) {
            Out += "\\" + LineEnd + "  ";
            Column = 2;
        }
        Out += Piece;
        Column += Length;
    }
    return Out + LineEnd;
}

bool FitsOnOneLine(const std::string& Text)
{
    return Text.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

} // namespace

TRegistryDocument::TRegistryDocument()
{
    TSection Preamble;
    Preamble.Entries.push_back({std::string(HeaderLine) + FLineEnd, false, {}, {}, {}});
    Preamble.Entries.push_back({FLineEnd, false, {}, {}, {}});
    FSections.push_back(std::move(Preamble));
}

TRegistryDocument TRegistryDocument::Parse(const std::string& Text)
{
    TRegistryDocument Document;
    if (Text.empty())
        return Document;
    Document.FSections.clear();

    std::string Body = Text;
    if (Body.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        Document.FByteOrderMark = Body.substr(0, 3);
        Body.erase(0, 3);
    } else if (Body.compare(0, 2, "\xFF\xFE") == 0) {
        // Regedit's own files are UTF-16; they are read and then kept as UTF-8.
        const std::vector<std::uint8_t> Bytes(Body.begin() + 2, Body.end());
        const auto Converted = Utf8FromUtf16(Bytes);
        Body = Converted ? *Converted : std::string();
        Document.FComplete = Converted.has_value();
    }

    std::vector<std::string> Lines;
    for (std::size_t Start = 0; Start < Body.size();) {
        const std::size_t End = Body.find('\n', Start);
        if (End == std::string::npos) {
            Lines.push_back(Body.substr(Start));
            break;
        }
        Lines.push_back(Body.substr(Start, End + 1 - Start));
        Start = End + 1;
    }
    if (!Lines.empty() && Lines.front().size() >= 2 &&
        Lines.front().compare(Lines.front().size() - 2, 2, "\r\n") == 0)
        Document.FLineEnd = "\r\n";
    if (!Lines.empty() && Lines.back().back() != '\n')
        Lines.back() += Document.FLineEnd; // so that a line can follow it

    TSection Preamble;
    std::size_t LineIndex = 0;
    const std::string FirstLine =
        Lines.empty() ? std::string() : Trim(Lines.front().substr(0, Lines.front().size() - 1));
    if (FirstLine == HeaderLine || FirstLine == "REGEDIT4") {
        Preamble.Entries.push_back({Lines.front(), false, {}, {}, {}});
        LineIndex = 1;
    } else {
        Document.FComplete = false;
        Preamble.Entries.push_back({std::string(HeaderLine) + Document.FLineEnd, false, {}, {}, {}});
        Preamble.Entries.push_back({Document.FLineEnd, false, {}, {}, {}});
    }
    Document.FSections.push_back(std::move(Preamble));

    for (; LineIndex < Lines.size(); ++LineIndex) {
        TSection& Current = Document.FSections.back();
        const std::string& Line = Lines[LineIndex];
        const std::string Content = Trim(Line.substr(0, Line.size() - 1));

        if (Content.empty() || Content[0] == ';') {
            Current.Entries.push_back({Line, false, {}, {}, {}});
            continue;
        }

        if (Content[0] == '[') {
            const std::size_t Close = Content.rfind(']');
            const std::string Inner =
                Close == std::string::npos ? std::string() : Content.substr(1, Close - 1);
            TSection Section;
            Section.Header = Line;
            if (!Inner.empty() && Inner[0] == '-') {
                Section.IsKey = false; // a deletion order for an import: kept, not served
            } else {
                Section.IsKey = true;
                Section.Path = NormalisePath(Inner);
                Section.FoldedPath = FoldCase(Section.Path);
            }
            if (Close == std::string::npos || (Section.IsKey && Section.Path.empty())) {
                Document.FComplete = false;
                continue;
            }
            Document.FSections.push_back(std::move(Section));
            continue;
        }

        if (Content[0] == '"' || Content[0] == '@') {
            std::size_t Position = 0;
            std::optional<std::string> Name;
            if (Content[0] == '@') {
                Name = std::string();
                Position = 1;
            } else {
                Name = ParseQuoted(Content, Position);
            }
            while (Position < Content.size() && IsBlank(Content[Position]))
                ++Position;
            std::string Raw = Line;
            std::string Data = Name && Position < Content.size() && Content[Position] == '='
                                   ? Trim(Content.substr(Position + 1))
                                   : std::string();
            bool Broken = !Name || Data.empty();
            if (!Broken && StartsWithNoCase(Data, "hex")) {
                while (!Data.empty() && Data.back() == '\\') {
                    Data.pop_back();
                    if (LineIndex + 1 >= Lines.size()) {
                        Broken = true;
                        break;
                    }
                    const std::string& Next = Lines[++LineIndex];
                    Raw += Next;
                    Data += Trim(Next.substr(0, Next.size() - 1));
                }
            }
            if (!Broken && Current.IsKey && Data != "-") {
                auto Value = ParseData(Data);
                if (Value) {
                    Current.Entries.push_back({Raw, true, *Name, FoldCase(*Name), std::move(*Value)});
                    continue;
                }
            } else if (!Broken && !Current.Header.empty()) {
                // Deletion orders and the contents of kept sections stay as they are.
                Current.Entries.push_back({Raw, false, {}, {}, {}});
                continue;
            }
            Document.FComplete = false;
            continue;
        }

        Document.FComplete = false;
    }
    return Document;
}

std::string TRegistryDocument::Text() const
{
    std::string Result = FByteOrderMark;
    for (const TSection& Section : FSections) {
        Result += Section.Header;
        for (const TEntry& Entry : Section.Entries)
            Result += Entry.Raw;
    }
    return Result;
}

bool TRegistryDocument::KeyExists(const std::string& Path) const
{
    const std::string Folded = FoldCase(NormalisePath(Path));
    for (const TSection& Section : FSections) {
        if (!Section.IsKey)
            continue;
        if (Section.FoldedPath == Folded || (Section.FoldedPath.size() > Folded.size() &&
                                             Section.FoldedPath.compare(0, Folded.size(), Folded) == 0 &&
                                             Section.FoldedPath[Folded.size()] == '\\'))
            return true;
    }
    return false;
}

std::optional<TRegistryValue> TRegistryDocument::Value(const std::string& Path, const std::string& Name) const
{
    auto* Entry =
        const_cast<TRegistryDocument*>(this)->FindValue(FoldCase(NormalisePath(Path)), FoldCase(Name));
    if (Entry == nullptr)
        return std::nullopt;
    return Entry->Value;
}

TRegistryDocument::TEntry* TRegistryDocument::FindValue(const std::string& FoldedPath,
                                                        const std::string& FoldedName)
{
    TEntry* Found = nullptr; // the last definition wins, as on import
    for (TSection& Section : FSections)
        if (Section.IsKey && Section.FoldedPath == FoldedPath)
            for (TEntry& Entry : Section.Entries)
                if (Entry.IsValue && Entry.FoldedName == FoldedName)
                    Found = &Entry;
    return Found;
}

bool TRegistryDocument::AddKey(const std::string& Path)
{
    if (KeyExists(Path))
        return false;
    AppendKeySection(Path);
    return true;
}

bool TRegistryDocument::SetValue(const std::string& Path, const std::string& Name,
                                 const TRegistryValue& Value)
{
    const std::string FoldedPath = FoldCase(NormalisePath(Path));
    const std::string FoldedName = FoldCase(Name);
    TEntry* Existing = FindValue(FoldedPath, FoldedName);
    const std::string StoredName = Existing ? Existing->Name : Name; // the registry keeps the first spelling
    TEntry Replacement{FormatValue(StoredName, Value, FLineEnd), true, StoredName, FoldedName, Value};

    if (Existing != nullptr) {
        bool Changed = !(Existing->Value == Value);
        // Earlier definitions of the same name would come back if the last one were
        // deleted, so only the last one stays.
        std::size_t Earlier = 0;
        for (const TSection& Section : FSections)
            if (Section.IsKey && Section.FoldedPath == FoldedPath)
                for (const TEntry& Entry : Section.Entries)
                    Earlier += Entry.IsValue && Entry.FoldedName == FoldedName ? 1 : 0;
        --Earlier;
        for (TSection& Section : FSections) {
            if (!Section.IsKey || Section.FoldedPath != FoldedPath)
                continue;
            for (auto Entry = Section.Entries.begin(); Entry != Section.Entries.end() && Earlier > 0;) {
                if (Entry->IsValue && Entry->FoldedName == FoldedName) {
                    Entry = Section.Entries.erase(Entry);
                    --Earlier;
                    Changed = true;
                } else {
                    ++Entry;
                }
            }
        }
        Existing = FindValue(FoldedPath, FoldedName);
        if (!(Existing->Value == Value))
            *Existing = std::move(Replacement);
        return Changed;
    }

    TSection* Target = nullptr;
    for (TSection& Section : FSections)
        if (Section.IsKey && Section.FoldedPath == FoldedPath)
            Target = &Section;
    if (Target == nullptr)
        Target = &AppendKeySection(Path);
    std::size_t Position = 0;
    for (std::size_t Index = 0; Index < Target->Entries.size(); ++Index)
        if (Target->Entries[Index].IsValue)
            Position = Index + 1;
    Target->Entries.insert(Target->Entries.begin() + static_cast<std::ptrdiff_t>(Position),
                           std::move(Replacement));
    return true;
}

bool TRegistryDocument::DeleteValue(const std::string& Path, const std::string& Name)
{
    const std::string FoldedPath = FoldCase(NormalisePath(Path));
    const std::string FoldedName = FoldCase(Name);
    bool Deleted = false;
    for (TSection& Section : FSections) {
        if (!Section.IsKey || Section.FoldedPath != FoldedPath)
            continue;
        for (auto Entry = Section.Entries.begin(); Entry != Section.Entries.end();) {
            if (Entry->IsValue && Entry->FoldedName == FoldedName) {
                Entry = Section.Entries.erase(Entry);
                Deleted = true;
            } else {
                ++Entry;
            }
        }
    }
    return Deleted;
}

TRegistryDocument::TSection& TRegistryDocument::AppendKeySection(const std::string& Path)
{
    const std::string Normalised = NormalisePath(Path);
    if (Normalised.empty() || !FitsOnOneLine(Normalised))
        throw ERegistryError("the key name \"" + Path + "\" cannot be stored");
    EndWithBlankLine();
    TSection Section;
    Section.IsKey = true;
    Section.Path = Normalised;
    Section.FoldedPath = FoldCase(Normalised);
    Section.Header = "[" + Normalised + "]" + FLineEnd;
    Section.Entries.push_back({FLineEnd, false, {}, {}, {}});
    FSections.push_back(std::move(Section));
    return FSections.back();
}

void TRegistryDocument::EndWithBlankLine()
{
    const std::string Current = Text();
    std::string WithoutLastEnd = Current;
    if (!WithoutLastEnd.empty() && WithoutLastEnd.back() == '\n')
        WithoutLastEnd.pop_back();
    if (!WithoutLastEnd.empty() && WithoutLastEnd.back() == '\r')
        WithoutLastEnd.pop_back();
    const bool EndsWithBlank = WithoutLastEnd.empty() || WithoutLastEnd.back() == '\n';
    if (!EndsWithBlank)
        FSections.back().Entries.push_back({FLineEnd, false, {}, {}, {}});
}

std::string TRegistryDocument::FormatValue(const std::string& Name, const TRegistryValue& Value,
                                           const std::string& LineEnd)
{
    if (!FitsOnOneLine(Name))
        throw ERegistryError("the value name \"" + Name + "\" cannot be stored");
    const std::string Prefix = (Name.empty() ? std::string("@") : Quote(Name)) + "=";
    const std::string Text(Value.Data.begin(), Value.Data.end());
    switch (Value.Type) {
    case StringType:
        if (FitsOnOneLine(Text))
            return Prefix + Quote(Text) + LineEnd;
        return FormatHex(Prefix + "hex(1):", Utf16WithTerminator(Value.Data), LineEnd);
    case ExpandStringType:
        return FormatHex(Prefix + "hex(2):", Utf16WithTerminator(Value.Data), LineEnd);
    case BinaryType:
        return FormatHex(Prefix + "hex:", Value.Data, LineEnd);
    case DWordType:
        if (Value.Data.size() == 4) {
            char Number[16];
            std::snprintf(Number, sizeof Number, "dword:%08x",
                          static_cast<unsigned>(Value.Data[0] | Value.Data[1] << 8 | Value.Data[2] << 16 |
                                                static_cast<std::uint32_t>(Value.Data[3]) << 24));
            return Prefix + Number + LineEnd;
        }
        break;
    default:
        break;
    }
    char TypePrefix[24];
    std::snprintf(TypePrefix, sizeof TypePrefix, "hex(%x):", static_cast<unsigned>(Value.Type));
    return FormatHex(Prefix + TypePrefix, Value.Data, LineEnd);
}

} // namespace Platform
