#pragma once

namespace lumaquill {

// Shows the busy cursor over the whole program for its lifetime; nests.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

    static void Begin();
    static void End();
    // True while any busy cursor is shown.
    static bool Active();
};

} // namespace lumaquill
