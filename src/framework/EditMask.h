#pragma once
// The edit-mask engine of masked edits: what a mask such as
// "(000) 000-0000;1;_" lets a person type, how the entry is shown, and how it
// is stored. It knows no window; the edits that use it keep the shown text
// (one character per mask position, blanks where nothing was typed) and ask
// it for every change.
//
// The mask string is "mask;save-literals;blank-char". The mask characters:
//   0  digit, required            9  digit, optional
//   #  digit, + or -, optional
//   L  letter, required           l  letter, optional
//   A  letter or digit, required  a  letter or digit, optional
//   C  any character, required    c  any character, optional
//   >  upper case from here on    <  lower case from here on
//   <> no case conversion from here on
//   \  the next character is a literal
//   !  optional characters left out are leading blanks (stored text trimmed
//      at its start instead of its end)
//   :  /  the time and date separators (literals)
// Every other character is a literal, shown as it is and skipped when typing.
// The second field "0" stores the text without the literals (anything else,
// or no field, stores them); the third field's first character is the blank
// shown in empty positions ("_" when absent).

#include "framework/System.h"

#include <vector>

// An entry that does not fill its mask; the message is the system's own.
class EDBEditError : public Exception {
public:
    using Exception::Exception;
};

class TEditMask {
public:
    TEditMask() = default;
    explicit TEditMask(const String& Mask);

    const String& Mask() const { return FMask; }
    // No mask: the edit takes any text.
    bool Empty() const { return FPositions.empty(); }
    // Positions of the shown text.
    int Length() const { return int(FPositions.size()); }
    bool SaveLiterals() const { return FSaveLiterals; }
    Char Blank() const { return FBlank; }
    bool IsLiteral(int Pos) const;
    // The first input position at or after Pos, the last before Pos; -1 when none.
    int NextInput(int Pos) const;
    int PrevInput(int Pos) const;

    // The shown text of an empty entry: literals, blanks elsewhere.
    String EmptyText() const;
    // The shown text of a stored value (as Text gives it back). Characters go
    // to the input positions in order; when literals are stored, the value's
    // literals are matched, though a value without them is taken as well.
    // Spaces become blanks; the value is not checked, and what is beyond the
    // mask is dropped.
    String FormatText(const String& Value) const;
    // The text as stored: blanks become spaces; without stored literals only
    // the input characters, with the trailing blanks (leading with "!") cut.
    String StoredText(const String& Shown) const;

    // A character typed at Pos of the shown text. On a literal equal to Ch
    // the position only moves past it; otherwise Ch goes to the first input
    // position from Pos on when that position accepts it (case converted).
    // Pos ends after the character. False (nothing changed): refused.
    bool InputChar(String& Shown, int& Pos, Char Ch) const;
    // Characters typed or pasted at Pos, each as InputChar takes it. Pasted
    // text longer than the mask is cut at its end, and a pasted blank or
    // space leaves its position empty. False (Shown and Pos unchanged): a
    // character is refused, and so the whole text.
    bool InputText(String& Shown, int& Pos, const String& S, bool Pasting) const;
    // Blanks the input positions of [Start, Start + Count); literals stay.
    void Clear(String& Shown, int Start, int Count) const;

    // The first position that is required but blank, or holds a character
    // its position does not accept; -1 when the entry is complete.
    int FirstInvalid(const String& Shown) const;
    // Raises EDBEditError "Invalid input value. Use escape key to abandon
    // changes" when FirstInvalid finds a position.
    void Validate(const String& Shown) const;

private:
    enum class TCase : Byte { None, Upper, Lower };
    struct TPosition {
        Char Literal = 0;  // non-zero: a literal position
        Char Kind = 0;     // the mask character of an input position
        bool Required = false;
        TCase Case = TCase::None;
    };
    bool Accepts(const TPosition& P, Char Ch) const;

    String FMask;
    std::vector<TPosition> FPositions;
    bool FSaveLiterals = true;
    bool FLeadingBlanks = false;
    Char FBlank = u'_';
};
