#pragma once
// A spin box for real numbers with a dial beside its arrows. The value is
// shown with a printf-style format and moves by one of three increments: fine
// with Ctrl, coarse with Shift, normal otherwise (arrow keys and mouse wheel);
// the arrow buttons and the dial move by the normal increment. While the
// value moves (dragging the dial, holding an arrow) the target receives
// SEL_CHANGED; when it settles, SEL_COMMAND. Both carry a pointer to the
// value as a double. A typed value is taken on Enter or when the field loses
// the focus: outside the range it is clamped, and text that is not a number is
// refused and the old value shown again.

#include <fx.h>
#include <fxkeys.h>

class FXRealSpinDial : public FXRealSpinner {
    FXDECLARE(FXRealSpinDial)
public:
    enum { ID_DIAL = FXRealSpinner::ID_LAST, ID_LAST };

    FXRealSpinDial(FXComposite* parent, FXint columns, FXObject* target = nullptr, FXSelector selector = 0,
                   FXuint options = REALSPIN_NORMAL);

    long onCmdArrow(FXObject*, FXSelector, void*);
    long onArrowReleased(FXObject*, FXSelector, void*);
    long onKeyPress(FXObject*, FXSelector, void*);
    long onKeyRelease(FXObject*, FXSelector, void*);
    long onWheelEntry(FXObject*, FXSelector, void*);
    long onCmdEntry(FXObject*, FXSelector, void*);
    long onChgEntry(FXObject*, FXSelector, void*);
    long onChgDial(FXObject*, FXSelector, void*);
    long onCmdDial(FXObject*, FXSelector, void*);

    void layout() override;
    FXint getDefaultWidth() override;

    // Clamps the value to the range and shows it in the format.
    void setValue(FXdouble value, FXbool notify = false) override;
    void setRange(FXdouble lo, FXdouble hi);
    // A format with exactly one floating-point conversion (%f, %e, %g with
    // flags, width and precision) and any "%%"; another format is ignored.
    void setFormatString(const FXString& format);
    const FXString& getFormatString() const { return format; }
    void setIncrements(FXdouble fine, FXdouble normal, FXdouble coarse);
    void selectAll();
    FXString getText() const;

    // Reads a decimal number ("." or "," as decimal separator, optional
    // exponent; blanks around it allowed). Returns false for anything else,
    // "nan" and "inf" included; a number beyond the double range reads as
    // plus or minus infinity.
    static bool readNumber(const FXString& text, FXdouble& value);

protected:
    FXRealSpinDial() = default;

private:
    FXdouble incrementFor(FXuint modifierState) const;
    void moveBy(FXdouble amount);
    void settle();
    void showValue();

    FXDial* dial = nullptr;
    FXString format = "%.2f";
    FXdouble fineIncrement = 0.1;
    FXdouble normalIncrement = 1.0;
    FXdouble coarseIncrement = 10.0;
    FXint lastDialPosition = 0;
    bool moving = false;
};
