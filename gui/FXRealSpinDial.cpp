#include "gui/FXRealSpinDial.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <regex>

// clang-format off
FXDEFMAP(FXRealSpinDial) FXRealSpinDialMap[] = {
    FXMAPFUNC(SEL_COMMAND, FXRealSpinner::ID_INCREMENT, FXRealSpinDial::onCmdArrow),
    FXMAPFUNC(SEL_COMMAND, FXRealSpinner::ID_DECREMENT, FXRealSpinDial::onCmdArrow),
    FXMAPFUNC(SEL_LEFTBUTTONRELEASE, FXRealSpinner::ID_INCREMENT, FXRealSpinDial::onArrowReleased),
    FXMAPFUNC(SEL_LEFTBUTTONRELEASE, FXRealSpinner::ID_DECREMENT, FXRealSpinDial::onArrowReleased),
    FXMAPFUNC(SEL_KEYPRESS, 0, FXRealSpinDial::onKeyPress),
    FXMAPFUNC(SEL_KEYRELEASE, 0, FXRealSpinDial::onKeyRelease),
    FXMAPFUNC(SEL_MOUSEWHEEL, FXRealSpinner::ID_ENTRY, FXRealSpinDial::onWheelEntry),
    FXMAPFUNC(SEL_COMMAND, FXRealSpinner::ID_ENTRY, FXRealSpinDial::onCmdEntry),
    FXMAPFUNC(SEL_CHANGED, FXRealSpinner::ID_ENTRY, FXRealSpinDial::onChgEntry),
    FXMAPFUNC(SEL_CHANGED, FXRealSpinDial::ID_DIAL, FXRealSpinDial::onChgDial),
    FXMAPFUNC(SEL_COMMAND, FXRealSpinDial::ID_DIAL, FXRealSpinDial::onCmdDial),
};
// clang-format on

FXIMPLEMENT(FXRealSpinDial, FXRealSpinner, FXRealSpinDialMap, ARRAYNUMBER(FXRealSpinDialMap))

FXRealSpinDial::FXRealSpinDial(FXComposite* parent, FXint columns, FXObject* target, FXSelector selector,
                               FXuint options)
    : FXRealSpinner(parent, columns, target, selector, options) {
    // The dial turns freely; only the difference between two positions counts.
    dial = new FXDial(this, this, ID_DIAL, DIAL_HORIZONTAL | FRAME_SUNKEN | FRAME_THICK);
    dial->setRange(-(1 << 30), 1 << 30);
    dial->setRevolutionIncrement(36);
    showValue();
}

bool FXRealSpinDial::readNumber(const FXString& text, FXdouble& value) {
    FXString trimmed = text;
    std::string number = trimmed.trim().text();
    std::replace(number.begin(), number.end(), ',', '.');
    static const std::regex decimal(R"([+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?)");
    if (!std::regex_match(number, decimal)) return false;
    value = std::strtod(number.c_str(), nullptr);
    return true;
}

void FXRealSpinDial::setValue(FXdouble value, FXbool notify) {
    if (std::isnan(value)) return;
    value = std::clamp(value, range[0], range[1]);
    const bool changed = value != pos;
    pos = value;
    showValue();
    if (notify && changed && target) target->tryHandle(this, FXSEL(SEL_COMMAND, message), &pos);
}

void FXRealSpinDial::setRange(FXdouble lo, FXdouble hi) {
    if (std::isnan(lo) || std::isnan(hi) || lo > hi) return;
    range[0] = lo;
    range[1] = hi;
    setValue(pos);
}

void FXRealSpinDial::setFormatString(const FXString& newFormat) {
    // Guards the printf call in showValue: one conversion of a double, nothing
    // that would read another argument.
    static const std::regex valid(R"(([^%]|%%)*%[-+ #0]*\d*(\.\d+)?[fFeEgG]([^%]|%%)*)");
    if (std::regex_match(newFormat.text(), valid)) {
        format = newFormat;
        showValue();
    }
}

void FXRealSpinDial::setIncrements(FXdouble fine, FXdouble normal, FXdouble coarse) {
    fineIncrement = fine;
    normalIncrement = normal;
    coarseIncrement = coarse;
    setIncrement(normal);
}

void FXRealSpinDial::selectAll() { textField->selectAll(); }

FXString FXRealSpinDial::getText() const { return textField->getText(); }

void FXRealSpinDial::showValue() { textField->setText(FXStringFormat(format.text(), pos)); }

FXdouble FXRealSpinDial::incrementFor(FXuint modifierState) const {
    if (modifierState & CONTROLMASK) return fineIncrement;
    if (modifierState & SHIFTMASK) return coarseIncrement;
    return normalIncrement;
}

void FXRealSpinDial::moveBy(FXdouble amount) {
    const FXdouble before = pos;
    setValue(pos + amount);
    if (pos == before) return;
    moving = true;
    if (target) target->tryHandle(this, FXSEL(SEL_CHANGED, message), &pos);
}

void FXRealSpinDial::settle() {
    if (!moving) return;
    moving = false;
    if (target) target->tryHandle(this, FXSEL(SEL_COMMAND, message), &pos);
}

long FXRealSpinDial::onCmdArrow(FXObject* sender, FXSelector sel, void*) {
    if (!isEnabled()) return 1;
    moveBy(FXSELID(sel) == ID_INCREMENT ? normalIncrement : -normalIncrement);
    // A held button repeats its command and settles on release; a click sends
    // its only command after the release.
    auto* button = dynamic_cast<FXArrowButton*>(sender);
    if (!button || !button->getState()) settle();
    return 1;
}

long FXRealSpinDial::onArrowReleased(FXObject*, FXSelector, void*) {
    settle();
    return 0;
}

long FXRealSpinDial::onKeyPress(FXObject* sender, FXSelector sel, void* ptr) {
    auto* event = static_cast<FXEvent*>(ptr);
    if (!isEnabled()) return 0;
    if (target && target->tryHandle(this, FXSEL(SEL_KEYPRESS, message), ptr)) return 1;
    const FXdouble step = incrementFor(event->state);
    switch (event->code) {
    case KEY_Up:
    case KEY_KP_Up:
        moveBy(step);
        return 1;
    case KEY_Down:
    case KEY_KP_Down:
        moveBy(-step);
        return 1;
    default:
        return textField->handle(sender, sel, ptr);
    }
}

long FXRealSpinDial::onKeyRelease(FXObject* sender, FXSelector sel, void* ptr) {
    auto* event = static_cast<FXEvent*>(ptr);
    if (!isEnabled()) return 0;
    if (target && target->tryHandle(this, FXSEL(SEL_KEYRELEASE, message), ptr)) return 1;
    switch (event->code) {
    case KEY_Up:
    case KEY_KP_Up:
    case KEY_Down:
    case KEY_KP_Down:
        settle();
        return 1;
    default:
        return textField->handle(sender, sel, ptr);
    }
}

long FXRealSpinDial::onWheelEntry(FXObject*, FXSelector, void* ptr) {
    auto* event = static_cast<FXEvent*>(ptr);
    if (!isEnabled()) return 0;
    const FXdouble step = incrementFor(event->state);
    moveBy(event->code > 0 ? step : -step);
    settle();
    return 1;
}

long FXRealSpinDial::onCmdEntry(FXObject*, FXSelector, void*) {
    FXdouble typed;
    const FXdouble before = pos;
    if (readNumber(textField->getText(), typed)) setValue(typed);
    // Shows the clamped value, or the old one again when the text was refused.
    showValue();
    if (pos != before && target) target->tryHandle(this, FXSEL(SEL_COMMAND, message), &pos);
    return 1;
}

long FXRealSpinDial::onChgEntry(FXObject*, FXSelector, void*) {
    // Typing alone changes nothing; the text is read when it is committed.
    return 1;
}

long FXRealSpinDial::onChgDial(FXObject*, FXSelector, void* ptr) {
    const FXint position = static_cast<FXint>(reinterpret_cast<FXival>(ptr));
    const FXint turned = position - lastDialPosition;
    lastDialPosition = position;
    if (isEnabled()) moveBy(turned * normalIncrement);
    return 1;
}

long FXRealSpinDial::onCmdDial(FXObject* sender, FXSelector, void* ptr) {
    onChgDial(sender, FXSEL(SEL_CHANGED, ID_DIAL), ptr);
    settle();
    return 1;
}

FXint FXRealSpinDial::getDefaultWidth() { return FXRealSpinner::getDefaultWidth() + dial->getDefaultWidth(); }

void FXRealSpinDial::layout() {
    FXRealSpinner::layout();
    // The dial takes its width from the text field, between it and the arrows.
    const FXint dialWidth = std::min(dial->getDefaultWidth(), textField->getWidth() / 2);
    textField->resize(textField->getWidth() - dialWidth, textField->getHeight());
    dial->position(textField->getX() + textField->getWidth(), textField->getY(), dialWidth, textField->getHeight());
}
