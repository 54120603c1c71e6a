#pragma once
// Where the main window opens: at first start a size that shows a whole tab
// beside a useful view, later the remembered place and size, both kept on
// the screen the window opens on.

struct WindowPlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    // About 1100 x 720, centred; at most nine tenths of a smaller screen.
    static WindowPlacement firstStart(int screenWidth, int screenHeight);
    // No larger than the screen and wholly on it: a window remembered on a
    // larger screen shrinks and moves, so that its edges (and the status bar)
    // can be reached.
    WindowPlacement keptOn(int screenWidth, int screenHeight) const;
};
