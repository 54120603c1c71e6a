#pragma once
// The window's icons, drawn at start-up into pixel buffers: the tool-bar
// buttons, the tab labels and the program's own icon. Nothing is read from
// files, so the program carries its pictures inside the binary.

#include <fx.h>

#include <array>

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

private:
    std::array<FXIcon*, Count> myIcons{};
};
