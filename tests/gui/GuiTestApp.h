#pragma once
// The toolkit application of the GUI tests (one per process, on the virtual
// display), and a poller that drives modal loops: it runs a step every
// millisecond from the event loop until the step says it is done.

#include <fx.h>

#include <chrono>
#include <functional>

inline FXApp& testApp() {
    static FXApp* app = [] {
        static char name[] = "klado-gui-test";
        static char* argv[] = {name, nullptr};
        int argc = 1;
        FXApp* created = new FXApp("KLADO-test", "TOVA-test");
        created->init(argc, argv);
        created->create();
        return created;
    }();
    return *app;
}

class Poller : public FXObject {
    FXDECLARE(Poller)

public:
    enum { ID_TICK = 1 };

    explicit Poller(std::function<bool()> step) : myStep(std::move(step)) { testApp().addTimeout(this, ID_TICK, 1); }
    ~Poller() override { testApp().removeTimeout(this, ID_TICK); }

    long onTick(FXObject*, FXSelector, void*) {
        if (!myStep()) testApp().addTimeout(this, ID_TICK, 1);
        return 1;
    }

protected:
    Poller() = default;

private:
    std::function<bool()> myStep;
};

// Runs the event loop until the condition holds or ten seconds have passed.
inline bool runUntil(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        testApp().runOneEvent(false);
    }
    return true;
}
