#pragma once
// A label that looks like a link (blue, underlined, a hand cursor) and opens
// its URL with the desktop's opener, xdg-open, when clicked. Without an
// opener nothing happens.

#include <fx.h>

class FXLinkLabel : public FXLabel {
    FXDECLARE(FXLinkLabel)
public:
    FXLinkLabel(FXComposite* parent, const FXString& text, const FXString& url, FXuint options = LABEL_NORMAL);

    long onPaint(FXObject*, FXSelector, void*);
    long onLeftBtnRelease(FXObject*, FXSelector, void*);

    void setUrl(const FXString& newUrl) { url = newUrl; }
    const FXString& getUrl() const { return url; }

    // Starts the opener for the URL without waiting for it. Returns false
    // when no process could be started; an opener that is not installed
    // fails in the started process and is not reported.
    bool open() const;

protected:
    FXLinkLabel() = default;

private:
    FXString url;
};
