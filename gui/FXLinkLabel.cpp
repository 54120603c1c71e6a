#include "gui/FXLinkLabel.h"

#include <cerrno>

#include <sys/wait.h>
#include <unistd.h>

FXDEFMAP(FXLinkLabel)
FXLinkLabelMap[] = {
    FXMAPFUNC(SEL_PAINT, 0, FXLinkLabel::onPaint),
    FXMAPFUNC(SEL_LEFTBUTTONRELEASE, 0, FXLinkLabel::onLeftBtnRelease),
};

FXIMPLEMENT(FXLinkLabel, FXLabel, FXLinkLabelMap, ARRAYNUMBER(FXLinkLabelMap))

FXLinkLabel::FXLinkLabel(FXComposite* parent, const FXString& text, const FXString& url, FXuint options)
    : FXLabel(parent, text, nullptr, options), url(url) {
    setTextColor(FXRGB(0, 0, 255));
    setDefaultCursor(getApp()->getDefaultCursor(DEF_HAND_CURSOR));
}

long FXLinkLabel::onPaint(FXObject* sender, FXSelector sel, void* ptr) {
    FXLabel::onPaint(sender, sel, ptr);
    FXint tw = labelWidth(label), th = labelHeight(label), tx, ty, ix, iy;
    just_x(tx, ix, tw, 0);
    just_y(ty, iy, th, 0);
    FXDCWindow dc(this);
    dc.setForeground(textColor);
    const FXint baseline = ty + font->getFontAscent() + 1;
    dc.drawLine(tx, baseline, tx + tw - 1, baseline);
    return 1;
}

long FXLinkLabel::onLeftBtnRelease(FXObject*, FXSelector, void*) {
    if (isEnabled()) open();
    return 1;
}

bool FXLinkLabel::open() const {
    // A URL starting with "-" would be read as an option of the opener.
    if (url.empty() || url[0] == '-') return false;
    // The opener runs in a grandchild so that no zombie is left behind; it
    // gets the URL as its one argument, no shell is involved.
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        if (fork() == 0) {
            execlp("xdg-open", "xdg-open", url.text(), static_cast<char*>(nullptr));
            _exit(127);
        }
        _exit(0);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
