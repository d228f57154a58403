// TNumEdit: a one-line edit holding a floating-point Value shown through a
// FormatFloat display Format, optionally confined to a range, that filters
// typed characters, re-reads its text on every change and colours the text
// by its validity.
//
// The range is active exactly when MinValue < MaxValue. Writing Value clamps
// to an active range and, in IntegerMode, rounds halves to the even
// neighbour; typed text outside the range is kept and makes the control
// invalid instead.
#pragma once

#include <string>

#include "editors/align_edit.h"
#include "platform/color.h"

namespace qv {

class TNumEdit : public TAlignEdit {
    Q_OBJECT
    Q_PROPERTY(double Value READ Value WRITE SetValue)
    Q_PROPERTY(std::string Format READ Format WRITE SetFormat)
    Q_PROPERTY(double MaxValue READ MaxValue WRITE SetMaxValue)
    Q_PROPERTY(double MinValue READ MinValue WRITE SetMinValue)
    Q_PROPERTY(qv::TColor ValidColor READ ValidColor WRITE SetValidColor)
    Q_PROPERTY(qv::TColor InvalidColor READ InvalidColor WRITE SetInvalidColor)

public:
    explicit TNumEdit(QWidget* Parent = nullptr);

    double Value() const { return FValue; }
    void SetValue(double V);
    double MinValue() const { return FMinValue; }
    // Re-validates the present text; the stored Value is not clamped.
    void SetMinValue(double V);
    double MaxValue() const { return FMaxValue; }
    void SetMaxValue(double V);
    const std::string& Format() const { return FFormat; }
    // Keeps only number and format characters ("$#,##0.00" → "#,##0.00");
    // empty becomes "0"; the current format again changes nothing.
    virtual void SetFormat(const std::string& NewFormat);
    bool IntegerMode() const { return FIntegerMode; }
    // The outcome of the last validation of typed text; False for a new
    // control.
    bool Valid() const { return FValid; }
    bool Updating() const { return FUpdating; }

    TColor ValidColor() const { return FValidColor; }
    void SetValidColor(TColor C);
    TColor InvalidColor() const { return FInvalidColor; }
    void SetInvalidColor(TColor C);

    // Marks the control valid exactly when Value lies in the range (as a
    // Value write leaves it), without reading the text back: formatted text
    // may show fewer digits than Value holds.
    void AcceptValue() { SetValid(IsInRange()); }
    // Takes a value the user did not type (a cell's value) exactly as it is:
    // shown in Format, but neither clamped nor rounded, so that passing
    // through a cell whose format shows fewer digits keeps its value.
    void LoadValue(double V) {
        FValue = V;
        UpdateText();
    }
    // Takes "no value": an empty text, Value 0.
    void LoadBlank();

    // Whether a typed character is accepted.
    virtual bool IsValidChar(char32_t Key) const;
    // True without an active range, else MinValue <= Value <= MaxValue.
    virtual bool IsInRange() const;

protected:
    void Change() override;
    void keyPressEvent(QKeyEvent* Event) override;
    bool RangeActive() const { return FMinValue < FMaxValue; }
    // Shows Value in Format; the change this makes is not validated.
    void UpdateText();
    // Reads the text into Value; false when it is not a number or is out
    // of range (Value then keeps its previous contents when unreadable).
    bool Validate();
    // Sets the validity and the text colour that shows it.
    void SetValid(bool V);

private:
    void ApplyColor();

    double FValue = 0;
    double FMinValue = 0;
    double FMaxValue = 0;
    bool FValid = false;
    bool FUpdating = false;
    std::string FFormat;  // empty only until the constructor sets "0"
    bool FIntegerMode = true;
    TColor FValidColor = clWindowText;
    TColor FInvalidColor = clRed;
};

}  // namespace qv
