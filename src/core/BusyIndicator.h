#pragma once

namespace lumaquill {

// The busy cursor. Begin and End nest: the cursor stays busy until every
// Begin has been matched by an End. Use BusyScope rather than calling these.
class BusyIndicator {
public:
    virtual ~BusyIndicator() = default;
    virtual void Begin() = 0;
    virtual void End() = 0;
};

// Shows the busy cursor for the lifetime of the scope; a null indicator is
// allowed and does nothing.
class BusyScope {
public:
    explicit BusyScope(BusyIndicator* indicator)
        : Indicator(indicator)
    {
        if (Indicator)
            Indicator->Begin();
    }
    ~BusyScope()
    {
        if (Indicator)
            Indicator->End();
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    BusyIndicator* Indicator;
};

} // namespace lumaquill
