#pragma once

namespace norvane::app {

/// While one lives, the saves that this thread makes are rows the application derives from the
/// store (the daily portfolio rows that a metrics refresh rebuilds from the history): they follow
/// from a change already announced and are read with it, so `StoreChanges` does not announce them
/// as a change of their own, which would start every read over again.
class DerivedWrites {
public:
    DerivedWrites();
    ~DerivedWrites();
    DerivedWrites(const DerivedWrites&) = delete;
    DerivedWrites& operator=(const DerivedWrites&) = delete;

    /// Whether the calling thread is making derived writes now.
    static bool areUnderWay();

private:
    bool before_;
};

} // namespace norvane::app
