#include "app/WorkbenchWindow.h"

#include "editors/SphereTable.h"
#include "gui/KLADO_StandaloneMW.h"
#include "workbench/RecoveryStore.h"

#include <csignal>
#include <iostream>
#include <memory>

int runWorkbenchWindow(FXApp& application, const std::string& fileName) {
    if (!application.openDisplay()) {
        std::cerr << "The workbench window needs an X display; to render without one, give "
                     "--load FILE --output-image IMAGE."
                  << std::endl;
        return 1;
    }
    // The tool bar's buttons and the icon tabs name themselves in tips.
    new FXToolTip(&application);
    auto window = std::make_unique<KLADO_StandaloneMW>(&application);
    // Ctrl-C in the terminal quits as the Quit command does, from the event loop.
    application.addSignal(SIGINT, window.get(), KLADO_StandaloneMW::ID_QUIT);
    // Before the window shows, the file's problems go to standard error.
    if (!fileName.empty() && !window->load(fileName)) return 1;
    buildSphereTables();
    application.create();
    window->keepRecoveryCopies(RecoveryStore::defaultFolder());
    const int code = application.run();
    freeSphereTables();
    return code;
}
