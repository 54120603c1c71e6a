#pragma once
// The window's icons, drawn at start-up into pixel buffers: the tool-bar
// buttons, the tab labels and the program's own icon. Nothing is read from
// files, so the program carries its pictures inside the binary; the
// program's icon is also exported for the desktop when the program is built.

#include <fx.h>

#include <array>
#include <vector>

class WindowIcons {
public:
    enum Id {
        Open,
        Save,
        SaveAs,
        ExportImage,
        ExportObject,
        Compute,
        Undo,
        Redo,
        CenterView,
        TabDefinition,
        TabExtensions,
        TabShaping,
        TabColoring,
        TabTweaks,
        TabEnvironment,
        TabStatistics,
        TabSymbolHelp,
        Program,
        ProgramLarge,
        Count
    };

    explicit WindowIcons(FXApp* app);
    ~WindowIcons();
    WindowIcons(const WindowIcons&) = delete;
    WindowIcons& operator=(const WindowIcons&) = delete;

    FXIcon* operator[](Id id) const { return myIcons[id]; }
    void create();

    // The program's icon as size × size RGBA pixels, row by row, with smooth
    // edges over a transparent background.
    static std::vector<FXColor> programPicture(int size);

private:
    std::array<FXIcon*, Count> myIcons{};
};
